#include "testfolder.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include "db/connection.h"
#include "db/dberror.h"
#include "db/recordset.h"
#include "db/schema.h"
#include "testserver.h"

namespace {

// Runs fn on a server connection of the test's own; fails the test process on error.
template <class Fn>
void withServer(const QString& conninfo, Fn fn) {
    try {
        db::Connection connection;
        connection.openServer(conninfo);
        fn(connection);
    } catch (const db::DbError& error) {
        qFatal("%s", qPrintable(error.text()));
    }
}

// Runs fn on a connection of the test's own, opened and closed around it.
template <class Fn>
void withDatabase(const QString& path, Fn fn) {
    static int counter = 0;
    const QString name = QStringLiteral("testfolder-%1").arg(++counter);
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        if (!database.open())
            qFatal("cannot open %s", qPrintable(path));
        fn(database);
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

void copyPictures(const QString& folder) {
    for (const char* name : {"head1.jpg", "head2.jpg"}) {
        const QString from = QStringLiteral(PELMAR_DATA_DIR "/") + QLatin1String(name);
        const QString to = folder + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(to);
        if (!QFile::copy(from, to))
            qFatal("cannot copy %s", qPrintable(from));
    }
}

TestFolder::TestFolder(Content content) {
    if (!dir_.isValid())
        qFatal("no temporary folder");
    if (onServer()) {
        server_ = TestServer::instance().newDatabase();
        try {
            db::schema::createServerTables(server_, content == WithSamples);
        } catch (const db::DbError& error) {
            qFatal("%s", qPrintable(error.text()));
        }
        writeServerSetting(path(), server_);
    } else {
        db::schema::createDatabase(dbPath(), content == WithSamples);
    }
    copyPictures(path());
}

QString writeSetting(const QString& folder, const QByteArray& content) {
    QFile file(folder + QStringLiteral("/Pelmar.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write Pelmar.ini");
    file.write(content);
    return file.fileName();
}

void writeServerSetting(const QString& folder, const QString& conninfo) {
    writeSetting(folder, "[Database]\nServer=" + conninfo.toUtf8() + "\n");
}

void TestFolder::exec(const QString& statement) const {
    if (!server_.isEmpty()) {
        withServer(server_, [&](db::Connection& connection) { connection.execute(statement); });
        return;
    }
    withDatabase(dbPath(), [&](QSqlDatabase& database) {
        QSqlQuery query(database);
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    });
}

QList<QStringList> TestFolder::rows(const QString& statement) const {
    QList<QStringList> result;
    if (!server_.isEmpty()) {
        withServer(server_, [&](db::Connection& connection) {
            db::Recordset rs;
            for (rs.open(statement, connection); !rs.eof(); rs.moveNext()) {
                QStringList row;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    row.append(rs.value(i));
                result.append(row);
            }
        });
        return result;
    }
    withDatabase(dbPath(), [&](QSqlDatabase& database) {
        QSqlQuery query(database);
        if (!query.exec(statement))
            qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row.append(query.value(i).toString());
            result.append(row);
        }
    });
    return result;
}

QStringList TestFolder::column(const QString& statement) const {
    QStringList values;
    for (const QStringList& row : rows(statement))
        values.append(row.value(0));
    return values;
}

void TestFolder::dropRows(const QString& table, const QString& event, bool on) const {
    const QString name = QStringLiteral("pelmar_test_drop_") + event;
    if (!on) {
        exec(QStringLiteral("DROP TRIGGER %1%2")
                 .arg(name, server_.isEmpty() ? QString() : QStringLiteral(" ON ") + table));
        return;
    }
    if (server_.isEmpty()) {
        exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(IGNORE); END")
                 .arg(name, event, table));
        return;
    }
    exec(QStringLiteral("CREATE OR REPLACE FUNCTION pelmar_test_drop() RETURNS trigger "
                        "LANGUAGE plpgsql AS $$BEGIN RETURN NULL; END$$; "
                        "CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW "
                        "EXECUTE FUNCTION pelmar_test_drop()")
             .arg(name, event, table));
}
