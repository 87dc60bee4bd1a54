#pragma once

namespace exporter {

// The "Export" command: writes every listing to the workbook next to the program.
// Throws on failure.
void runExport();

}  // namespace exporter
