// qvSP_PalData: the value map of a standard palette (see qvSP_PalData.hpp).

#include "attributes/qvSP_PalData.hpp"

#include "attributes/qvPaletteSystemFolders.hpp"

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <cstdint>
#include <exception>
#include <iterator>

qvSP_PalData::qvSP_PalData()
    : ref_count(qvPaletteSystemFolder("ref_count")),
      is_shared(qvPaletteSystemFolder("is_shared")),
      attr_name(qvPaletteSystemFolder("attr_name")) {}

qvSP_PalData::~qvSP_PalData() {
    try {
        for (auto& [key, entry] : entries_)
            entry.type->destroy_object(entry.word, nullptr);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvSP_PalData::Entry* qvSP_PalData::find(long handle, long folder) {
    return slots_[probe(Key{handle, folder})].entry;
}

qvSP_PalData::Entry const* qvSP_PalData::find(long handle, long folder) const {
    return slots_[probe(Key{handle, folder})].entry;
}

long qvSP_PalData::count(long handle) const {
    Entry const* const entry = find(handle, ref_count->handle());
    return entry != nullptr ? entry->word : 0;
}

long qvSP_PalData::shared_word(long handle) const {
    Entry const* const entry = find(handle, is_shared->handle());
    return entry != nullptr ? entry->word : 0;
}

// Room in the index first, then the map's node; the slot is filled only
// once both are made, so a failure leaves the two as they were.
bool qvSP_PalData::insert(long handle, qvFolder* folder, qvPropertyClass const* type, long word) {
    const Key key{handle, folder->handle()};
    if (slots_[probe(key)].entry != nullptr)
        return false;
    if ((entries_.size() + 1) * 2 > slots_.size())
        grow();
    Entry* const entry = &entries_.emplace(key, Entry{folder, type, word}).first->second;
    slots_[probe(key)] = Slot{key, entry};
    return true;
}

void qvSP_PalData::take(Map::iterator from, Map::iterator to, Taken& taken) {
    taken.reserve(taken.size() + static_cast<std::size_t>(std::distance(from, to)));
    for (auto it = from; it != to; ++it)
        taken.push_back(it->second);
    for (auto it = from; it != to; ++it)
        unindex(it->first);
    entries_.erase(from, to);
}

qvSP_PalData::Map::iterator qvSP_PalData::erase(Map::iterator it) noexcept {
    unindex(it->first);
    return entries_.erase(it);
}

// ---------------------------------------------------------------------------
// The index

namespace {

// The attribute handle and the folder mixed, then Fibonacci-hashed to the
// top `64 - shift` bits: the folders of one attribute are neighbours, and
// the multiply spreads them.
std::size_t palette_home(qvSP_PalData::Key const& key, int shift) noexcept {
    const std::uint64_t mixed =
        (static_cast<std::uint64_t>(key.handle) << 20) ^ static_cast<std::uint64_t>(key.folder);
    return static_cast<std::size_t>((mixed * UINT64_C(0x9E3779B97F4A7C15)) >> shift);
}

}  // namespace

std::size_t qvSP_PalData::probe(Key const& key) const noexcept {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = palette_home(key, shift_);
    for (;; slot = (slot + 1) & mask) {
        Slot const& s = slots_[slot];
        if (s.entry == nullptr || s.key == key)
            return slot;
    }
}

void qvSP_PalData::unindex(Key const& key) noexcept {
    const std::size_t mask = slots_.size() - 1;
    std::size_t hole = probe(key);
    for (std::size_t next = (hole + 1) & mask; slots_[next].entry != nullptr; next = (next + 1) & mask) {
        const std::size_t wanted = palette_home(slots_[next].key, shift_);
        // The slot at `next` may fill the hole unless its home lies
        // cyclically after the hole, up to `next`.
        const bool stays = hole < next ? (hole < wanted && wanted <= next) : (hole < wanted || wanted <= next);
        if (!stays) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole].entry = nullptr;
}

void qvSP_PalData::grow() {
    std::vector<Slot> larger(slots_.size() * 2, Slot{Key{0, 0}, nullptr});
    slots_.swap(larger);
    --shift_;
    const std::size_t mask = slots_.size() - 1;
    for (Slot const& moved : larger) {
        if (moved.entry == nullptr)
            continue;
        std::size_t slot = palette_home(moved.key, shift_);
        while (slots_[slot].entry != nullptr)
            slot = (slot + 1) & mask;
        slots_[slot] = moved;
    }
}

std::exception_ptr qvSP_PalData::destroy(Taken& taken, qvPalette* palette) noexcept {
    std::exception_ptr first_error;
    for (Entry& entry : taken) {
        try {
            entry.type->destroy_object(entry.word, palette);
        } catch (...) {
            if (!first_error)
                first_error = std::current_exception();
        }
    }
    taken.clear();
    return first_error;
}
