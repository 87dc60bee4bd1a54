#include "testfolder.h"

#include <QFile>
#include <QTest>
#include <algorithm>
#include <numeric>

#include "db/connection.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/serversession.h"
#include "testserver.h"

namespace {

// Runs fn on a connection of the test's own to the file or the server, opened and
// closed around it; fails the test process on error.
template <class Fn>
void withConnection(const QString& path, const QString& server, Fn fn) {
    try {
        db::Connection connection;
        if (server.isEmpty())
            connection.openFile(path);
        else
            connection.openServer(server);
        fn(connection);
    } catch (const db::DbError& error) {
        qFatal("%s", qPrintable(error.text()));
    }
}

// A server's rows as the program sees them: in the order stored, without the
// columns the program never shows (unless nothing else was asked for).
QList<QStringList> programRows(const db::ServerResult& result) {
    QList<int> shown;
    int order = -1;
    for (int column = 0; column < result.columns(); ++column) {
        const QString name = result.columnName(column);
        if (name == db::schema::kStoredOrder)
            order = column;
        else if (name != db::schema::kRowToken)
            shown.append(column);
    }
    // Asked for by name alone, the hidden columns are what the test wants to see.
    if (shown.isEmpty())
        for (int column = 0; column < result.columns(); ++column)
            shown.append(column);
    QList<int> rows(result.rows());
    std::iota(rows.begin(), rows.end(), 0);
    if (order >= 0)
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
            return result.value(a, order).toLongLong() < result.value(b, order).toLongLong();
        });
    QList<QStringList> values;
    for (int row : rows) {
        QStringList one;
        for (int column : shown)
            one.append(result.value(row, column));
        values.append(one);
    }
    return values;
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
    withConnection(dbPath(), server_,
                   [&](db::Connection& connection) { connection.execute(statement); });
}

QList<QStringList> TestFolder::rows(const QString& statement) const {
    QList<QStringList> result;
    withConnection(dbPath(), server_, [&](db::Connection& connection) {
        if (connection.isServer()) {
            result = programRows(connection.server().exec(statement));
            return;
        }
        result = connection.select(statement);
        // As the tests compare them: a NULL reads as an empty text.
        for (QStringList& row : result) {
            for (QString& value : row) {
                if (value.isNull())
                    value = QLatin1String("");
            }
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
