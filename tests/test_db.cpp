// The database layer against real SQLite files: what the windows rely on when they
// read and write through the store, and what start-up relies on when it opens the file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <vector>

#include "db/backup.h"
#include "db/connection.h"
#include "db/corrections.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/sqlitedb.h"
#include "db/store.h"
#include "db/tablereader.h"
#include "support/foreignlock.h"
#include "support/testfolder.h"

using db::Connection;
using db::DbError;

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

// A second desk on the same file, in a process of its own: stores CIRCUIT in Street
// unless it is there, as the street editor's Update does. Says "open" once its
// connection is open.
int storeOnce(const QString& path) {
    try {
        const std::unique_ptr<db::Store> store = db::Store::openFile(path);
        std::fputs("open\n", stdout);
        std::fflush(stdout);
        store->saveEntry({QStringLiteral("Street"), QStringLiteral("StreetName")},
                         {QStringLiteral("CIRCUIT")});
    } catch (const DbError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    return 0;
}

// Overwrites one page of a database file, as a failing disk would.
void damagePage(const QString& path, qint64 page) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray header = file.read(100);
    const int size = (uchar(header[16]) << 8 | uchar(header[17])) == 1
                         ? 65536
                         : (uchar(header[16]) << 8 | uchar(header[17]));
    QVERIFY(file.size() >= page * size);
    QVERIFY(file.seek((page - 1) * size));
    file.write(QByteArray(size, char(0xFF)));
}

}  // namespace

class TestDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dataSourceIsReadFromTheConnectionText_data();
    void dataSourceIsReadFromTheConnectionText();
    void openRefusesWhatIsNoDatabase();
    void openReportsAForeignLock();
    void failureReportsTheEngineText();
    void failedReadIsNoEndOfTheData_data();
    void failedReadIsNoEndOfTheData();
    void twoDesksStoreANewEntryOnce_data();
    void twoDesksStoreANewEntryOnce();
    void nothingRunsOnAReplacedFile_data();
    void nothingRunsOnAReplacedFile();
    void valuesRoundTripExactly();
    void schemaHasTheFiveTables();
    void createRefusesAnExistingFile_data();
    void createRefusesAnExistingFile();
    void newdbTool();
    void backupIsWholeWhileAnotherDeskWrites_data();
    void backupIsWholeWhileAnotherDeskWrites();
};

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

void TestDb::failureReportsTheEngineText() {
    TestFolder folder;
    Connection connection;
    connection.openFile(folder.dbPath());
    try {
        connection.select(QStringLiteral("SELECT * FROM Nowhere"));
        QFAIL("a statement on a missing table must fail");
    } catch (const DbError& error) {
        QVERIFY2(error.text().contains(QStringLiteral("no such table: Nowhere")),
                 qPrintable(error.text()));
    }
    // What a desk meets in its day comes in the operator's words, the engine's after.
    {
        const std::unique_ptr<db::Store> store = db::Store::openFile(folder.dbPath());
        ForeignLock lock(folder.dbPath());
        try {
            store->saveEntry({QStringLiteral("State"), QStringLiteral("State")},
                             {QStringLiteral("VIC")});
            QFAIL("a write under another program's lock must fail");
        } catch (const DbError& error) {
            QVERIFY2(error.text().startsWith(QStringLiteral("Another desk or program")) &&
                         error.text().contains(QStringLiteral("What you typed is kept")) &&
                         error.text().contains(QStringLiteral("(SQLite: database is locked)")),
                     qPrintable(error.text()));
        }
    }
    // A statement whose values do not fit the table fails whole.
    QVERIFY_THROWS_EXCEPTION(
        DbError, connection.execute(QStringLiteral("insert into PubName values ('A');")));
    QCOMPARE(folder.rows(QStringLiteral("select * from PubName")).size(), 0);
}

void TestDb::failedReadIsNoEndOfTheData_data() {
    QTest::addColumn<bool>("firstPage");  // the table's first page, or one half way
    QTest::newRow("first page") << true;
    QTest::newRow("a page half way") << false;
}

