// The "Export" command end to end: real database files in temporary folders, the
// workbook read back by xlrd and ssconvert (tests/export_check.py).
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "db/schema.h"
#include "db/sqlitedb.h"
#include "db/store.h"
#include "export/exportcommand.h"
#include "export/exportprogress.h"
#include "export/tableexport.h"
#include "shell/desk.h"
#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"
#include "xls/xlserror.h"

QString workbookProblems(const QString& workbook, const QStringList& expected, bool ssconvert);

namespace {

constexpr int kColumns = 76;

// One row of Data; a null QString is stored as NULL.
void insertRow(const TestFolder& folder, const QStringList& values) {
    QStringList literals;
    for (int i = 0; i < kColumns; ++i) {
        const QString value = values.value(i, QStringLiteral("x"));
        literals.append(value.isNull() ? QStringLiteral("NULL")
                                       : QLatin1Char('\'') + QString(value).replace("'", "''") +
                                             QLatin1Char('\''));
    }
    folder.exec(
        QStringLiteral("INSERT INTO Data VALUES (%1)").arg(literals.join(QLatin1Char(','))));
}

// Many rows at once: row i holds the SQL expressions given for the first columns
// (with i as the row number) and NULL in the others.
void insertGenerated(const TestFolder& folder, int rows, const QStringList& expressions) {
    QStringList columns = expressions;
    while (columns.size() < kColumns)
        columns.append(QStringLiteral("NULL"));
    folder.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO Data SELECT %2 FROM n")
                    .arg(rows)
                    .arg(columns.join(QLatin1Char(','))));
}

QString workbookOf(const TestFolder& folder) {
    return folder.file(QStringLiteral("Data.xls"));
}

QStringList filesIn(const TestFolder& folder) {
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void verifyWorkbook(const TestFolder& folder, bool ssconvert = true) {
    const QString problems =
        workbookProblems(workbookOf(folder), {QStringLiteral("--db"), folder.dbPath()}, ssconvert);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

// Makes every write past `bytes` fail in this process, as a full disk does, while
// it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// Fills Data with 2,000 long rows (a workbook of over 2 MB), exports them and adds a
// row since; gives the workbook of that export.
QByteArray exportTwoMegabytes(const TestFolder& folder) {
    QStringList columns{QStringLiteral("'r' || i || printf('%.*c', 1000, 'z')")};
    for (int c = 1; c < 11; ++c)
        columns.append(QStringLiteral("'x'"));
    insertGenerated(folder, 2000, columns);
    exporter::exportTable(folder.dbPath(), workbookOf(folder));
    insertRow(folder, {QStringLiteral("a row since")});
    const QByteArray previous = contentOf(workbookOf(folder));
    if (previous.size() < 2'000'000)
        qFatal("the workbook is too small to fail late");
    return previous;
}

}  // namespace

class ExportCommandTest : public QObject {
    Q_OBJECT

private slots:
    void headerOnly();
    void values_data();
    void values();
    void sheetRollover_data();
    void sheetRollover();
    void manyLongStrings();
    void nearSevenMegabytes();
    void repeatable();
    void menuExport();
    void longValuesAreCut();
    void failureKeepsOldWorkbook_data();
    void failureKeepsOldWorkbook();
    void cancelKeepsOldWorkbook_data();
    void cancelKeepsOldWorkbook();
    void exportAfterAWriterDied();
    void linkedWorkbook_data();
    void linkedWorkbook();
};

void ExportCommandTest::headerOnly() {
    TestFolder folder;
    const exporter::ExportSummary summary =
        exporter::exportTable(folder.dbPath(), workbookOf(folder));
    QCOMPARE(summary.rows, 0u);
    QCOMPARE(summary.sheets, 1u);
    verifyWorkbook(folder);
}

void ExportCommandTest::values_data() {
    QTest::addColumn<QStringList>("row");
    QTest::newRow("quotes and commas")
        << QStringList{QStringLiteral("O'BRIEN"), QStringLiteral("say \"hi\""),
                       QStringLiteral("a,b,,c"), QStringLiteral("'"), QStringLiteral("\"")};
    QTest::newRow("line breaks") << QStringList{QStringLiteral("one\ntwo"),
                                                QStringLiteral("dos\r\nline"), QStringLiteral("\n"),
                                                QStringLiteral("tab\there")};
    QTest::newRow("latin-1 and beyond") << QStringList{
        QStringLiteral("Café Müller"), QStringLiteral("€ 350,000"),    QStringLiteral("Ünïcödé ÿ"),
        QStringLiteral("東京 タワー"), QStringLiteral("house 🏠 pool"), QStringLiteral("ÀÿĀ")};
    QTest::newRow("flags, x and numbers stay text") << QStringList{
        QStringLiteral("1"),           QStringLiteral("0"),    QStringLiteral("x"),
        QStringLiteral("12/03/98"),    QStringLiteral("007"),  QStringLiteral("1e5"),
        QStringLiteral("=SUM(A1:A2)"), QStringLiteral("TRUE"), QStringLiteral("-0.50")};
    // Every reader would lose a leading U+FEFF, taken for a byte-order mark.
    QTest::newRow("a mark first") << QStringList{
        QStringLiteral("\uFEFFBOM first"), QStringLiteral("\uFEFF"),
        QStringLiteral("\uFEFF\uFEFFtwo"), QStringLiteral("end\uFEFF"), QStringLiteral("é\uFEFF")};
    QTest::newRow("blanks and nothing")
        << QStringList{QString(), QStringLiteral(""), QStringLiteral("  padded  "),
                       QStringLiteral(" "), QString()};
}

void ExportCommandTest::values() {
    QFETCH(QStringList, row);
    TestFolder folder;
    insertRow(folder, row);
    insertRow(folder, {});  // a second row shares its texts with the first
    insertRow(folder, row);
    QCOMPARE(exporter::exportTable(folder.dbPath(), workbookOf(folder)).rows, 3u);
    verifyWorkbook(folder);
}

void ExportCommandTest::sheetRollover_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("sheets");
    QTest::newRow("one full sheet") << 65535 << 1;
    QTest::newRow("one row more") << 65536 << 2;
}

