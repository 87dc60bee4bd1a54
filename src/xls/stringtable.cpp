#include "stringtable.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

namespace xls {

namespace {

constexpr std::size_t kFirstSlots = 1 << 12;
constexpr std::size_t kBlockBytes = std::size_t(8) << 20;
// A page's texts span at most 2,048 times the longest text and its length: their
// offsets from the page's first text fit 32 bits.
constexpr std::size_t kPlacesPerPage = 1 << 11;
static_assert(kPlacesPerPage * (StringTable::kMaxText + 4) < (std::uint64_t(1) << 32));

// A slot: index + 1 in its lower bits, the top bits of the text's hash above them,
// which spare most comparisons of texts whose hashes only share the slot.
constexpr int kIndexBits = 27;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
static_assert(StringTable::kMaxTexts < kIndexMask);

std::uint32_t tagOf(std::uint64_t hash) {
    return std::uint32_t(hash >> (64 - (32 - kIndexBits))) << kIndexBits;
}
std::uint32_t indexOfSlot(std::uint32_t slot) {
    return (slot & kIndexMask) - 1;
}

std::uint64_t hashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

// A text's length before its bytes: seven bits a byte, the lowest first.
std::size_t putLength(char* at, std::size_t length) {
    std::size_t bytes = 0;
    while (length >= 0x80) {
        at[bytes++] = char((length & 0x7F) | 0x80);
        length >>= 7;
    }
    at[bytes++] = char(length);
    return bytes;
}

std::string_view textAt(const char* entry) {
    std::size_t length = 0;
    int shift = 0;
    for (;; shift += 7) {
        const auto byte = std::uint8_t(*entry++);
        length |= std::size_t(byte & 0x7F) << shift;
        if (byte < 0x80)
            break;
    }
    return {entry, length};
}

}  // namespace

// Zeroed memory straight from the system, in huge pages where it grants them: the
// table's large parts are touched at random, and every small page would cost a
// fault and a miss of the address cache.
class StringTable::Pages {
public:
    explicit Pages(std::size_t bytes) : bytes_(bytes) {
        data_ = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data_ == MAP_FAILED)
            throw std::bad_alloc();
        madvise(data_, bytes, MADV_HUGEPAGE);
    }
    // The same with every page already in place: the system's zeroing of them is
    // done on the calling thread rather than at first touch. A system that cannot
    // (before Linux 5.14) zeroes them at first touch, as for any other pages.
    static std::unique_ptr<Pages> touched(std::size_t bytes) {
        auto pages = std::make_unique<Pages>(bytes);
        madvise(pages->data_, bytes, MADV_POPULATE_WRITE);
        return pages;
    }
    ~Pages() {
        if (data_)
            munmap(data_, bytes_);
    }
    Pages(Pages&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), bytes_(other.bytes_) {}
    Pages& operator=(Pages&&) = delete;

    template <class T>
    T* as() const {
        return static_cast<T*>(data_);
    }

private:
    void* data_;
    std::size_t bytes_;
};

StringTable::StringTable()
    : blockUsed_(kBlockBytes),
      slots_(std::make_unique<Pages>(kFirstSlots * sizeof(std::uint32_t))),
      slotCount_(kFirstSlots) {}

StringTable::~StringTable() = default;

std::uint32_t StringTable::add(std::string_view text) {
    return add(text, hashOf(text));
}

void StringTable::add(std::span<const std::string_view> texts, std::uint32_t* indexes) {
    // The table outgrows the caches: a lookup one at a time waits for memory three
    // times, for its slot, the text's place and the text it compares. A row's
    // lookups are started together instead, so that those waits overlap.
    constexpr std::size_t kMaxRow = 256;
    std::uint64_t hashes[kMaxRow];
    const std::size_t count = std::min(texts.size(), kMaxRow);
    const std::uint32_t* slots = slots_->as<std::uint32_t>();
    const std::size_t mask = slotCount_ - 1;
    const auto known = [&](std::size_t i) {
        const std::uint32_t slot = slots[hashes[i] & mask];
        return slot != 0 && (slot & ~kIndexMask) == tagOf(hashes[i]) ? indexOfSlot(slot)
                                                                     : kMaxTexts;
    };
    for (std::size_t i = 0; i < count; ++i) {
        hashes[i] = hashOf(texts[i]);
        __builtin_prefetch(&slots[hashes[i] & mask]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::uint32_t index = known(i); index != kMaxTexts)
            __builtin_prefetch(&places_[index / kPlacesPerPage][index % kPlacesPerPage]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::uint32_t index = known(i); index != kMaxTexts)
            __builtin_prefetch(entryOf(index));
    }
    for (std::size_t i = 0; i < count; ++i)
        indexes[i] = add(texts[i], hashes[i]);
    for (std::size_t i = count; i < texts.size(); ++i)
        indexes[i] = add(texts[i]);
}

