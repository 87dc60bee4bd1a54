// Shared by the export tests: the independent readers, run on a workbook.
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs tests/export_check.py (xlrd, and ssconvert when asked) on a workbook against
// its expected content ("--db PATH" or "--expect JSON"). Gives the readers' report
// when something differs, or nothing.
QString workbookProblems(const QString& workbook, const QStringList& expected, bool ssconvert) {
    QStringList arguments = {QStringLiteral(PELMAR_TESTS_DIR "/export_check.py"), workbook};
    arguments += expected;
    if (ssconvert)
        arguments.append(QStringLiteral("--ssconvert"));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!check.waitForFinished(-1))
        return QStringLiteral("the checker did not run: ") + check.errorString();
    const QString output = QString::fromUtf8(check.readAll());
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0)
        return output.isEmpty() ? QStringLiteral("the checker failed") : output;
    return {};
}
