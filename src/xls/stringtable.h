#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace xls {

// The workbook's shared strings: every distinct cell text once, numbered in the
// order of first use, and how many cells refer to them. Texts are kept as the
// UTF-8 bytes they arrive in, packed into large blocks; a sheet of distinct short
// texts takes a few tens of bytes per text in all.
class StringTable {
public:
    // The longest text kept; a cell's text is far shorter.
    static constexpr std::size_t kMaxText = 1 << 20;

    StringTable();

    // The index of the text, which is added when it is new; counts one reference.
    std::uint32_t add(std::string_view text);
    // The same for a row of texts at once: indexes[i] for texts[i].
    void add(std::span<const std::string_view> texts, std::uint32_t* indexes);

    std::uint32_t size() const { return size_; }
    std::uint64_t references() const { return references_; }
    // The bytes of all distinct texts together.
    std::uint64_t textBytes() const { return textBytes_; }
    std::string_view at(std::uint32_t index) const;

private:
    std::uint32_t add(std::string_view text, std::uint64_t hash);
    std::uint64_t& placeOf(std::uint32_t index) const;
    void keep(std::string_view text);
    void grow();

    // The texts, back to back in blocks of kMaxText bytes.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = kMaxText;
    // Where each text lies, offset and length in one word, in pages that never move.
    std::vector<std::unique_ptr<std::uint64_t[]>> places_;
    std::uint32_t size_ = 0;
    // Open addressing: each slot holds the hash's upper half and index + 1; 0 is free.
    std::vector<std::uint64_t> slots_;
    std::uint64_t references_ = 0;
    std::uint64_t textBytes_ = 0;
};

}  // namespace xls
