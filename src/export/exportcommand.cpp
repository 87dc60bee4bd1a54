#include "exportcommand.h"

#include "exportprogress.h"

#include "db/tablereader.h"
#include "shell/desk.h"
#include "shell/messages.h"
#include "tableexport.h"

namespace exporter {

QString cutCellsMessage(std::uint64_t cells, const QString& fileName) {
    const QString count =
        cells == 1 ? QStringLiteral("1 cell was") : QStringLiteral("%1 cells were").arg(cells);
    return QStringLiteral(
               "The export is complete, but %1 longer than a spreadsheet cell can hold "
               "(32,767 characters). In %2 they are cut to that length; the database "
               "keeps the whole text.")
        .arg(count, fileName);
}

void runExport(QWidget* frame, shell::Desk& desk) {
    ExportSummary summary;
    try {
        ExportProgress progress(frame);
        // A reader of the export's own on the desk's database: on a file a connection
        // of its own, on a server one COPY on a session of its own, which sees one
        // snapshot of Data while the windows go on with theirs.
        summary = exportTable(desk.store().exportReader(),
                              desk.folder() + QStringLiteral("/Data.xls"), progress.callback());
    } catch (const xls::Cancelled&) {
        // The operator's own choice: the previous workbook is as it was, nothing to say.
        return;
    }
    if (summary.cutCells > 0)
        desk.messages().inform(cutCellsMessage(summary.cutCells), shell::Icon::Information);
}

}  // namespace exporter
