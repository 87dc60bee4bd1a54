#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

namespace db::schema {

// The table that keeps every correction and deletion of a listing: the listing's
// identity (the file's rowid, the server's pelmar_seq), when, who (the server's
// login; a file knows nobody), what was done, and the row's 76 values before and
// after as JSON arrays in column order (after is empty for a deletion). Neither the
// start-up check nor the export looks at it.
inline const QString kCorrections = QStringLiteral("Corrections");

// On a server the operators' roles correct and delete through these functions,
// owned by the administrator, and never touch Data or Corrections themselves. Each
// names the listing by pelmar_seq and the 76 values the desk showed, changes the
// row only while it still holds them, records the change and gives 1, or 0 when
// the row had changed or gone.
inline const QString kCorrectFunction = QStringLiteral("pelmar_correct(bigint, text[], text[])");
inline const QString kDeleteFunction = QStringLiteral("pelmar_delete(bigint, text[])");

// The statements that add Corrections to a file or, with its schema's name, to a
// server's schema (there with the two functions and the index by pelmar_seq that
// reading by identity needs). Each can run again on a database that has them.
QStringList correctionsStatements(bool server, const QString& serverSchema = {});

// Adds what correctionsStatements gives to the connection's database, in one
// transaction. Throws DbError.
void addCorrections(Connection& connection);

// The columns a search looks at: state, publication, date, street, suburb and the
// agents' names.
const QList<int>& searchedColumns();

// Those columns joined in lower case, as a search compares them; on the file an
// index holds exactly this expression, so that a search reads the index alone.
QString searchExpression(bool server);
inline const QString kSearchIndex = QStringLiteral("ListingsSearch");
QString searchIndexStatement();

}  // namespace db::schema
