#include "stringtable.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace xls {

namespace {

constexpr std::size_t kFirstSlots = 1 << 12;
constexpr std::size_t kPlacesPerPage = 1 << 16;
// A place: the offset in the blocks taken together above, the length below.
constexpr int kLengthBits = 24;

// A slot holds the upper half of the text's hash, which also places it, and the
// text's index + 1; 0 marks a free slot. Growing needs neither the hash nor the text.
std::uint32_t tagOf(std::uint64_t hash) {
    return std::uint32_t(hash >> 32);
}
std::uint32_t tagOfSlot(std::uint64_t slot) {
    return std::uint32_t(slot >> 32);
}
std::uint32_t indexOfSlot(std::uint64_t slot) {
    return std::uint32_t(slot & 0xFFFFFFFF) - 1;
}
std::uint64_t slotOf(std::uint32_t tag, std::uint32_t index) {
    return (std::uint64_t(tag) << 32) | (std::uint64_t(index) + 1);
}

std::uint64_t hashOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

}  // namespace

StringTable::StringTable() : slots_(kFirstSlots, 0) {}

std::uint32_t StringTable::add(std::string_view text) {
    return add(text, hashOf(text));
}

void StringTable::add(std::span<const std::string_view> texts, std::uint32_t* indexes) {
    // The table outgrows the caches: a lookup one at a time waits for memory twice,
    // for its slot and for the text it compares. A row's lookups are started
    // together instead, so that those waits overlap.
    constexpr std::size_t kMaxRow = 256;
    std::uint64_t hashes[kMaxRow];
    const std::size_t count = std::min(texts.size(), kMaxRow);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        hashes[i] = hashOf(texts[i]);
        __builtin_prefetch(&slots_[tagOf(hashes[i]) & mask]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t slot = slots_[tagOf(hashes[i]) & mask];
        if (slot != 0)
            __builtin_prefetch(&placeOf(indexOfSlot(slot)));
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t slot = slots_[tagOf(hashes[i]) & mask];
        if (slot != 0)
            __builtin_prefetch(at(indexOfSlot(slot)).data());
    }
    for (std::size_t i = 0; i < count; ++i)
        indexes[i] = add(texts[i], hashes[i]);
    for (std::size_t i = count; i < texts.size(); ++i)
        indexes[i] = add(texts[i]);
}

std::uint32_t StringTable::add(std::string_view text, std::uint64_t hash) {
    ++references_;
    const std::uint32_t tag = tagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = tag & mask;
    for (; slots_[at] != 0; at = (at + 1) & mask) {
        const std::uint64_t slot = slots_[at];
        if (tagOfSlot(slot) != tag)
            continue;
        const std::uint32_t index = indexOfSlot(slot);
        if (this->at(index) == text)
            return index;
    }
    const std::uint32_t index = size_;
    keep(text);
    slots_[at] = slotOf(tag, index);
    // Grown at three quarters full: probes stay short and always meet a free slot.
    if (std::uint64_t(size_) * 4 > slots_.size() * 3)
        grow();
    return index;
}

std::uint64_t& StringTable::placeOf(std::uint32_t index) const {
    return places_[index / kPlacesPerPage][index % kPlacesPerPage];
}

std::string_view StringTable::at(std::uint32_t index) const {
    const std::uint64_t place = placeOf(index);
    const std::size_t length = place & ((1u << kLengthBits) - 1);
    if (length == 0)
        return {};
    const std::uint64_t offset = place >> kLengthBits;
    return {blocks_[offset / kMaxText].get() + offset % kMaxText, length};
}

void StringTable::keep(std::string_view text) {
    if (size_ % kPlacesPerPage == 0)
        places_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kPlacesPerPage));
    std::uint64_t place = 0;  // an empty text has no bytes to point at
    if (!text.empty()) {
        if (text.size() > kMaxText)
            throw std::length_error("a shared string exceeds its block");
        if (blockUsed_ + text.size() > kMaxText) {
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(kMaxText));
            blockUsed_ = 0;
        }
        std::memcpy(blocks_.back().get() + blockUsed_, text.data(), text.size());
        const std::uint64_t offset = (blocks_.size() - 1) * kMaxText + blockUsed_;
        blockUsed_ += text.size();
        textBytes_ += text.size();
        place = offset << kLengthBits | text.size();
    }
    placeOf(size_++) = place;
}

void StringTable::grow() {
    std::vector<std::uint64_t> grown(slots_.size() * 2, 0);
    const std::size_t mask = grown.size() - 1;
    for (const std::uint64_t slot : slots_) {
        if (slot == 0)
            continue;
        std::size_t at = tagOfSlot(slot) & mask;
        while (grown[at] != 0)
            at = (at + 1) & mask;
        grown[at] = slot;
    }
    slots_.swap(grown);
}

}  // namespace xls