void TestDb::failedReadIsNoEndOfTheData() {
    QFETCH(bool, firstPage);
    TestFolder folder;
    folder.exec(
        QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n "
                       "WHERE x < 20000) INSERT INTO Street SELECT 'STREET ' || x FROM n"));
    const qint64 pages = folder.column(QStringLiteral("PRAGMA page_count")).first().toLongLong();
    const qint64 root =
        folder.column(QStringLiteral("select rootpage from sqlite_master where name = 'Street'"))
            .first()
            .toLongLong();
    damagePage(folder.dbPath(), firstPage ? root : pages * 3 / 4);
    const std::unique_ptr<db::Store> store = db::Store::openFile(folder.dbPath());
    try {
        const QList<QStringList> streets = store->readTable(QStringLiteral("Street"), false);
        QFAIL(qPrintable(QStringLiteral("%1 of 20000 rows read as if all").arg(streets.size())));
    } catch (const DbError& error) {
        QVERIFY2(error.text().contains(QStringLiteral("malformed")) &&
                     error.text().contains(QStringLiteral("latest backup")),
                 qPrintable(error.text()));
    }
}

void TestDb::twoDesksStoreANewEntryOnce_data() {
    QTest::addColumn<int>("desks");
    QTest::newRow("two desks") << 2;
    QTest::newRow("three desks") << 3;
}

void TestDb::twoDesksStoreANewEntryOnce() {
    QFETCH(int, desks);
    TestFolder folder;
    // A third program holds the write lock while the desks test for the entry; they
    // store once it lets go.
    {
        db::SqliteDb writer(folder.dbPath(), 0);
        writer.change(QStringLiteral("BEGIN IMMEDIATE"));
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int desk = 0; desk < desks; ++desk) {
            auto& process = processes.emplace_back(std::make_unique<QProcess>());
            process->start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--desk"), folder.dbPath()});
            QVERIFY(process->waitForReadyRead(30000));
            QCOMPARE(process->readLine().trimmed(), QByteArray("open"));
        }
        QTest::qWait(500);
        writer.change(QStringLiteral("COMMIT"));
        for (auto& process : processes) {
            QVERIFY(process->waitForFinished(30000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
    }
    QCOMPARE(folder.column(QStringLiteral("select * from Street")), QStringList{"CIRCUIT"});
}

void TestDb::nothingRunsOnAReplacedFile_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("removed") << "remove";
    QTest::newRow("moved away") << "move";
    QTest::newRow("a copy put in its place") << "replace";
}

void TestDb::nothingRunsOnAReplacedFile() {
    QFETCH(QString, change);
    TestFolder folder;
    const QString path = folder.dbPath();
    const QString other = folder.file(QStringLiteral("other.mdb"));
    Connection connection;
    connection.openFile(path);
    if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(path));
    } else if (change == QLatin1String("move")) {
        QVERIFY(QFile::rename(path, other));
    } else {
        QVERIFY(QFile::copy(path, other));
        QVERIFY(::rename(QFile::encodeName(other).constData(),
                         QFile::encodeName(path).constData()) == 0);
    }
    for (const auto& action : std::initializer_list<std::function<void()>>{
             [&] { connection.execute(QStringLiteral("insert into State values ('VIC');")); },
             [&] { connection.withTableLock(QStringLiteral("State"), [] {}); },
             [&] { connection.tableReader(); }}) {
        try {
            action();
            QFAIL("an action ran on a file that is gone");
        } catch (const DbError& error) {
            QVERIFY2(error.text().contains(QStringLiteral("start it again")),
                     qPrintable(error.text()));
        }
    }
    connection.close();
    for (const QString& file : {path, other}) {
        if (QFile::exists(file)) {
            Connection look;
            look.openFile(file);
            QCOMPARE(look.select(QStringLiteral("SELECT * FROM State")).size(), 0);
        }
    }
}

