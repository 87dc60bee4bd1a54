#include "serverstore.h"

#include "corrections.h"
#include "dberror.h"
#include "schema.h"
#include "statementtext.h"

namespace db {

QString ServerStore::identity() const {
    return schema::kStoredOrder;
}

QString ServerStore::parameter(int number) const {
    return QStringLiteral("$%1").arg(number);
}

QString ServerStore::lookupRows(const QString& table, const QString& condition) const {
    // The program's columns, not the hidden ones, in the order the rows were stored.
    const schema::Table* known = schema::tableNamed(table);
    return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
        .arg(known ? known->columns.join(QStringLiteral(", ")) : QStringLiteral("*"), table,
             condition, schema::kStoredOrder);
}

QString ServerStore::listingArray(int first) const {
    return QStringLiteral("ARRAY[%1]::text[]").arg(parameters(first, kColumnCount));
}

long long ServerStore::storeListing(const Listing& listing) {
    const QStringList values = listing.values();
    traced(insertText(values));
    // The administrator's function stores the row once however often it is called
    // with the token, and gives one row back for each row it stored.
    return connection_
        .select(
            QStringLiteral("SELECT * FROM %1($1, %2)").arg(schema::kStoreListing, listingArray(2)),
            QStringList{listing.token} + values)
        .size();
}

bool ServerStore::isListingStored(const QString& token) {
    return connection_.select(QStringLiteral("SELECT %1($1)").arg(schema::kListingStored), {token})
               .value(0)
               .value(0) == QLatin1String("t");
}

bool ServerStore::hasCorrections() {
    return connection_
               .select(QStringLiteral("SELECT to_regclass('corrections') IS NOT NULL AND "
                                      "to_regprocedure($1) IS NOT NULL AND "
                                      "to_regprocedure($2) IS NOT NULL"),
                       {schema::kCorrectFunction, schema::kDeleteFunction})
               .value(0)
               .value(0) == QLatin1String("t");
}

QString ServerStore::searchCondition(const QString& folded, int first, QStringList& parameters) {
    // LIKE, which the trigram index serves; the text's own wildcards stand for
    // themselves.
    QString pattern = folded;
    for (const QString& special : {QStringLiteral("\\"), QStringLiteral("%"), QStringLiteral("_")})
        pattern.replace(special, QLatin1Char('\\') + special);
    parameters.append(QLatin1Char('%') + pattern + QLatin1Char('%'));
    return QStringLiteral("%1 LIKE %2").arg(schema::foldedSearchExpression(true), parameter(first));
}

Store::Outcome ServerStore::restoreRow(ListingId id, const QStringList& deleted) {
    if (connection_
            .select(QStringLiteral("SELECT to_regprocedure($1) IS NULL"),
                    {schema::kRestoreFunction})
            .value(0)
            .value(0) == QLatin1String("t"))
        throw DbError(QStringLiteral(
            "this server's database was set up before listings could be restored; nothing "
            "was changed. The administrator adds it by running pelmar-newdb --corrections "
            "--server and then pelmar-newdb --desk for each login."));
    QStringList values{QString::number(id)};
    for (int k = 0; k < kColumnCount; ++k)
        values.append(deleted.value(k));
    return connection_.select(QStringLiteral("SELECT pelmar_restore($1::bigint, %1)")
                                  .arg(listingArray(2)),
                              values)
                       .value(0)
                       .value(0) == QLatin1String("1")
               ? Outcome::Stored
               : Outcome::Changed;
}

Store::Outcome ServerStore::change(ListingId id, const QStringList& shown,
                                   const QStringList* wanted) {
    // A NULL as NULL: the row must hold exactly what was shown.
    QStringList values{QString::number(id)};
    for (int k = 0; k < kColumnCount; ++k)
        values.append(k < shown.size() ? shown.at(k) : QStringLiteral(""));
    QString statement;
    if (wanted) {
        values += wanted->mid(0, kColumnCount);
        statement = QStringLiteral("SELECT pelmar_correct($1::bigint, %1, %2)")
                        .arg(listingArray(2), listingArray(2 + kColumnCount));
    } else {
        statement = QStringLiteral("SELECT pelmar_delete($1::bigint, %1)").arg(listingArray(2));
    }
    return connection_.select(statement, values).value(0).value(0) == QLatin1String("1")
               ? Outcome::Stored
               : Outcome::Changed;
}

}  // namespace db