void ExportCommandTest::sheetRollover() {
    QFETCH(int, rows);
    QFETCH(int, sheets);
    TestFolder folder;
    insertGenerated(
        folder, rows,
        {QStringLiteral("'row ' || i"), QStringLiteral("'x'"), QStringLiteral("i % 2")});
    const exporter::ExportSummary summary =
        exporter::exportTable(folder.dbPath(), workbookOf(folder));
    QCOMPARE(summary.rows, quint64(rows));
    QCOMPARE(summary.sheets, std::size_t(sheets));
    verifyWorkbook(folder);
}

void ExportCommandTest::manyLongStrings() {
    // Long distinct texts fill the shared-string table's records many times over, so
    // strings are split across CONTINUE records, in one-byte and in UTF-16 form.
    TestFolder folder;
    insertGenerated(folder, 200,
                    {QStringLiteral("printf('%.*c', 1000 + i * 37, 'a') || i"),
                     QStringLiteral("printf('%.*c', 700 + i * 11, 'é') || i"),
                     QStringLiteral("replace(printf('%.*c', 500 + i * 13, '~'), '~', '€') || i"),
                     QStringLiteral("'short ' || i")});
    exporter::exportTable(folder.dbPath(), workbookOf(folder));
    verifyWorkbook(folder);
}

void ExportCommandTest::nearSevenMegabytes() {
    // The compound file needs its first extra FAT index sector past about 7.1 MB.
    TestFolder folder;
    QStringList columns;
    for (int c = 0; c < kColumns; ++c)
        columns.append(QStringLiteral("'c%1-' || (i * %2 % 9973)").arg(c).arg(c + 1));
    insertGenerated(folder, 3900, columns);
    exporter::exportTable(folder.dbPath(), workbookOf(folder));
    const qint64 size = QFileInfo(workbookOf(folder)).size();
    QVERIFY2(size > 7'300'000 && size < 8'000'000, qPrintable(QString::number(size)));
    verifyWorkbook(folder, false);
}

void ExportCommandTest::repeatable() {
    TestFolder folder;
    insertRow(folder,
              {QStringLiteral("NSW"), QStringLiteral("Herald"), QStringLiteral("12/03/98")});
    insertRow(folder, {QStringLiteral("VIC"), QStringLiteral("Age"), QStringLiteral("13/03/98")});
    exporter::exportTable(folder.dbPath(), workbookOf(folder));
    const QByteArray first = contentOf(workbookOf(folder));
    exporter::exportTable(folder.dbPath(), workbookOf(folder));
    QCOMPARE(contentOf(workbookOf(folder)), first);
    QCOMPARE(filesIn(folder),
             (QStringList{QStringLiteral("Data.xls"), QStringLiteral("Pelmar.mdb"),
                          QStringLiteral("head1.jpg"), QStringLiteral("head2.jpg")}));
}

