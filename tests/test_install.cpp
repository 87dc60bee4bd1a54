// The program as cmake --install lays it out, started as an operator starts it the
// first time: on a home of its own, with no database anywhere yet.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "db/recordset.h"
#include "entrysession.h"
#include "shell/desk.h"
#include "shell/texts.h"

using shell::Answer;

namespace {

const QString kBin = QStringLiteral(PELMAR_TEST_PREFIX "/bin");

// Whether the process holds the file open, as the program holds its database.
bool holdsOpen(qint64 pid, const QString& file) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == file)
            return true;
    return false;
}

}  // namespace

class TestInstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        home_ = std::make_unique<QTemporaryDir>();
        qputenv("HOME", home_->path().toLocal8Bit());
        // The documents folder as a desktop names it, unless it is told otherwise.
        qunsetenv("XDG_CONFIG_HOME");
        desk_ = home_->path() + QStringLiteral("/Documents/PelmarEntry");
    }
    void cleanup() { home_.reset(); }

    void firstStart_data() {
        QTest::addColumn<bool>("create");
        QTest::newRow("a new database") << true;
        QTest::newRow("declined") << false;
    }

    void firstStart() {
        QFETCH(bool, create);
        if (!create) {
            ScriptedMessages messages;
            messages.answer({Answer::No});
            QCOMPARE(pelmar::run(kBin), 1);
            QCOMPARE(messages.shown().size(), 2);
            QVERIFY2(messages.shown().first().text.contains(desk_),
                     qPrintable(messages.shown().first().text));
            QVERIFY2(messages.last().text.contains(desk_ + QStringLiteral("/Pelmar.mdb")),
                     qPrintable(messages.last().text));
            QVERIFY2(!QFileInfo::exists(desk_), "nothing is created when the operator declines");
            return;
        }
        {
            ScriptedMessages messages;
            messages.answer({Answer::Yes});
            const QString path = shell::Desk::startUp(kBin)->dbPath();
            QCOMPARE(messages.shown().size(), 1);
            QCOMPARE(messages.last().buttons, shell::Buttons::YesNo);
            QVERIFY2(messages.last().text.contains(desk_), qPrintable(messages.last().text));
            QCOMPARE(path, desk_ + QStringLiteral("/Pelmar.mdb"));
        }
        {
            // A listing stored through the windows, whose pictures only the installed
            // data folder holds; the desk is asked nothing more.
            EntrySession session(kBin);
            QVERIFY(session.messages().shown().isEmpty());
            QVERIFY(!QFileInfo::exists(desk_ + QStringLiteral("/head1.jpg")));
            session.openEntry();
            session.messages().answer({Answer::Yes, Answer::Yes, Answer::Yes});
            session.passPart1(QStringLiteral("NSW"), QStringLiteral("SYDNEY MORNING HERALD"),
                              QStringLiteral("05/06/24"));
            session.passPart2({"2", "14", "Harbour Street", "Mosman", "Ray White", "A", "Road",
                               "North", "Close"});
            QVERIFY2(session.isOpen("Part3"), qPrintable(session.messages().texts().join('\n')));
            QVERIFY(!session.control<QLabel>("Part3", "Picture1")->pixmap().isNull());
            session.click("Part3", "Command1");
            QCOMPARE(session.messages().last().text, QString::fromLatin1(shell::kRecordInserted));
            db::Recordset data;
            data.open(QStringLiteral("SELECT * FROM Data"), session.app().store().connection());
            QVERIFY(!data.eof());
            QCOMPARE(data.value(0), QStringLiteral("NSW"));
        }

        // The installed executable itself starts on that desk and opens its database.
        QProcess program;
        program.start(kBin + QStringLiteral("/PelmarEntry"));
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            holdsOpen(program.processId(), desk_ + QStringLiteral("/Pelmar.mdb")) ||
                program.state() == QProcess::NotRunning,
            20000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
    }

private:
    std::unique_ptr<QTemporaryDir> home_;
    QString desk_;
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
