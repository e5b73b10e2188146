// qvSP_PalData: the value map of a standard palette (see qvSP_PalData.hpp).

#include "attributes/qvSP_PalData.hpp"

#include "attributes/qvPaletteSystemFolders.hpp"

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <cstdint>
#include <exception>
#include <iterator>

namespace {

// The attribute handle and the folder mixed: the folders of one attribute
// are neighbours, and the index's multiply spreads them.
std::uint64_t palette_hash(qvSP_PalData::Key const& key) noexcept {
    return (static_cast<std::uint64_t>(key.handle) << 20) ^ static_cast<std::uint64_t>(key.folder);
}

}  // namespace

// A slot is empty while its entry is null; its hash is made again from its
// key, which keeps a slot at a key and a pointer.
struct qvSP_PalData::IndexRules {
    bool empty(Slot const& slot) const noexcept { return slot.entry == nullptr; }
    std::uint64_t hash(Slot const& slot) const noexcept { return palette_hash(slot.key); }
    Slot vacant() const noexcept { return Slot{Key{0, 0}, nullptr}; }
};

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
    return index_[probe(Key{handle, folder})].entry;
}

qvSP_PalData::Entry const* qvSP_PalData::find(long handle, long folder) const {
    return index_[probe(Key{handle, folder})].entry;
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
    if (index_[probe(key)].entry != nullptr)
        return false;
    index_.make_room_for(entries_.size() + 1, IndexRules{});
    Entry* const entry = &entries_.emplace(key, Entry{folder, type, word}).first->second;
    index_[probe(key)] = Slot{key, entry};
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

std::size_t qvSP_PalData::probe(Key const& key) const noexcept {
    return index_.probe(palette_hash(key), [&](Slot const& s) { return s.entry == nullptr || s.key == key; });
}

void qvSP_PalData::unindex(Key const& key) noexcept {
    index_.vacate(probe(key), IndexRules{});
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
