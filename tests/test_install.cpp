// The program as cmake --install lays it out, started as an operator starts it the
// first time: on a home of its own, with no database anywhere yet.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/pelmar.h"
#include "db/store.h"
#include "entrysession.h"
#include "shell/desk.h"
#include "shell/deskfolder.h"
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
    void cleanup() {
        home_.reset();
        // The office's setting as installed, for the next case.
        if (!officeAsInstalled_.isNull()) {
            QFile office(shell::systemSettingPath(kBin));
            QVERIFY(office.open(QIODevice::WriteOnly));
            office.write(officeAsInstalled_);
        }
    }

    void commandLine_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // the start of what it prints
        const QString version = QStringLiteral(PELMAR_VERSION "\n");
        for (const char* program : {"PelmarEntry", "pelmar-newdb"}) {
            const QString name = QString::fromLatin1(program);
            const QString usage = QStringLiteral("usage: ") + name;
            QTest::addRow("%s --version", program)
                << name << QStringList{"--version"} << true << 0
                << (name == QLatin1String("PelmarEntry") ? name + QLatin1Char(' ') + version
                                                         : name + " (PelmarEntry) " + version);
            QTest::addRow("%s --help", program)
                << name << QStringList{"--help"} << true << 0 << usage;
            QTest::addRow("%s -v", program) << name << QStringList{"-v"} << true << 2 << "";
        }
        QTest::newRow("PelmarEntry with no display")
            << "PelmarEntry" << QStringList() << false << 1
            << "PelmarEntry: there is no display to open its window on";
    }

    // Answered before any window: printed, on standard output for what was asked and
    // on standard error for what is refused, and the program ends.
    void commandLine() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display)
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(kBin + QLatin1Char('/') + program, arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (status == 0) {
            QVERIFY2(out.startsWith(output), qPrintable(out));
            QVERIFY2(err.isEmpty(), qPrintable(err));
        } else {
            QVERIFY2(out.isEmpty(), qPrintable(out));
            QVERIFY2(err.startsWith(output), qPrintable(err));
            // One sentence or the usage, and no word of Qt's.
            QVERIFY2(status == 1 ? err.count('\n') == 1 : err.contains("usage: " + program),
                     qPrintable(err));
        }
    }

    void officeSetting_data() {
        QTest::addColumn<QByteArray>("office");  // empty: as installed
        QTest::addColumn<QByteArray>("desk");    // the desk's own Pelmar.ini; empty: none
        QTest::addColumn<QString>("outcome");    // "offer", "file" or the server it tried
        const QByteArray server = "[Database]\nServer=host=127.0.0.1 port=1 dbname=office\n";
        QTest::newRow("as installed: each desk its own file")
            << QByteArray() << QByteArray() << "offer";
        QTest::newRow("the office's server") << server << QByteArray() << "127.0.0.1";
        QTest::newRow("the desk's own server wins")
            << server << QByteArray("[Database]\nServer=host=127.0.0.2 port=1\n") << "127.0.0.2";
        QTest::newRow("the desk keeps its own file")
            << server << QByteArray("[Database]\nServer=\n") << "file";
        QTest::newRow("a desk setting without Server")
            << server << QByteArray("[Other]\n") << "127.0.0.1";
    }

    // The office's /etc setting where the installed program finds it, then the desk's.
    void officeSetting() {
        QFETCH(QByteArray, office);
        QFETCH(QByteArray, desk);
        QFETCH(QString, outcome);
        const QString officePath = shell::systemSettingPath(kBin);
        QCOMPARE(officePath,
                 QDir::cleanPath(kBin + QStringLiteral("/../etc/pelmarentry/Pelmar.ini")));
        QFile officeFile(officePath);
        QVERIFY2(officeFile.open(QIODevice::ReadOnly), "the office's setting is installed");
        officeAsInstalled_ = officeFile.readAll();
        officeFile.close();
        if (!office.isEmpty()) {
            QVERIFY(officeFile.open(QIODevice::WriteOnly));
            officeFile.write(office);
            officeFile.close();
        }
        if (!desk.isEmpty()) {
            QVERIFY(QDir().mkpath(desk_));
            writeSetting(desk_, desk);
            if (outcome == QLatin1String("file"))
                QVERIFY(QProcess::execute(kBin + QStringLiteral("/pelmar-newdb"),
                                          {desk_ + QStringLiteral("/Pelmar.mdb")}) == 0);
        }
        ScriptedMessages messages;
        messages.answer({Answer::No});
        QTimer::singleShot(0, [] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (qobject_cast<Pelmar*>(widget))
                    widget->close();
        });
        const int status = pelmar::run(kBin, scriptedMessages(), officePath);
        if (outcome == QLatin1String("file")) {
            QVERIFY2(status == 0 && messages.shown().isEmpty(),
                     qPrintable(messages.texts().join('|')));
            return;
        }
        QCOMPARE(status, 1);
        const QString first = messages.shown().first().text;
        if (outcome == QLatin1String("offer")) {
            QVERIFY2(first.contains("Create a new database"), qPrintable(first));
            return;
        }
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(first.contains(QStringLiteral("server ") + outcome), qPrintable(first));
    }

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
            QCOMPARE(pelmar::run(kBin, scriptedMessages()), 1);
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
            const QString path = shell::Desk::startUp(kBin, scriptedMessages())->dbPath();
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
            const QList<db::StoredListing> data = session.app().store().newest(1);
            QCOMPARE(data.size(), 1);
            QCOMPARE(data.first().values.value(0), QStringLiteral("NSW"));
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
    QByteArray officeAsInstalled_;
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
