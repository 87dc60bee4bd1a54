#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Holds an exclusive lock on a database file, as another program would, for as
// long as it lives.
class ForeignLock {
public:
    explicit ForeignLock(const QString& path) {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        database.setDatabaseName(path);
        database.open();
        QSqlQuery(database).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~ForeignLock() {
        {
            QSqlDatabase database = QSqlDatabase::database(name_);
            QSqlQuery(database).exec(QStringLiteral("ROLLBACK"));
            database.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

private:
    QString name_ = QStringLiteral("foreign-lock");
};
