#pragma once

#include <QString>

namespace db {
class Recordset;
}

namespace shell {

// Throws Failure when the insert just run through rs stored no row, though the
// engine reported no error (a trigger or rule that drops the row does that): such an
// insert must never be taken for one that stored. `what` names the row for the
// operator ("the listing", "'LANE'"), `table` the table it was meant for.
void requireStored(const db::Recordset& rs, const QString& what, const QString& table);

}  // namespace shell
