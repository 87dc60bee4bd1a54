// The database layer against real SQLite files: what the windows rely on when they
// open a result set, and what start-up relies on when it opens the file.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "db/connection.h"
#include "db/dberror.h"
#include "db/dialect.h"
#include "db/recordset.h"
#include "db/schema.h"
#include "db/sqlliteral.h"
#include "support/foreignlock.h"
#include "support/testfolder.h"

using db::Connection;
using db::DbError;
using db::Recordset;

namespace {

QString openError(const QString& path) {
    Connection connection;
    try {
        connection.openFile(path);
    } catch (const DbError& error) {
        return error.text();
    }
    return {};
}

}  // namespace

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void literalDoublesQuotes_data();
    void literalDoublesQuotes();
    void jetDeleteIsTranslated_data();
    void jetDeleteIsTranslated();
    void dataSourceIsReadFromTheConnectionText_data();
    void dataSourceIsReadFromTheConnectionText();
    void openRefusesWhatIsNoDatabase();
    void openReportsAForeignLock();
    void recordsetOnEmptyAndFilledTables();
    void recordsetReportsTheEngineText();
    void failedRerunClosesTheRecordset();
    void quotedValuesRoundTrip();
    void traceSeesTextsAsWritten();
    void schemaHasTheFiveTables();
    void createRefusesAnExistingFile_data();
    void createRefusesAnExistingFile();
    void newdbTool();
};

void TestDb::literalDoublesQuotes_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("literal");
    QTest::newRow("plain") << "ROAD"
                           << "'ROAD'";
    QTest::newRow("empty") << ""
                           << "''";
    QTest::newRow("one quote") << "O'BRIEN"
                               << "'O''BRIEN'";
    QTest::newRow("quotes at both ends") << "'x'"
                                         << "'''x'''";
    QTest::newRow("statement in a value") << "a'); DROP TABLE Data; --"
                                          << "'a''); DROP TABLE Data; --'";
}

void TestDb::literalDoublesQuotes() {
    QFETCH(QString, value);
    QFETCH(QString, literal);
    QCOMPARE(db::sqlText(value), literal);
}

void TestDb::jetDeleteIsTranslated_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("run");
    QTest::newRow("delete") << "Delete * From Street Where StreetName='ROAD';"
                            << "DELETE FROM Street Where StreetName='ROAD';";
    QTest::newRow("other case and blanks") << "  delete  *  FROM State Where State='VIC';"
                                           << "DELETE FROM State Where State='VIC';";
    QTest::newRow("select stays") << "Select * From Street;"
                                  << "Select * From Street;";
    QTest::newRow("only at the start") << "insert into Street values ('Delete * From X');"
                                       << "insert into Street values ('Delete * From X');";
}

void TestDb::jetDeleteIsTranslated() {
    QFETCH(QString, written);
    QFETCH(QString, run);
    QCOMPARE(db::toSqlite(written), run);
}

void TestDb::dataSourceIsReadFromTheConnectionText_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/opt/pelmar/Pelmar.mdb";
    QTest::newRow("doubled separator") << "/opt/pelmar//Pelmar.mdb";
    QTest::newRow("blanks and a quote") << "/home/o'brien/my files/Pelmar.mdb";
    QTest::newRow("semicolon in a folder") << "/data/a;b/Pelmar.mdb";
}

void TestDb::dataSourceIsReadFromTheConnectionText() {
    QFETCH(QString, path);
    const QString text =
        QStringLiteral("provider=Microsoft.Jet.OLEDB.3.51;data source=") + path + QLatin1Char(';');
    QCOMPARE(Connection::dataSourceOf(text), path);
}

void TestDb::openRefusesWhatIsNoDatabase() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Pelmar.mdb"));
    QVERIFY(openError(missing).contains(missing));
    QVERIFY2(!QFile::exists(missing), "opening must never create the file");

    const QString garbage = dir.filePath(QStringLiteral("garbage.mdb"));
    QFile file(garbage);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'J'));
    file.close();
    QVERIFY(openError(garbage).contains(QStringLiteral("not a database")));

    const QString folder = dir.filePath(QStringLiteral("folder.mdb"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!openError(folder).isEmpty());
}

