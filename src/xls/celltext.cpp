#include "celltext.h"

namespace xls {

QString fromStoredUtf8(std::string_view utf8) {
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    const bool marked = utf8.substr(0, kMark.size()) == kMark;
    const std::string_view rest = marked ? utf8.substr(kMark.size()) : utf8;
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
    return marked ? QChar(0xFEFF) + text : text;
}

std::optional<std::string> cutToCell(std::string_view utf8) {
    // UTF-8 takes at least one byte per UTF-16 unit: a short text needs no decoding.
    if (utf8.size() <= kMaxCellText)
        return std::nullopt;
    const QString text = fromStoredUtf8(utf8);
    if (std::size_t(text.size()) <= kMaxCellText)
        return std::nullopt;
    qsizetype keep = kMaxCellText;
    if (text[keep - 1].isHighSurrogate())
        --keep;
    return text.left(keep).toStdString();
}

}  // namespace xls
