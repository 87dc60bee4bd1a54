#pragma once

#include <QStringList>
#include <string>

#include "rowwriter.h"
#include "xls/replacingfile.h"

namespace sheets {

// A CSV file as RFC 4180 has it: UTF-8 after a byte-order mark (which tells Excel the
// encoding), CRLF after every record, the header record first, and a field quoted
// when it holds a comma, a quote, CR or LF, its quotes doubled. Values are written
// byte for byte as given, whatever their length.
class CsvRows final : public RowWriter {
public:
    CsvRows(const QString& path, const QStringList& header, xls::ProgressCallback progress = {});

    void commit() override;
    std::size_t sheetCount() const override { return 1; }
    std::uint64_t cutCells() const override { return 0; }

private:
    void writeRow(std::span<const std::optional<std::string_view>> values) override;
    void field(std::string_view value);
    void flush();

    xls::ReplacingFile file_;
    std::string buffer_;
};

}  // namespace sheets
