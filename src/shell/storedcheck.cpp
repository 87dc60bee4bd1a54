#include "storedcheck.h"

#include "db/recordset.h"
#include "failure.h"

namespace shell {

void requireStored(const db::Recordset& rs, const QString& what, const QString& table) {
    if (rs.rowsAffected() != 0)
        return;
    throw Failure(
        QStringLiteral("Nothing was stored: the database took %1 without an error but added no "
                       "row to the table %2 (a rule or trigger there may be turning new rows "
                       "away). What was typed is kept. Tell someone responsible for the "
                       "database.")
            .arg(what, table));
}

}  // namespace shell
