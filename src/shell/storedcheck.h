#pragma once

#include <QString>

namespace shell {

// Throws Failure when an insert stored no row (`stored`, as the engine counted them;
// -1 when it does not say), though the engine reported no error (a trigger or rule
// that drops the row does that): such an insert must never be taken for one that
// stored. `what` names the row for the operator ("the listing", "'LANE'"), `table`
// the table it was meant for.
void requireStored(long long stored, const QString& what, const QString& table);

}  // namespace shell
