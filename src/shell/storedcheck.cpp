#include "storedcheck.h"

#include "action.h"

namespace shell {

void requireStored(long long stored, const QString& what, const QString& table) {
    if (stored != 0)
        return;
    throw Failure(
        QStringLiteral("Nothing was stored: the database took %1 without an error but added no "
                       "row to the table %2 (a rule or trigger there may be turning new rows "
                       "away). What was typed is kept. Tell someone responsible for the "
                       "database.")
            .arg(what, table));
}

}  // namespace shell