void TestDb::openReportsAForeignLock() {
    TestFolder folder;
    ForeignLock lock(folder.dbPath());
    QVERIFY(openError(folder.dbPath()).contains(QStringLiteral("locked")));
}

void TestDb::recordsetOnEmptyAndFilledTables() {
    TestFolder folder;
    Connection connection;
    connection.openFile(folder.dbPath());
    Recordset rs;
    rs.open(QStringLiteral("Select * From Street;"), connection);
    QVERIFY(rs.isOpen());
    QVERIFY(rs.bof());
    QVERIFY(rs.eof());
    QCOMPARE(rs.fieldName(0), QStringLiteral("StreetName"));

    for (const char* street : {"ROAD", "AVENUE", "LANE"})
        connection.execute(
            QStringLiteral("insert into Street values ('%1');").arg(QLatin1String(street)));
    rs.open(QStringLiteral("Select * From Street;"), connection);  // reopening closes first
    QVERIFY(!rs.bof());
    QStringList seen;
    while (!rs.eof()) {
        seen.append(rs.value(0));
        rs.moveNext();
    }
    QCOMPARE(seen, QStringList({"ROAD", "AVENUE", "LANE"}));  // the engine's order: as inserted
    rs.moveFirst();
    QCOMPARE(rs.value(0), QStringLiteral("ROAD"));
    QVERIFY_THROWS_EXCEPTION(DbError, rs.value(1));
    rs.close();
    QVERIFY(!rs.isOpen());
    QVERIFY(rs.eof());

    Recordset reader;
    QCOMPARE(db::columnValues(reader, QStringLiteral("Select * from PubName;"), connection),
             QStringList());
}

void TestDb::recordsetReportsTheEngineText() {
    TestFolder folder;
    Connection connection;
    connection.openFile(folder.dbPath());
    Recordset rs;
    try {
        rs.open(QStringLiteral("Select * From Nowhere;"), connection);
        QFAIL("a statement on a missing table must fail");
    } catch (const DbError& error) {
        QVERIFY2(error.text().contains(QStringLiteral("no such table: Nowhere")),
                 qPrintable(error.text()));
    }
    QVERIFY(!rs.isOpen());
    // A statement whose values do not fit the table fails whole.
    QVERIFY_THROWS_EXCEPTION(
        DbError, connection.execute(QStringLiteral("insert into PubName values ('A');")));
    QCOMPARE(folder.rows(QStringLiteral("select * from PubName")).size(), 0);
}

void TestDb::failedRerunClosesTheRecordset() {
    TestFolder folder;
    // Another program may change the tables while the result set is half read.
    folder.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    folder.exec(QStringLiteral("insert into Street values ('ROAD'), ('LANE'), ('WAY')"));
    Connection connection;
    connection.openFile(folder.dbPath());
    Recordset rs;
    rs.open(QStringLiteral("Select * From Street;"), connection);
    rs.moveNext();
    folder.exec(QStringLiteral("alter table Street rename to Gone"));
    QVERIFY_THROWS_EXCEPTION(DbError, rs.moveFirst());
    QVERIFY(!rs.isOpen());
    QVERIFY(rs.eof());
    QVERIFY_THROWS_EXCEPTION(DbError, rs.moveNext());
    QCOMPARE(rs.fieldCount(), 0);
}

void TestDb::quotedValuesRoundTrip() {
    TestFolder folder;
    Connection connection;
    connection.openFile(folder.dbPath());
    const QStringList values = {QStringLiteral("O'BRIEN"), QStringLiteral("L'ESPRIT ''"),
                                QStringLiteral("Zürich – “quoted”"), QStringLiteral("two\nlines")};
    for (const QString& value : values)
        connection.execute(QStringLiteral("insert into Street values (") + db::sqlText(value) +
                           ");");
    Recordset rs;
    QCOMPARE(db::columnValues(rs, QStringLiteral("Select * From Street;"), connection), values);
    Recordset found;
    found.open(QStringLiteral("Select * from Street where StreetName=") +
                   db::sqlText(values.first()) + ";",
               connection);
    QVERIFY(!found.eof());
    QCOMPARE(found.value(0), values.first());
}

