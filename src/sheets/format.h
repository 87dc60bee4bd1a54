#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "rowwriter.h"

namespace sheets {

enum class Format { Xlsx, Xls, Csv };

// The format a file name asks for by its extension, in any letter case: ".xls" and
// ".csv", and .xlsx for every other name.
Format formatFor(const QString& path);

// A writer of a new file at `path` in the format of its name (or the one given), with
// the header row written.
std::unique_ptr<RowWriter> openRowWriter(Format format, const QString& path,
                                         const QStringList& header,
                                         xls::ProgressCallback progress = {});
std::unique_ptr<RowWriter> openRowWriter(const QString& path, const QStringList& header,
                                         xls::ProgressCallback progress = {});

}  // namespace sheets