void ExportCommandTest::menuExport() {
    TestFolder folder(TestFolder::WithSamples);
    insertRow(folder, {QStringLiteral("QLD"), QStringLiteral("Courier Mail")});
    QFile old(workbookOf(folder));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older workbook, edited elsewhere");
    old.close();
    ScriptedMessages messages;
    AppHarness app(folder.path());
    app.choose(QStringLiteral("nExport"));
    QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join('\n')));
    verifyWorkbook(folder);
    // The windows' own connection goes on after the export's.
    QCOMPARE(app.store().newest(1).size(), 1);
}

void ExportCommandTest::longValuesAreCut() {
    TestFolder folder;
    const QString pair = QStringLiteral("🏠");
    insertRow(folder, {QString(32767, QLatin1Char('a')),         // fits exactly
                       QString(40000, QLatin1Char('b')),         // cut
                       QString(32766, QLatin1Char('c')) + pair,  // the pair would be split
                       QString(20000, QChar(0x00E9)) + QString(20000, QChar(0x4E2D))});
    ScriptedMessages messages;
    AppHarness app(folder.path());
    app.choose(QStringLiteral("nExport"));
    QCOMPARE(messages.texts(), QStringList{exporter::cutCellsMessage(3)});
    QCOMPARE(messages.last().icon, shell::Icon::Information);
    verifyWorkbook(folder, false);
    // The database keeps the whole text.
    QCOMPARE(folder.column(QStringLiteral("SELECT length(UnitNo) FROM Data")),
             QStringList{QStringLiteral("40000")});
}

void ExportCommandTest::failureKeepsOldWorkbook_data() {
    QTest::addColumn<qint64>("fileLimit");
    // What another program does once start-up has opened the database.
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("error");
    // The cells (about 300 KB here) go to a spill file first: a tight limit fails
    // there, a looser one while the workbook (over 2 MB) is written.
    QTest::newRow("spill file fails")
        << qint64(100'000) << "" << QStringLiteral("its temporary file: File too large");
    QTest::newRow("workbook fails")
        << qint64(1'000'000) << "" << QStringLiteral("Data.xls': File too large");
    QTest::newRow("no table") << qint64(0) << "drop" << QStringLiteral("no such table: Data");
    QTest::newRow("database replaced by a copy")
        << qint64(0) << "replace" << QStringLiteral("start it again");
}

void ExportCommandTest::failureKeepsOldWorkbook() {
    QFETCH(qint64, fileLimit);
    QFETCH(QString, change);
    QFETCH(QString, error);
    const bool dropTable = !change.isEmpty();
    TestFolder folder;
    const QByteArray previous = exportTwoMegabytes(folder);
    const QStringList files = filesIn(folder);
    insertRow(folder, {QStringLiteral("a row since")});

    ScriptedMessages messages;
    AppHarness app(folder.path());
    if (change == QLatin1String("drop"))
        folder.exec(QStringLiteral("DROP TABLE Data"));
    if (change == QLatin1String("replace")) {
        const QString copy = folder.file(QStringLiteral("copy.mdb"));
        QVERIFY(QFile::copy(folder.dbPath(), copy));
        QVERIFY(std::rename(QFile::encodeName(copy).constData(),
                            QFile::encodeName(folder.dbPath()).constData()) == 0);
    }
    {
        std::optional<FileSizeLimit> limit;
        if (fileLimit > 0)
            limit.emplace(rlim_t(fileLimit));
        app.choose(QStringLiteral("nExport"));
    }
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.last().icon, shell::Icon::Critical);
    QVERIFY2(messages.last().text.contains(error), qPrintable(messages.last().text));
    QCOMPARE(contentOf(workbookOf(folder)), previous);
    QCOMPARE(filesIn(folder), files);
    // The program goes on: a later export succeeds.
    if (!dropTable) {
        app.choose(QStringLiteral("nExport"));
        QCOMPARE(messages.shown().size(), 1);
        verifyWorkbook(folder, false);
    }
}

void ExportCommandTest::cancelKeepsOldWorkbook_data() {
    QTest::addColumn<bool>("whileWriting");
    QTest::newRow("while the rows are read") << false;
    QTest::newRow("while the workbook is written") << true;
}

