#include "exportshown.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

#include "db/dberror.h"
#include "export/exportcommand.h"
#include "export/exportprogress.h"
#include "export/listingrows.h"
#include "exporttarget.h"
#include "listingsmodel.h"
#include "shell/messages.h"
#include "xls/xlserror.h"

namespace listings {

namespace {

const QString kCancelled = QStringLiteral("Export cancelled; nothing was written.");

QString failedMessage(const QString& path, const base::Failure& failure, bool reading) {
    const QString name = QDir::toNativeSeparators(path);
    const QString kept = QFileInfo::exists(path)
                             ? QStringLiteral("The file that was there before is kept as it was.")
                             : QStringLiteral("No file was written.");
    const QString next = reading ? QStringLiteral(
                                       "The listings could not be read from the database; export "
                                       "again once it answers.")
                                 : QStringLiteral(
                                       "Choose a folder you may write to, on a disk with room to "
                                       "spare, or another name, and export again.");
    return QStringLiteral("The listings could not be exported to '%1': %2\n%3 %4")
        .arg(name, failure.text(), kept, next);
}

// Reads the rest of the search's identities into the table, a part at a time.
void readAll(ListingsModel& model, exporter::ExportProgress& progress) {
    while (model.readMore())
        xls::report(progress.callback(), {std::uint64_t(model.rowCount()), 0});
}

}  // namespace

QString exportShown(QWidget* window, shell::MessageSink& messages, ListingsModel& model,
                    ExportTarget& target) {
    if (model.finding()) {
        messages.inform(QStringLiteral("The listings are still being found; export them once "
                                       "the table shows them. Nothing was written."),
                        shell::Icon::Information);
        return {};
    }
    if (model.rowCount() == 0) {
        messages.inform(model.search().isEmpty()
                            ? QStringLiteral("There are no listings to export yet; no file was "
                                             "written.")
                            : QStringLiteral("No listing matches the search, so there is nothing "
                                             "to export; no file was written. Change or clear "
                                             "the search to export other listings."),
                        shell::Icon::Information);
        return {};
    }
    const std::optional<ExportFile> file = target.choose(window);
    if (!file)
        return {};
    const QString name = QFileInfo(file->path).fileName();
    exporter::ExportSummary summary;
    try {
        exporter::ExportProgress progress(window->window(), name);
        readAll(model, progress);
        summary = exporter::exportListings(model.store(), model.identities(), file->path,
                                           file->format, progress.callback());
    } catch (const xls::Cancelled&) {
        return kCancelled;
    } catch (const db::Cancelled&) {
        // The operator gave up waiting for the server.
        return kCancelled;
    } catch (const base::Failure& failure) {
        const bool reading = dynamic_cast<const db::DbError*>(&failure) != nullptr;
        messages.inform(failedMessage(file->path, failure, reading), shell::Icon::Exclamation);
        return QStringLiteral("Export failed.");
    }
    if (summary.cutCells > 0)
        messages.inform(exporter::cutCellsMessage(summary.cutCells, name),
                        shell::Icon::Information);
    return QStringLiteral("%1 exported to %2.")
        .arg(summary.rows == 1
                 ? QStringLiteral("1 listing")
                 : QStringLiteral("%1 listings").arg(QLocale().toString(qulonglong(summary.rows))),
             name);
}

}  // namespace listings
