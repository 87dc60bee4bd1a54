#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace xls {

// The most characters (UTF-16 units) an Excel 97 cell holds.
constexpr std::size_t kMaxCellText = 32767;

// A text longer than a cell holds, cut to the limit without splitting a surrogate
// pair; nothing when it fits as it is.
std::optional<std::string> cutToCell(std::string_view utf8);

}  // namespace xls
