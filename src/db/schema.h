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

// Creates a new database file with the five empty tables and, when asked, the
// sample lookup rows. Refuses a path where a file already exists. Throws DbError.
void createDatabase(const QString& path, bool withSamples);

}  // namespace db::schema
