#include "sharedstrings.h"

#include <QString>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/utf8text.h"
#include "biffrecords.h"
#include "biffwriter.h"
#include "celltext.h"
#include "littleendian.h"
#include "stringtable.h"
#include "xlserror.h"

namespace xls {

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// A string's characters as stored: one or two bytes per character.
struct StoredText {
    std::string_view bytes;
    std::size_t unit = 1;
    std::size_t length() const { return bytes.size() / unit; }
};

StoredText storedForm(std::string_view utf8, std::string& scratch) {
    if (isAscii(utf8))
        return {utf8, 1};
    const QString text = base::fromStoredUtf8(utf8);
    const bool latin1 =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    scratch.clear();
    if (latin1) {
        for (const QChar c : text)
            scratch.push_back(char(c.unicode()));
        return {scratch, 1};
    }
    scratch.resize(std::size_t(text.size()) * 2);
    for (qsizetype i = 0; i < text.size(); ++i)
        putU16(&scratch[std::size_t(i) * 2], text[i].unicode());
    return {scratch, 2};
}

struct Bucket {
    std::uint64_t streamOffset;
    std::uint16_t recordOffset;
};

bool isHighSurrogate(std::string_view utf16, std::size_t byte) {
    const unsigned unit = std::uint8_t(utf16[byte]) | std::uint8_t(utf16[byte + 1]) << 8;
    return unit >= 0xD800 && unit <= 0xDBFF;
}

std::size_t firstCharacterBytes(const StoredText& text) {
    if (text.bytes.empty())
        return 0;
    if (text.unit == 2 && text.bytes.size() >= 4 && isHighSurrogate(text.bytes, 0))
        return 4;
    return text.unit;
}

// How much of `rest` fits in `room` bytes, in whole characters: readers decode each
// record's piece on its own, so neither a UTF-16 unit nor a surrogate pair is split.
std::size_t wholeCharacters(const StoredText& text, std::string_view rest, std::size_t room) {
    if (rest.size() <= room)
        return rest.size();
    std::size_t part = room / text.unit * text.unit;
    if (text.unit == 2 && part >= 2 && isHighSurrogate(rest, part - 2))
        part -= 2;
    return part;
}

class SstLayout {
public:
    explicit SstLayout(BiffWriter& writer) : writer_(writer), records_(writer.records()) {}

    // Returns where the string starts: the stream offset and the offset in its record.
    Bucket place(const StoredText& text) {
        // A string's header never ends a record: it stays with its first character,
        // both halves of it when that is a surrogate pair.
        if (room() < kStringHeader + firstCharacterBytes(text))
            next();
        const Bucket start{writer_.position(),
                           std::uint16_t(records_.recordSize() + RecordBuffer::kHeader)};
        const std::uint8_t flags = text.unit == 2 ? 0x01 : 0x00;
        records_.u16(std::uint16_t(text.length()));
        records_.u8(flags);
        std::string_view rest = text.bytes;
        for (;;) {
            const std::size_t part = wholeCharacters(text, rest, room());
            records_.bytes(rest.substr(0, part));
            rest.remove_prefix(part);
            if (rest.empty())
                break;
            // The characters go on in a CONTINUE record, which repeats the flags first.
            next();
            records_.u8(flags);
        }
        return start;
    }

private:
    static constexpr std::size_t kStringHeader = 3;
    std::size_t room() const { return RecordBuffer::kMaxData - records_.recordSize(); }
    void next() {
        writer_.end();
        records_.begin(record::kContinue);
    }

    BiffWriter& writer_;
    RecordBuffer& records_;
};

}  // namespace

ExtSstPlan extSstPlan(std::uint32_t unique) {
    // The count that the format asks for, as far as its 16-bit field holds it.
    const std::uint32_t wanted = std::max<std::uint32_t>(unique / 128 + 1, 8);
    const auto perBucket = std::uint16_t(std::min<std::uint32_t>(wanted, 0xFFFF));
    const std::uint32_t buckets = (unique + perBucket - 1) / perBucket;
    if (buckets > ExtSstPlan::kMaxBuckets)
        throw xls::Error(
            QStringLiteral("The table holds %1 different texts; an Excel 97 workbook can index "
                           "at most %2.")
                .arg(unique)
                .arg(std::uint64_t(ExtSstPlan::kMaxBuckets) * 0xFFFF));
    return {perBucket, buckets};
}

void writeSharedStrings(const StringTable& strings, BiffWriter& writer) {
    const std::uint32_t unique = strings.size();
    const ExtSstPlan plan = extSstPlan(unique);
    std::vector<Bucket> buckets;
    buckets.reserve(plan.buckets);
    RecordBuffer& records = writer.records();
    records.begin(record::kSst);
    records.u32(std::uint32_t(strings.references()));
    records.u32(unique);
    SstLayout layout(writer);
    std::string scratch;
    for (std::uint32_t index = 0; index < unique; ++index) {
        const StoredText text = storedForm(strings.at(index), scratch);
        if (text.length() > 0xFFFF)
            throw std::logic_error("a shared string exceeds 65,535 characters");
        const Bucket start = layout.place(text);
        if (index % plan.perBucket == 0)
            buckets.push_back(start);
    }
    writer.end();

    records.begin(record::kExtSst);
    records.u16(plan.perBucket);
    for (const Bucket& bucket : buckets) {
        records.u32(std::uint32_t(bucket.streamOffset));
        records.u16(bucket.recordOffset);
        records.u16(0);
    }
    writer.end();
}

}  // namespace xls
