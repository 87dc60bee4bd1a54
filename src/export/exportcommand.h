#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace shell {
class Desk;
}

namespace exporter {

// The "Export" command: writes every listing to the workbook next to the program,
// with a progress bar over the frame when it takes long. Throws on failure; a
// cancelled export returns quietly and leaves the previous workbook.
void runExport(QWidget* frame, shell::Desk& desk);

// What the operator is told when some texts did not fit the cells of the file named.
QString cutCellsMessage(std::uint64_t cells, const QString& fileName = QStringLiteral("Data.xls"));

}  // namespace exporter
