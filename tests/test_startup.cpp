// Start-up as the operator meets it: the database next to the program opens, or
// the error is shown and the program ends before its main window appears.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <optional>

#include "app/pelmar.h"
#include "db/dberror.h"
#include "db/sqlitedb.h"
#include "db/store.h"
#include "shell/desk.h"
#include "shell/programfolder.h"
#include "support/foreignlock.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

bool mainWindowShown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<Pelmar*>(widget) && widget->isVisible())
            return true;
    return false;
}

// The process acts as an ordinary user for as long as it lives: an administrator
// could write a read-only file anyway.
class ActingAs {
public:
    ActingAs() : was_(::geteuid()) {
        if (was_ == 0 && ::seteuid(65534) != 0)
            qFatal("cannot act as another user");
    }
    ~ActingAs() {
        if (was_ == 0 && ::seteuid(0) != 0)
            qFatal("cannot act as the administrator again");
    }
    ActingAs(const ActingAs&) = delete;
    ActingAs& operator=(const ActingAs&) = delete;

private:
    uid_t was_;
};

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failureEndsBeforeTheMainWindow_data();
    void failureEndsBeforeTheMainWindow();
    void connectionTextNamesTheFolder_data();
    void connectionTextNamesTheFolder();
    void runsUntilTheFrameCloses_data();
    void runsUntilTheFrameCloses();
    void programFolderFromTheFileSystemsBytes_data();
    void programFolderFromTheFileSystemsBytes();
};

void TestStartup::failureEndsBeforeTheMainWindow_data() {
    // What lies at Pelmar.mdb: none, junk, a folder, locked, an empty file, or a
    // database of the program's changed by the statements given.
    QTest::addColumn<QString>("database");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QStringList>("errorParts");
    const QStringList tool = {"pelmar-newdb"};
    QTest::newRow("missing") << "none" << QStringList() << QStringList{"Pelmar.mdb"};
    QTest::newRow("not a database") << "junk" << QStringList() << QStringList{"not a database"};
    QTest::newRow("a folder") << "folder" << QStringList() << QStringList{"Pelmar.mdb"};
    QTest::newRow("locked by another program")
        << "locked" << QStringList() << QStringList{"locked"};
    QTest::newRow("0-byte file") << "empty" << QStringList()
                                 << tool + QStringList{"Data", "Street", "PubName"};
    QTest::newRow("another program's database")
        << "tables"
        << QStringList{"drop table Data",     "drop table Street",  "drop table State",
                       "drop table PropType", "drop table PubName", "create table Customers (Name)"}
        << tool + QStringList{"Data", "PropType"};
    QTest::newRow("missing table")
        << "tables" << QStringList{"drop table PubName"} << tool + QStringList{"PubName"};
    QTest::newRow("missing column")
        << "tables"
        << QStringList{"drop index if exists ListingsSearch", "alter table Data drop column Suburb"}
        << tool + QStringList{"Data", "Suburb"};
    QTest::newRow("renamed column")
        << "tables" << QStringList{"alter table Street rename column StreetName to Name"}
        << tool + QStringList{"Street", "StreetName"};
    QTest::newRow("extra column") << "tables"
                                  << QStringList{"alter table State add column Capital TEXT"}
                                  << tool + QStringList{"State", "2 columns instead of 1"};
    QTest::newRow("columns in another order")
        << "tables"
        << QStringList{"drop table PubName", "create table PubName (PubState TEXT, PubName TEXT)"}
        << tool + QStringList{"PubName", "order"};
}

