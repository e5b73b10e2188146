// qvSP_PalData: the value map of a standard palette (see qvSP_PalData.hpp).

#include "attributes/qvSP_PalData.hpp"

#include "attributes/qvPaletteSystemFolders.hpp"

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <exception>
#include <iterator>

qvSP_PalData::qvSP_PalData()
    : ref_count(qvPaletteSystemFolder("ref_count")),
      is_shared(qvPaletteSystemFolder("is_shared")),
      attr_name(qvPaletteSystemFolder("attr_name")) {}

qvSP_PalData::~qvSP_PalData() {
    try {
        for (auto& [key, entry] : entries)
            entry.type->destroy_object(entry.word, nullptr);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvSP_PalData::Entry* qvSP_PalData::find(long handle, long folder) {
    auto const it = entries.find(Key{handle, folder});
    return it != entries.end() ? &it->second : nullptr;
}

qvSP_PalData::Entry const* qvSP_PalData::find(long handle, long folder) const {
    auto const it = entries.find(Key{handle, folder});
    return it != entries.end() ? &it->second : nullptr;
}

long qvSP_PalData::count(long handle) const {
    Entry const* const entry = find(handle, ref_count->handle());
    return entry != nullptr ? entry->word : 0;
}

long qvSP_PalData::shared_word(long handle) const {
    Entry const* const entry = find(handle, is_shared->handle());
    return entry != nullptr ? entry->word : 0;
}

bool qvSP_PalData::insert(long handle, qvFolder* folder, qvPropertyClass const* type, long word) {
    return entries.emplace(Key{handle, folder->handle()}, Entry{folder, type, word}).second;
}

void qvSP_PalData::take(Map::iterator from, Map::iterator to, Taken& taken) {
    taken.reserve(taken.size() + static_cast<std::size_t>(std::distance(from, to)));
    for (auto it = from; it != to; ++it)
        taken.push_back(it->second);
    entries.erase(from, to);
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
