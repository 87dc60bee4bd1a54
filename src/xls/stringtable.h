#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace xls {

// The workbook's shared strings: every distinct cell text once, numbered in the
// order of first use, and how many cells refer to them. Texts are kept as the
// UTF-8 bytes they arrive in, each after its length, back to back in large blocks;
// a text's place is 4 bytes and its slot in the hash table 4 to 8, so a sheet of
// distinct short texts takes little more than the texts themselves.
class StringTable {
public:
    // The longest text kept; a cell's text is far shorter.
    static constexpr std::size_t kMaxText = 1 << 20;
    // The most texts kept, as many as a slot numbers: more than a workbook indexes.
    static constexpr std::uint32_t kMaxTexts = (1u << 27) - 2;

    StringTable();
    ~StringTable();
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

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
    class Pages;

    std::uint32_t add(std::string_view text, std::uint64_t hash);
    const char* entryOf(std::uint32_t index) const;
    void keep(std::string_view text);
    void grow();

    // The texts, each after its length, in blocks that never move; where the texts end
    // in every block but the last, and in the last.
    std::vector<Pages> blocks_;
    std::vector<std::size_t> blockEnds_;
    std::size_t blockUsed_;
    // The next block, made ready on a thread of its own once the last is half full.
    std::future<std::unique_ptr<Pages>> nextBlock_;
    // Where each text lies: per page of places, the offset of its first text in the
    // blocks taken together, and every text's offset from there.
    std::vector<std::uint64_t> pageStarts_;
    std::vector<std::unique_ptr<std::uint32_t[]>> places_;
    std::uint32_t size_ = 0;
    // Open addressing: each slot holds index + 1 and a few bits of the hash; 0 is free.
    std::unique_ptr<Pages> slots_;
    std::size_t slotCount_;
    std::uint64_t references_ = 0;
    std::uint64_t textBytes_ = 0;
};

}  // namespace xls
