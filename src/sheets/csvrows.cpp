#include "csvrows.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "xls/xlserror.h"

namespace sheets {

namespace {
// Written out in pieces of about this size.
constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

CsvRows::CsvRows(const QString& path, const QStringList& header, xls::ProgressCallback progress)
    : RowWriter(std::move(progress)), file_(path) {
    buffer_.reserve(kBufferSize + kBufferSize / 4);
    buffer_ += kByteOrderMark;
    std::vector<std::string> names;
    for (const QString& name : header)
        names.push_back(name.toStdString());
    std::vector<std::optional<std::string_view>> row(names.begin(), names.end());
    writeRow(row);
}

void CsvRows::writeRow(std::span<const std::optional<std::string_view>> values) {
    for (std::size_t column = 0; column < values.size(); ++column) {
        if (column > 0)
            buffer_.push_back(',');
        if (values[column])
            field(*values[column]);
    }
    buffer_ += "\r\n";
    if (buffer_.size() >= kBufferSize)
        flush();
}

void CsvRows::field(std::string_view value) {
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        buffer_ += value;
        return;
    }
    buffer_.push_back('"');
    for (std::size_t at = 0;;) {
        const std::size_t quote = value.find('"', at);
        buffer_ += value.substr(at, quote - at);
        if (quote == std::string_view::npos)
            break;
        buffer_ += "\"\"";
        at = quote + 1;
    }
    buffer_.push_back('"');
}

void CsvRows::flush() {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_.stream()) != buffer_.size())
        file_.failWith(xls::systemError(errno));
    buffer_.clear();
    file_.settleWritten();
}

void CsvRows::commit() {
    flush();
    file_.commit();
}

}  // namespace sheets
