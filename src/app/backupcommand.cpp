#include "backupcommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>

#include "db/backup.h"
#include "db/dberror.h"
#include "shell/messages.h"

namespace pelmar {

namespace {

// Pages copied in one step: about a megabyte, a few milliseconds, so that the window
// answers between the steps and other desks' writes go through.
constexpr int kPagesPerStep = 256;

const char* const kServerBackup =
    "This desk works on a PostgreSQL server, which PelmarEntry does not copy itself: "
    "the server's administrator backs the database up there, while the desks go on "
    "working, with\n\n"
    "pg_dump -Fc -f pelmar-$(date +%F).dump \"dbname=pelmar\"\n\n"
    "(the README of PelmarEntry shows how to restore it). Nothing was copied.";

// False when the operator cancelled; the copy is then removed.
bool copyInSteps(QWidget* parent, db::FileBackup& backup) {
    QProgressDialog progress(QStringLiteral("Backing up the database…"), QStringLiteral("Cancel"),
                             0, 1000, parent);
    progress.setWindowTitle(QStringLiteral("PelmarEntry"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setAutoReset(false);
    progress.setValue(0);
    while (!backup.step(kPagesPerStep)) {
        const int pages = backup.pageCount();
        if (pages > 0)
            progress.setValue(int(1000LL * (pages - backup.remaining()) / pages));
        // Until the box shows, the operator's clicks wait: no other action may start
        // in the middle of a backup.
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        if (progress.wasCanceled())
            return false;
    }
    return true;
}

}  // namespace

QString proposedBackup(const QString& deskFolder, const QDate& day) {
    return deskFolder + QStringLiteral("/Pelmar-") + day.toString(Qt::ISODate) +
           QStringLiteral(".mdb");
}

BackupTargetChooser saveDialog(QWidget* parent) {
    return [parent](const QString& proposed) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Back Up Database"), proposed,
                                            QStringLiteral("Databases (*.mdb);;All files (*)"));
    };
}

void backUpDatabase(QWidget* parent, shell::MessageSink& messages, bool onServer,
                    const QString& dbPath, const QString& deskFolder,
                    const BackupTargetChooser& chooseTarget) {
    if (onServer) {
        messages.inform(QString::fromUtf8(kServerBackup), shell::Icon::Information);
        return;
    }
    const QString target = chooseTarget(proposedBackup(deskFolder, QDate::currentDate()));
    if (target.isEmpty())
        return;
    try {
        db::FileBackup backup(dbPath, target);
        if (!copyInSteps(parent, backup)) {
            messages.inform(QStringLiteral("The backup was cancelled; nothing was written to '%1'.")
                                .arg(QDir::toNativeSeparators(target)),
                            shell::Icon::Information);
            return;
        }
        backup.finish();
    } catch (const db::DbError& error) {
        messages.inform(error.text(), shell::Icon::Exclamation);
        return;
    }
    messages.inform(QStringLiteral("The database is backed up to '%1', and the copy was checked: "
                                   "it is whole. Keep a copy away from this computer too. To "
                                   "restore it, close PelmarEntry and copy it over '%2'.")
                        .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(dbPath)),
                    shell::Icon::Information);
}

}  // namespace pelmar
