#pragma once

#include <string>
#include <string_view>

namespace sheets {

// The most a cell of an .xlsx workbook holds: 32,767 characters (UTF-16 units, as
// Excel counts them), and libxlsxwriter takes at most as many characters of the
// written form.
constexpr std::size_t kMaxCellText = 32767;

// The text of one .xlsx cell in the form its XML carries (ST_Xstring of Office Open
// XML), written into `out`:
// - bytes that are not UTF-8 (a lone surrogate among them) become U+FFFD, one for
//   each maximal invalid part, as every decoder that follows Unicode's advice shows
//   them;
// - the characters XML cannot carry, the control characters other than tab, CR and
//   LF and the non-characters U+FFFE and U+FFFF, become Excel's escape _xHHHH_;
//   libxlsxwriter escapes CR in the same way, which XML would read as LF;
// - a text that reads as such an escape keeps its underscore as _x005F_, so that
//   Excel shows "_x0041_" as it stands and not as "A";
// - a text longer than a cell is cut after the last whole character that fits, in
//   its own length and in the written one.
// Returns whether the text was cut.
bool writtenCellText(std::string_view utf8, std::string& out);

}  // namespace sheets