std::uint32_t StringTable::add(std::string_view text, std::uint64_t hash) {
    ++references_;
    const std::uint32_t tag = tagOf(hash);
    std::uint32_t* slots = slots_->as<std::uint32_t>();
    const std::size_t mask = slotCount_ - 1;
    std::size_t at = hash & mask;
    for (; slots[at] != 0; at = (at + 1) & mask) {
        const std::uint32_t slot = slots[at];
        if ((slot & ~kIndexMask) != tag)
            continue;
        const std::uint32_t index = indexOfSlot(slot);
        if (this->at(index) == text)
            return index;
    }
    if (size_ == kMaxTexts)
        throw std::length_error("the shared strings are full");
    const std::uint32_t index = size_;
    keep(text);
    slots[at] = tag | (index + 1);
    // Grown at three quarters full: probes stay short and always meet a free slot.
    if (std::uint64_t(size_) * 4 > slotCount_ * 3)
        grow();
    return index;
}

const char* StringTable::entryOf(std::uint32_t index) const {
    const std::uint64_t offset = pageStarts_[index / kPlacesPerPage] +
                                 places_[index / kPlacesPerPage][index % kPlacesPerPage];
    return blocks_[offset / kBlockBytes].as<char>() + offset % kBlockBytes;
}

std::string_view StringTable::at(std::uint32_t index) const {
    return textAt(entryOf(index));
}

void StringTable::keep(std::string_view text) {
    if (text.size() > kMaxText)
        throw std::length_error("a shared string exceeds its block");
    constexpr std::size_t kMaxLengthBytes = 3;
    if (blockUsed_ + kMaxLengthBytes + text.size() > kBlockBytes) {
        if (!blocks_.empty())
            blockEnds_.push_back(blockUsed_);
        if (nextBlock_.valid())
            blocks_.push_back(std::move(*nextBlock_.get()));
        else
            blocks_.emplace_back(kBlockBytes);
        blockUsed_ = 0;
    }
    // A table that fills blocks would otherwise wait for the system to zero each page
    // of the next one as it is first written.
    if (!nextBlock_.valid() && blockUsed_ > kBlockBytes / 2)
        nextBlock_ = std::async(std::launch::async, [] { return Pages::touched(kBlockBytes); });
    const std::uint64_t offset = (blocks_.size() - 1) * kBlockBytes + blockUsed_;
    if (size_ % kPlacesPerPage == 0) {
        places_.push_back(std::make_unique_for_overwrite<std::uint32_t[]>(kPlacesPerPage));
        pageStarts_.push_back(offset);
    }
    places_.back()[size_ % kPlacesPerPage] = std::uint32_t(offset - pageStarts_.back());
    char* entry = blocks_.back().as<char>() + blockUsed_;
    const std::size_t lengthBytes = putLength(entry, text.size());
    std::memcpy(entry + lengthBytes, text.data(), text.size());
    blockUsed_ += lengthBytes + text.size();
    textBytes_ += text.size();
    ++size_;
}

void StringTable::grow() {
    // A slot keeps too little of the hash to place it anew: the texts are hashed
    // again, read block by block in the order they were kept, the old slots freed
    // first. The new slots are written at random, a few dozen at a time so that their
    // misses overlap.
    slotCount_ *= 2;
    slots_.reset();
    slots_ = std::make_unique<Pages>(slotCount_ * sizeof(std::uint32_t));
    std::uint32_t* slots = slots_->as<std::uint32_t>();
    const std::size_t mask = slotCount_ - 1;
    constexpr std::uint32_t kAtOnce = 32;
    std::uint64_t hashes[kAtOnce];
    std::uint32_t count = 0;
    std::uint32_t index = 0;
    const auto place = [&] {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::size_t at = hashes[i] & mask;
            while (slots[at] != 0)
                at = (at + 1) & mask;
            slots[at] = tagOf(hashes[i]) | (index - count + i + 1);
        }
        count = 0;
    };
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
        const char* entry = blocks_[block].as<char>();
        const char* end = entry + (block < blockEnds_.size() ? blockEnds_[block] : blockUsed_);
        while (entry < end) {
            const std::string_view text = textAt(entry);
            entry = text.data() + text.size();
            hashes[count] = hashOf(text);
            __builtin_prefetch(&slots[hashes[count] & mask], 1);
            ++index;
            if (++count == kAtOnce)
                place();
        }
    }
    place();
}

}  // namespace xls