void TestDb::valuesRoundTripExactly() {
    TestFolder folder;
    const std::unique_ptr<db::Store> store = db::Store::openFile(folder.dbPath());
    const db::LookupTable street{QStringLiteral("Street"), QStringLiteral("StreetName")};
    // Half a surrogate pair has no UTF-8 form: it is stored as U+FFFD.
    const QStringList values = {QStringLiteral("O'BRIEN"),           QStringLiteral("L'ESPRIT ''"),
                                QStringLiteral("Zürich – “quoted”"), QStringLiteral("two\nlines"),
                                QStringLiteral("\uFEFFMARK"),        QStringLiteral("100% %1 ?")};
    for (const QString& value : values)
        QCOMPARE(store->saveEntry(street, {value}), db::Store::EntryWrite::Added);
    QCOMPARE(store->saveEntry(street, {QStringLiteral("A") + QChar(0xD800) + QStringLiteral("'B")}),
             db::Store::EntryWrite::Added);
    QStringList stored;
    for (const QStringList& row : store->readTable(QStringLiteral("Street"), true))
        stored.append(row.value(0));
    QCOMPARE(stored, values + QStringList{QStringLiteral("A\uFFFD'B")});
    for (const QString& value : values)
        QCOMPARE(store->findEntry(street, value).value_or(QStringList()), QStringList{value});
    QVERIFY(!store->findEntry(street, QStringLiteral("O'BRIEN ")));
    QVERIFY(store->removeEntry(street, values.first()));
    QVERIFY(!store->removeEntry(street, values.first()));
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
    // No index restricts what a table holds; the search's only speeds a search.
    QCOMPARE(folder.column(QStringLiteral("select name from sqlite_master where type='index'")),
             QStringList{db::schema::kSearchIndex});
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
        QFile empty(path);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        db::SqliteDb(path, 0).change(QStringLiteral("create table Customers (Name)"));
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

void TestDb::backupIsWholeWhileAnotherDeskWrites_data() {
    QTest::addColumn<bool>("othersWrite");  // a row stored by another desk after every step
    QTest::addColumn<QString>("target");    // what lies at the target's name first
    QTest::addColumn<bool>("made");
    QTest::newRow("nobody writes") << false << "nothing" << true;
    QTest::newRow("another desk writes between the steps") << true << "nothing" << true;
    QTest::newRow("an older backup replaced") << true << "older backup" << true;
    QTest::newRow("over the database itself") << false << "the database" << false;
    QTest::newRow("from a letter") << false << "letter" << false;
}

void TestDb::backupIsWholeWhileAnotherDeskWrites() {
    QFETCH(bool, othersWrite);
    QFETCH(QString, target);
    QFETCH(bool, made);
    TestFolder folder;
    // Some hundred pages, copied ten at a time.
    folder.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO Street SELECT printf('STREET %06d', i) FROM n"));
    QString source = folder.dbPath();
    QString copy = folder.file(QStringLiteral("Pelmar-backup.mdb"));
    QByteArray before = "an older backup";
    if (target == QLatin1String("the database")) {
        copy = source;
    } else if (target == QLatin1String("letter")) {
        source = folder.file(QStringLiteral("letter.txt"));
        QFile letter(source);
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write("Dear operator,\n");
    }
    if (target != QLatin1String("nothing") && copy != folder.dbPath()) {
        QFile older(copy);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write(before);
    }
    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray database = contents(folder.dbPath());
    try {
        db::FileBackup backup(source, copy);
        int steps = 0;
        while (!backup.step(10)) {
            ++steps;
            if (othersWrite)
                folder.exec(QStringLiteral("INSERT INTO Street VALUES ('WRITTEN %1')").arg(steps));
        }
        QVERIFY2(steps >= 5, "the copy is made in steps");
        backup.finish();
        QVERIFY(made);
    } catch (const DbError& error) {
        QVERIFY2(!made, qPrintable(error.text()));
        QVERIFY2(error.text().contains("was not made") && error.text().contains("unchanged"),
                 qPrintable(error.text()));
        QCOMPARE(contents(folder.dbPath()), database);
        if (copy != folder.dbPath() && target != QLatin1String("nothing"))
            QCOMPARE(contents(copy), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Hidden | QDir::Files).filter("backup-"),
                 QStringList());
        return;
    }
    // The copy holds every row the database held when the last step ended.
    {
        db::SqliteDb check(copy, 0);
        QCOMPARE(check.select(QStringLiteral("PRAGMA integrity_check")).value(0),
                 QStringList{QStringLiteral("ok")});
        QCOMPARE(check.select(QStringLiteral("SELECT count(*) FROM Street")).value(0),
                 folder.column(QStringLiteral("SELECT count(*) FROM Street")));
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Hidden | QDir::Files).filter("backup-"),
             QStringList());
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--desk") == 0)
        return storeOnce(QString::fromLocal8Bit(argv[2]));
    TestDb test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_db.moc"
