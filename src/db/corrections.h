#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

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
// Puts a deleted listing back under its number with the values it was deleted with,
// only while that deletion is the latest record of it (Store::restore).
inline const QString kRestoreFunction = QStringLiteral("pelmar_restore(bigint, text[])");

// The statements that add Corrections to a file or, with its schema's name, to a
// server's schema (there with the two functions and the index by pelmar_seq that
// reading by identity needs). Each can run again on a database that has them.
QStringList correctionsStatements(bool server, const QString& serverSchema = {});

// Adds what correctionsStatements gives, and on a server the search's index, to the
// connection's database in one transaction. Gives what addSearchIndex gives. Throws DbError.
QString addCorrections(Connection& connection);

// The columns a search looks at: state, publication, date, street, suburb and the
// agents' names.
const QList<int>& searchedColumns();

// Those columns joined in lower case. The file's index kSearchIndex holds exactly
// this expression: a search there reads that index alone, a fraction of the table.
QString searchExpression(bool server);
inline const QString kSearchIndex = QStringLiteral("ListingsSearch");

// The text of an expression folded as base::foldedForSearch folds a text.
QString folded(bool server, const QString& text);

// Those columns joined and folded as base::foldedForSearch folds a text, as a search
// compares them: on a file from kSearchIndex through the program's own function
// pelmar_fold, on a server in its built-in functions, which kFoldedSearchIndex, a
// trigram index (pg_trgm), holds, finding the rows that contain a text without
// reading the others.
QString foldedSearchExpression(bool server);
inline const QString kFoldedSearchIndex = QStringLiteral("ListingsSearchFolded");

// Makes the search's index where it is missing (kSearchIndex on a file,
// kFoldedSearchIndex on a server, in place of an earlier kSearchIndex), through run. A server may
// lack pg_trgm or refuse to add it: then nothing is changed, searches read the whole table, and the
// server's reason comes back; an empty text means the index is in place.
QString addSearchIndex(bool server, const std::function<void(const QString&)>& run);

}  // namespace db::schema
