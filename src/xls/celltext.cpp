#include "celltext.h"

#include "base/utf8text.h"

namespace xls {

std::optional<std::string> cutToCell(std::string_view utf8) {
    // UTF-8 takes at least one byte per UTF-16 unit: a short text needs no decoding.
    if (utf8.size() <= kMaxCellText)
        return std::nullopt;
    const QString text = base::fromStoredUtf8(utf8);
    if (std::size_t(text.size()) <= kMaxCellText)
        return std::nullopt;
    qsizetype keep = kMaxCellText;
    if (text[keep - 1].isHighSurrogate())
        --keep;
    return text.left(keep).toStdString();
}

}  // namespace xls