void TestDb::traceSeesTextsAsWritten() {
    TestFolder folder;
    folder.exec(QStringLiteral("insert into Street values ('ROAD')"));
    Connection connection;
    connection.openFile(folder.dbPath());
    QStringList seen;
    connection.setTrace([&](const QString& text) { seen.append(text); });
    Recordset rs;
    rs.open(QStringLiteral("Delete * From Street Where StreetName='ROAD';"), connection);
    QCOMPARE(seen, QStringList{QStringLiteral("Delete * From Street Where StreetName='ROAD';")});
    QCOMPARE(folder.rows(QStringLiteral("select * from Street")).size(), 0);
}

void TestDb::schemaHasTheFiveTables() {
    TestFolder folder(TestFolder::WithSamples);
    for (const db::schema::Table& table : db::schema::tables()) {
        QStringList columns;
        for (const QStringList& row : folder.rows("PRAGMA table_info(" + table.name + ")")) {
            columns.append(row.at(1));
            QCOMPARE(row.at(2), QStringLiteral("TEXT"));
            QCOMPARE(row.at(5), QStringLiteral("0"));  // no key
        }
        QCOMPARE(columns, table.columns);
    }
    QCOMPARE(db::schema::dataColumns().size(), 76);
    QCOMPARE(db::schema::dataColumns().first(), QStringLiteral("ListingState"));
    QCOMPARE(db::schema::dataColumns().last(), QStringLiteral("DetailPublicationDate"));
    QCOMPARE(folder.column(QStringLiteral("select count(*) from sqlite_master where type='index'")),
             QStringList{"0"});
    QCOMPARE(folder.column(QStringLiteral("select count(*) from PropType")), QStringList{"9"});
    // Every sample publication belongs to a sample state, so each state offers some.
    QCOMPARE(folder.column(QStringLiteral(
                 "select count(*) from PubName where PubState not in (select State from State)")),
             QStringList{"0"});
    QCOMPARE(folder.column(QStringLiteral("select count(*) from Data")), QStringList{"0"});
}

void TestDb::createRefusesAnExistingFile_data() {
    QTest::addColumn<QString>("there");  // what another program left at the path
    QTest::addColumn<bool>("asUri");     // the path given as SQLite reads a URI
    QTest::newRow("a database") << "database" << false;
    QTest::newRow("a letter") << "letter" << false;
    QTest::newRow("a link to nowhere") << "link" << false;
    QTest::newRow("a database named as a URI") << "database" << true;
}

void TestDb::createRefusesAnExistingFile() {
    QFETCH(QString, there);
    QFETCH(bool, asUri);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pelmar.mdb"));
    const QString nowhere = dir.filePath(QStringLiteral("gone/Pelmar.mdb"));
    if (there == QLatin1String("link")) {
        QVERIFY(QFile::link(nowhere, path));
    } else if (there == QLatin1String("letter")) {
        QFile letter(path);
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write("Dear operator,\n");
    } else {
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), there);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("create table Customers (Name)")));
            other.close();
        }
        QSqlDatabase::removeDatabase(there);
    }
    const auto contents = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QFileInfo before(path);
    const QByteArray bytes = contents();

    const QString given = asUri ? QStringLiteral("file:") + path : path;
    QVERIFY_THROWS_EXCEPTION(DbError, db::schema::createDatabase(given, true));
    const QFileInfo after(path);
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.symLinkTarget(), before.symLinkTarget());
    QVERIFY(!QFileInfo::exists(nowhere));
    QCOMPARE(contents(), bytes);
}

void TestDb::newdbTool() {
    const QString tool = QStringLiteral(PELMAR_BIN_DIR "/pelmar-newdb");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pelmar.mdb"));

    QProcess process;
    process.start(tool, {});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("usage"));

    process.start(tool, {QStringLiteral("--samples"), path});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(before.startsWith("SQLite format 3"));

    process.start(tool, {path});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("already exists"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
