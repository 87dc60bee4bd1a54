#pragma once

#include <QString>

#include "db/sqlitedb.h"

// Holds an exclusive lock on a database file, as another program would, for as
// long as it lives.
class ForeignLock {
public:
    explicit ForeignLock(const QString& path) : db_(path, 0) {
        db_.change(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~ForeignLock() { db_.change(QStringLiteral("ROLLBACK")); }
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

private:
    db::SqliteDb db_;
};
