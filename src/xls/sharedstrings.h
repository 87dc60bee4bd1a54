#pragma once

#include <cstdint>

namespace xls {

class BiffWriter;
class StringTable;

// The EXTSST index: every `perBucket`-th string's place, `buckets` entries in all.
// The format asks for max(unique / 128 + 1, 8) strings per bucket in a 16-bit field;
// past 8,388,479 strings that count no longer fits, and the field holds 65,535
// instead, with as many buckets as that takes, so that every entry still points at
// the string it names. One record holds 1,027 entries: more strings than those
// cover throw xls::Error.
struct ExtSstPlan {
    static constexpr std::uint32_t kMaxBuckets = (8224 - 2) / 8;
    std::uint16_t perBucket;
    std::uint32_t buckets;
};
ExtSstPlan extSstPlan(std::uint32_t unique);

// Writes the SST record, with as many CONTINUE records as the strings need, and the
// EXTSST index after it. Each string is stored in one byte per character when it
// fits Latin-1, else in UTF-16.
void writeSharedStrings(const StringTable& strings, BiffWriter& writer);

}  // namespace xls
