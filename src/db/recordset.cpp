#include "recordset.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>

#include "connection.h"
#include "dberror.h"
#include "schema.h"
#include "serversession.h"
#include "sqlerror.h"

namespace db {

Recordset::Recordset() = default;
Recordset::~Recordset() {
    close();
}

void Recordset::open(const QString& statement, Connection& connection) {
    close();
    text_ = connection.prepareText(statement);
    if (connection.isServer()) {
        result_ = std::make_unique<ServerResult>(connection.server().exec(text_));
    } else {
        query_ = std::make_unique<QSqlQuery>(connection.database());
        query_->setForwardOnly(true);
    }
    start();
    open_ = true;
}

void Recordset::start() {
    rowIndex_ = 0;
    if (result_) {
        atEnd_ = result_->rows() == 0;
        return;
    }
    if (!query_->exec(text_))
        fail();
    atEnd_ = !(query_->isSelect() && nextRow());
}

bool Recordset::nextRow() {
    if (query_->next())
        return true;
    // A read that failed (a damaged page, an I/O error) is no end of the data: the
    // windows would show part of a table as if it were all of it.
    if (query_->lastError().isValid())
        fail();
    return false;
}

void Recordset::fail() {
    const QString text = errorText(query_->lastError());
    // Closed through and through: a result set that had no query but still counted as
    // open and not at its end would read through a null query.
    close();
    throw DbError(text);
}

void Recordset::close() {
    result_.reset();
    if (query_) {
        query_->finish();
        query_.reset();
    }
    open_ = false;
    atEnd_ = true;
    rowIndex_ = 0;
}

void Recordset::moveFirst() {
    if (!open_)
        throw DbError(QStringLiteral("The result set is closed."));
    if (rowIndex_ != 0)
        start();
}

void Recordset::moveNext() {
    if (eof())
        throw DbError(
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    ++rowIndex_;
    atEnd_ = result_ ? rowIndex_ >= result_->rows() : !nextRow();
}

long long Recordset::rowsAffected() const {
    if (result_)
        return result_->rowsAffected();
    return query_ ? query_->numRowsAffected() : -1;
}

int Recordset::fieldCount() const {
    if (result_)
        return result_->columns();
    return query_ ? query_->record().count() : 0;
}

QString Recordset::value(int position) const {
    if (eof())
        throw DbError(
            QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    if (position < 0 || position >= fieldCount())
        throw DbError(
            QStringLiteral("Item cannot be found in the collection (field %1).").arg(position));
    if (result_)
        return result_->value(int(rowIndex_), position);
    return query_->value(position).toString();
}

QString Recordset::fieldName(int position) const {
    if (position < 0 || position >= fieldCount())
        throw DbError(
            QStringLiteral("Item cannot be found in the collection (field %1).").arg(position));
    if (result_)
        return schema::spelling(result_->columnName(position));
    return query_->record().fieldName(position);
}

QList<QStringList> rowValues(Recordset& rs, const QString& statement, Connection& connection,
                             const QList<int>& positions) {
    QList<QStringList> rows;
    if (rs.isOpen())
        rs.close();
    rs.open(statement, connection);
    if (!rs.bof())
        rs.moveFirst();
    while (!rs.eof()) {
        QStringList row;
        for (int position : positions)
            row.append(rs.value(position));
        rows.append(row);
        rs.moveNext();
    }
    rs.close();
    return rows;
}

QStringList columnValues(Recordset& rs, const QString& statement, Connection& connection,
                         int position) {
    QStringList values;
    for (const QStringList& row : rowValues(rs, statement, connection, {position}))
        values.append(row.first());
    return values;
}

}  // namespace db
