#pragma once

namespace xls {

class BiffWriter;
class StringTable;

// Writes the SST record, with as many CONTINUE records as the strings need, and the
// EXTSST index after it. Each string is stored in one byte per character when it
// fits Latin-1, else in UTF-16.
void writeSharedStrings(const StringTable& strings, BiffWriter& writer);

}  // namespace xls
