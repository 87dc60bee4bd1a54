#pragma once

#include <QString>
#include <cstdint>

namespace exporter {

// The "Export" command: writes every listing to the workbook next to the program.
// Throws on failure.
void runExport();

// What the operator is told when some texts did not fit their cells.
QString cutCellsMessage(std::uint64_t cells);

}  // namespace exporter
