#include "listingtoken.h"

#include "recordset.h"
#include "schema.h"
#include "sqlliteral.h"

namespace db {

bool isListingStored(Connection& connection, const QString& token) {
    Recordset rs;
    rs.open(QStringLiteral("SELECT %1(%2)").arg(schema::kListingStored, sqlText(token)),
            connection);
    return rs.value(0) == QLatin1String("t");
}

}  // namespace db
