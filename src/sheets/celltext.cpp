#include "celltext.h"

#include <cstdint>
#include <optional>

namespace sheets {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
// The length of an escape _xHHHH_.
constexpr std::size_t kEscapeLength = 7;

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool startsEscape(std::string_view text, std::size_t at) {
    if (at + kEscapeLength > text.size() || text[at + 1] != 'x' || text[at + 6] != '_')
        return false;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        if (!isHex(text[i]))
            return false;
    }
    return true;
}

bool needsEscape(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF;
}

// The next character of `text` at `at`, and how many bytes it takes; for bytes that
// are not UTF-8, nothing, and the length of the longest start of a valid sequence.
std::optional<char32_t> decodeAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
    const std::uint8_t lead = byte(at);
    length = 1;
    if (lead < 0x80)
        return lead;
    std::size_t need = 0;
    char32_t c = 0;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        c = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        c = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return std::nullopt;
    }
    for (std::size_t i = 1; i <= need; ++i) {
        if (at + i >= text.size())
            return std::nullopt;
        const std::uint8_t next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return std::nullopt;
        c = (c << 6) | (next & 0x3F);
        length = i + 1;
    }
    return c;
}

void appendEscape(std::string& out, char32_t c) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kDigits[(c >> shift) & 0xF]);
    out.push_back('_');
}

}  // namespace

bool writtenCellText(std::string_view utf8, std::string& out) {
    out.clear();
    std::size_t units = 0;    // UTF-16 units of the text
    std::size_t written = 0;  // characters of the written form
    std::size_t at = 0;
    while (at < utf8.size()) {
        std::size_t length = 1;
        const std::optional<char32_t> decoded = decodeAt(utf8, at, length);
        const char32_t c = decoded.value_or(kReplacement);
        const bool escaped = needsEscape(c) || (c == '_' && startsEscape(utf8, at));
        const std::size_t unitsOf = c > 0xFFFF ? 2 : 1;
        const std::size_t writtenOf = escaped ? kEscapeLength : 1;
        if (units + unitsOf > kMaxCellText || written + writtenOf > kMaxCellText)
            return true;
        units += unitsOf;
        written += writtenOf;
        if (escaped)
            appendEscape(out, c);
        else if (decoded)
            out.append(utf8.substr(at, length));
        else
            out += kReplacementUtf8;
        at += length;
    }
    return false;
}

}  // namespace sheets