void ExportCommandTest::cancelKeepsOldWorkbook() {
    QFETCH(bool, whileWriting);
    TestFolder folder;
    const QByteArray previous = exportTwoMegabytes(folder);
    const QStringList files = filesIn(folder);
    ScriptedMessages messages;
    AppHarness app(folder.path());
    exporter::ExportProgress::setDelay(std::chrono::milliseconds(0));

    // The operator, looking at the bar over the frame, chooses Cancel.
    struct Seen {
        bool modal = false;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        int maximum = -1;
    } seen;
    QTimer operatorAtBar;
    operatorAtBar.setInterval(0);
    connect(&operatorAtBar, &QTimer::timeout, [&] {
        auto* bar = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!bar || !bar->isVisible() || (whileWriting && bar->maximum() == 0))
            return;
        operatorAtBar.stop();
        seen.modal = bar->windowModality() == Qt::ApplicationModal;
        seen.cursor = QApplication::overrideCursor()->shape();
        seen.maximum = bar->maximum();
        QTest::mouseClick(bar->findChild<QPushButton*>(), Qt::LeftButton);
    });
    operatorAtBar.start();
    app.choose(QStringLiteral("nExport"));
    exporter::ExportProgress::setDelay(std::chrono::milliseconds(1000));

    QVERIFY(!operatorAtBar.isActive());
    QVERIFY(seen.modal);
    QCOMPARE(seen.cursor, Qt::WaitCursor);
    QCOMPARE(seen.maximum > 0, whileWriting);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(contentOf(workbookOf(folder)), previous);
    QCOMPARE(filesIn(folder), files);
}

// Another program was killed while it wrote: its journal is left hot, and the first
// reader must roll it back. The export reads what the program's own connection reads.
void ExportCommandTest::exportAfterAWriterDied() {
    TestFolder folder;
    insertGenerated(folder, 2000, {QStringLiteral("'kept ' || i"), QStringLiteral("'row'")});
    const QString stash = folder.file(QStringLiteral("stash"));
    QVERIFY(QDir().mkdir(stash));
    const QStringList names = {QStringLiteral("Pelmar.mdb"), QStringLiteral("Pelmar.mdb-journal")};
    {
        db::SqliteDb writer(folder.dbPath(), 0);
        // A small cache: the changed pages reach the file before the end, as in any
        // large write.
        writer.select(QStringLiteral("PRAGMA cache_size=10"));
        writer.change(QStringLiteral("BEGIN"));
        writer.change(QStringLiteral("UPDATE Data SET ListingState = 'half written'"));
        // The files as the killed program left them.
        for (const QString& name : names)
            QVERIFY(QFile::copy(folder.file(name), stash + QLatin1Char('/') + name));
        writer.change(QStringLiteral("ROLLBACK"));
    }
    for (const QString& name : names) {
        QFile::remove(folder.file(name));
        QVERIFY(QFile::copy(stash + QLatin1Char('/') + name, folder.file(name)));
    }
    QVERIFY(QFile::exists(folder.file(names.last())));
    QCOMPARE(exporter::exportTable(folder.dbPath(), workbookOf(folder)).rows, 2000u);
    verifyWorkbook(folder, false);
    QCOMPARE(folder.column(QStringLiteral("SELECT count(*) FROM Data WHERE ListingState = 'half "
                                          "written'")),
             QStringList{"0"});
}

void ExportCommandTest::linkedWorkbook_data() {
    QTest::addColumn<bool>("targetThere");
    QTest::newRow("a link to a workbook") << true;
    QTest::newRow("a link to nowhere") << false;
}

// Data.xls as a link stays a link: the workbook it points to is replaced, as a
// spreadsheet program's save does. One that points nowhere is refused.
void ExportCommandTest::linkedWorkbook() {
    QFETCH(bool, targetThere);
    TestFolder folder;
    insertRow(folder, {QStringLiteral("linked")});
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("Shared.xls"));
    if (targetThere) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the old workbook");
    }
    QVERIFY(QFile::link(target, workbookOf(folder)));
    if (targetThere) {
        exporter::exportTable(folder.dbPath(), workbookOf(folder));
        verifyWorkbook(folder, false);
        QVERIFY(contentOf(target).startsWith("\xD0\xCF\x11\xE0"));
    } else {
        try {
            exporter::exportTable(folder.dbPath(), workbookOf(folder));
            QFAIL("an export through a link to nowhere");
        } catch (const xls::Error& error) {
            QVERIFY2(error.text().contains(QStringLiteral("does not exist")),
                     qPrintable(error.text()));
        }
        QVERIFY(!QFile::exists(target));
    }
    QCOMPARE(QFileInfo(workbookOf(folder)).symLinkTarget(), target);
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden).size(),
             targetThere ? 1 : 0);
}

QTEST_MAIN(ExportCommandTest)
#include "export_command.moc"
