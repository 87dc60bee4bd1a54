// Start-up as the operator meets it: the database next to the program opens, or
// the error is shown and the program ends before its main window appears.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/pelmar.h"
#include "db/schema.h"
#include "shell/dbconnect.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

namespace {

bool mainWindowShown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<Pelmar*>(widget) && widget->isVisible())
            return true;
    return false;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failureEndsBeforeTheMainWindow_data();
    void failureEndsBeforeTheMainWindow();
    void connectionTextNamesTheFolder_data();
    void connectionTextNamesTheFolder();
    void runsUntilTheFrameCloses();
};

void TestStartup::failureEndsBeforeTheMainWindow_data() {
    QTest::addColumn<QString>("database");  // what lies at Pelmar.mdb: none, junk, folder, locked
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("missing") << "none"
                             << "Pelmar.mdb";
    QTest::newRow("not a database") << "junk"
                                    << "not a database";
    QTest::newRow("a folder") << "folder"
                              << "Pelmar.mdb";
    QTest::newRow("locked by another program") << "locked"
                                               << "locked";
}

void TestStartup::failureEndsBeforeTheMainWindow() {
    QFETCH(QString, database);
    QFETCH(QString, errorPart);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pelmar.mdb"));
    const QString lockName = QStringLiteral("other-program");
    if (database == QLatin1String("junk")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("This is a letter, not a database.\n");
    } else if (database == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (database == QLatin1String("locked")) {
        db::schema::createDatabase(path, false);
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), lockName);
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }

    ScriptedMessages messages;
    QCOMPARE(pelmar::run(dir.path()), 1);
    QCOMPARE(messages.shown().size(), 1);
    QVERIFY2(messages.last().text.contains(errorPart), qPrintable(messages.last().text));
    QCOMPARE(messages.last().title, QStringLiteral("PelmarEntry"));
    QVERIFY(!mainWindowShown());
    if (database == QLatin1String("none"))
        QVERIFY2(!QFile::exists(path), "start-up must not create a database");
    if (database == QLatin1String("locked")) {
        QSqlDatabase::database(lockName).close();
        QSqlDatabase::removeDatabase(lockName);
    }
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
    dbConnect::startUp(given);
    const QString expectedPath = given + QStringLiteral("/Pelmar.mdb");
    QCOMPARE(dbConnect::DbPath(), expectedPath);
    QCOMPARE(dbConnect::Conn().connectionString(),
             QStringLiteral("provider=Microsoft.Jet.OLEDB.3.51;data source=") + expectedPath + ";");
    QVERIFY(dbConnect::Conn().isOpen());
    dbConnect::Conn().execute(QStringLiteral("insert into State values ('VIC');"));
    QCOMPARE(base.rows(QStringLiteral("select * from State")).size(), 0);  // the folder's own file
    dbConnect::Conn().close();
}

void TestStartup::runsUntilTheFrameCloses() {
    TestFolder folder;
    ScriptedMessages messages;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = mainWindowShown();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<Pelmar*>(widget))
                widget->close();
    });
    QCOMPARE(pelmar::run(folder.path()), 0);
    QVERIFY(shown);
    QVERIFY(messages.shown().isEmpty());
    dbConnect::Conn().close();
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
