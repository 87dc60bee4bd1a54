#pragma once

#include <QString>
#include <QStringList>

namespace db::schema {

// The 76 columns of Data, in order; column k holds element k of a listing.
const QStringList& dataColumns();

struct Table {
    QString name;
    QStringList columns;
};

// The five tables of the database, columns in order. Every column is text.
const QList<Table>& tables();

// One of the five tables by its name in any case; nothing for another name.
const Table* tableNamed(const QString& name);

// What a server's tables carry beyond the embedded file's, never shown: the order in
// which rows were stored (every table), and the token of the submit that stored a
// listing (Data), which makes a repeated submit find its own row.
inline const QString kStoredOrder = QStringLiteral("pelmar_seq");
inline const QString kRowToken = QStringLiteral("pelmar_token");
// A server table's hidden columns, in the order they follow the program's.
QStringList hiddenColumns(const Table& table);

// On a server the operators' desks write Data only through two functions that run
// with the rights of the administrator who made the tables (SECURITY DEFINER): one
// stores a listing by its token, or rewrites the row that token stored already (a
// submit made again after a lost answer), giving the stored row's kStoredOrder; the
// other tells whether a token's listing is stored. Neither reveals a token, and a
// token is all a desk could rewrite a row by: only the desk that made it knows it.
inline const QString kStoreListing = QStringLiteral("pelmar_store_listing");
inline const QString kListingStored = QStringLiteral("pelmar_listing_stored");

// A column's name as the program spells it; the server folds unquoted names to
// lower case. A name that is no column of the five tables comes back as given.
QString spelling(const QString& name);

// Creates a new database file with the five empty tables and, when asked, the
// sample lookup rows. Refuses a path where a file already exists. Throws DbError.
void createDatabase(const QString& path, bool withSamples);

// Creates the five tables (and, when asked, the sample lookup rows) in the server's
// database that the libpq connection text names, in one transaction. Refuses, and
// touches nothing, when any of the five is already there. Gives the server's reason
// when it would not make the search's index (addSearchIndex). Throws DbError.
QString createServerTables(const QString& conninfo, bool withSamples);

// Gives the server role `role` the rights of an operator's desk on the five tables,
// and no more: the lookup tables to read and edit (and to lock for an editor's test
// and insert); Data to read, its token excepted, and to add to through the functions
// above only (no UPDATE, DELETE or lock beyond a reader's). Rights the role held
// before on the tables are taken back first. Makes the functions anew, so that a
// database made by an older pelmar-newdb gains them. Throws DbError.
void grantDeskRights(const QString& conninfo, const QString& role);

}  // namespace db::schema