void TestStartup::failureEndsBeforeTheMainWindow() {
    QFETCH(QString, database);
    QFETCH(QStringList, changes);
    QFETCH(QStringList, errorParts);
    TestFolder folder;
    const QString path = folder.dbPath();
    std::unique_ptr<ForeignLock> lock;
    for (const QString& change : changes)
        folder.exec(change);
    if (database == QLatin1String("locked")) {
        lock = std::make_unique<ForeignLock>(path);
    } else if (database != QLatin1String("tables")) {
        QVERIFY(QFile::remove(path));
        // A setting without a server keeps the folder the desk's own: its database
        // is missing, and nothing may be offered elsewhere.
        if (database == QLatin1String("none"))
            writeSetting(folder.path(), QByteArray());
        QFile file(path);
        if (database == QLatin1String("junk")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("This is a letter, not a database.\n");
        } else if (database == QLatin1String("empty")) {
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (database == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        }
    }

    ScriptedMessages messages;
    QCOMPARE(pelmar::run(folder.path(), scriptedMessages()), 1);
    QCOMPARE(messages.shown().size(), 1);
    for (const QString& part : errorParts)
        QVERIFY2(messages.last().text.contains(part), qPrintable(messages.last().text));
    QCOMPARE(messages.last().title, QStringLiteral("PelmarEntry"));
    QVERIFY(!mainWindowShown());
    if (database == QLatin1String("none"))
        QVERIFY2(!QFile::exists(path), "start-up must not create a database");
}

void TestStartup::connectionTextNamesTheFolder_data() {
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<bool>("trailingSeparator");
    QTest::newRow("plain") << "pelmar" << false;
    QTest::newRow("ends in a separator") << "pelmar" << true;
    QTest::newRow("blanks and a quote") << "o'brien's listings" << false;
}

void TestStartup::connectionTextNamesTheFolder() {
    QFETCH(QString, folderName);
    QFETCH(bool, trailingSeparator);
    TestFolder base;
    const QString folder = base.file(folderName);
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(QFile::copy(base.dbPath(), folder + QStringLiteral("/Pelmar.mdb")));

    const QString given = trailingSeparator ? folder + QLatin1Char('/') : folder;
    const std::unique_ptr<shell::Desk> desk = shell::Desk::startUp(given, scriptedMessages());
    const QString expectedPath = given + QStringLiteral("/Pelmar.mdb");
    QCOMPARE(desk->dbPath(), expectedPath);
    QCOMPARE(shell::connectionText(desk->dbPath()),
             QStringLiteral("provider=Microsoft.Jet.OLEDB.3.51;data source=") + expectedPath + ";");
    desk->store().saveEntry({QStringLiteral("State"), QStringLiteral("State")},
                            {QStringLiteral("VIC")});
    QCOMPARE(db::SqliteDb(expectedPath, 0).select(QStringLiteral("select * from State")).size(), 1);
    QCOMPARE(base.rows(QStringLiteral("select * from State")).size(), 0);  // the folder's own file
}

void TestStartup::runsUntilTheFrameCloses_data() {
    QTest::addColumn<QStringList>("changes");
    // What cannot be written: "file", "folder" or nothing; then one warning first.
    QTest::addColumn<QString>("readOnly");
    QTest::newRow("as created") << QStringList() << "";
    QTest::newRow("column names in capitals")
        << QStringList{"drop table Street", "create table STREET (STREETNAME TEXT)"} << "";
    QTest::newRow("read-only file") << QStringList() << "file";
    QTest::newRow("read-only folder") << QStringList() << "folder";
}

void TestStartup::runsUntilTheFrameCloses() {
    QFETCH(QStringList, changes);
    QFETCH(QString, readOnly);
    TestFolder folder;
    for (const QString& change : changes)
        folder.exec(change);
    std::optional<ActingAs> nobody;
    if (!readOnly.isEmpty()) {
        // As a user other than the files' owner, whom the permissions bind (its group
        // stays the administrator's).
        const QFile::Permissions read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        const QFile::Permissions enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        const QFile::Permissions write = QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(folder.path(), readOnly == QLatin1String("folder")
                                                 ? read | enter
                                                 : read | enter | write | QFile::WriteOwner);
        QFile::setPermissions(folder.dbPath(), readOnly == QLatin1String("folder")
                                                   ? read | write | QFile::WriteOwner
                                                   : read);
        nobody.emplace();
    }
    ScriptedMessages messages;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = mainWindowShown();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<Pelmar*>(widget))
                widget->close();
    });
    const int status = pelmar::run(folder.path(), scriptedMessages());
    nobody.reset();
    QVERIFY2(status == 0, qPrintable(messages.texts().join('|')));
    QVERIFY(shown);
    QCOMPARE(messages.shown().size(), readOnly.isEmpty() ? 0 : 1);
    if (!readOnly.isEmpty()) {
        QVERIFY2(messages.last().text.contains("cannot be written") &&
                     messages.last().text.contains("start it again"),
                 qPrintable(messages.last().text));
        QCOMPARE(messages.last().icon, shell::Icon::Exclamation);
    }
}

void TestStartup::programFolderFromTheFileSystemsBytes_data() {
    QTest::addColumn<QByteArray>("executable");
    QTest::addColumn<QString>("folder");  // empty: refused
    QTest::newRow("plain") << QByteArray("/opt/pelmar/PelmarEntry") << "/opt/pelmar";
    QTest::newRow("in the root") << QByteArray("/PelmarEntry") << "/";
    QTest::newRow("UTF-8") << QByteArray("/opt/caf\xC3\xA9/PelmarEntry") << "/opt/café";
    QTest::newRow("not UTF-8") << QByteArray("/opt/caf\xE9/PelmarEntry") << "";
}

void TestStartup::programFolderFromTheFileSystemsBytes() {
    QFETCH(QByteArray, executable);
    QFETCH(QString, folder);
    try {
        QCOMPARE(shell::folderOfExecutable(executable), folder);
        QVERIFY(!folder.isEmpty());
    } catch (const db::DbError& error) {
        QVERIFY(folder.isEmpty());
        QVERIFY2(error.text().contains("/opt/caf"), qPrintable(error.text()));
    }
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
