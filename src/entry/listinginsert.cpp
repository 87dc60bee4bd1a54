#include "listinginsert.h"

#include <QUuid>

#include "db/recordset.h"
#include "db/sqlliteral.h"
#include "shell/dbconnect.h"

namespace entry {

QString insertStatement(const ListingValues& record) {
    QStringList literals;
    for (const QString& value : record.columns())
        literals.append(db::sqlText(value));
    return QStringLiteral("Insert into Data values(") + literals.join(QLatin1Char(',')) +
           QStringLiteral(");");
}

void insertListing(ListingValues& record, db::Recordset& rs) {
    if (record.submitToken.isEmpty())
        record.submitToken = QUuid::createUuid().toString(QUuid::WithoutBraces);
    ListingValues row = record.withPlaceholders();
    // Data may have been altered and mended by another program since the last try.
    dbConnect::Conn().refreshSchema();
    if (rs.isOpen())
        rs.close();
    rs.open(insertStatement(row), dbConnect::Conn(), record.submitToken);
    row.submitToken.clear();
    record = row;
}

}  // namespace entry
