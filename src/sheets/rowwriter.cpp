#include "rowwriter.h"

namespace sheets {

namespace {
// Rows between two reports of progress.
constexpr std::uint64_t kReportEvery = 256;
}  // namespace

void RowWriter::addRow(std::span<const std::optional<std::string_view>> values) {
    if (rows_ % kReportEvery == 0)
        xls::report(progress_, {rows_, 0});
    writeRow(values);
    ++rows_;
}

}  // namespace sheets
