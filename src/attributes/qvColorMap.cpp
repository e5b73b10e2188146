// qvColorMap: construction, filling, merging and the stream form; see the
// header for the invariants and the byte layout.

#include <orvane/attributes/qvColorMap.hpp>

#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvError.hpp>

#include "attributes/qvColorEntryStream.hpp"
#include "attributes/qvColorMapLimits.hpp"
#include "attributes/qvColorNearest.hpp"
#include "core/qvStreamFields.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

[[noreturn]] void raise(char const* message) { qvRaise(qvErrorFrom<qvColorMap>(message)); }

qvBitmapColor to_bytes(qvRgbColor const& color) { return qvBitmapColor(color); }
qvBitmapColor to_bytes(qvBitmapColor const& color) { return color; }

// Fills out[0..n) from a colour array; out never aliases the colours.
template <class Color>
void fill_entries(qvColorMapEntry* out, Color const* colors, int n, unsigned char const* indices) {
    for (int i = 0; i < n; ++i)
        out[i] = qvColorMapEntry(to_bytes(colors[i]),
                                 indices ? indices[i] : static_cast<unsigned char>(i));
}

}  // namespace

void qvCheckColorCount(int n) {
    if (n < 0 || n > qvColorMap::max_entries)
        raise("The number of colors cannot be greater then 256.");
}

// ---- construction -------------------------------------------------------------

qvColorMap::qvColorMap(int n) : qvColorMapReference(0, true, table_) { initialize(n); }

qvColorMap::qvColorMap(qvColorMapEntry const* entries, int n, bool simple)
    : qvColorMapReference(0, true, table_) {
    initialize(entries, n, simple);
}

qvColorMap::qvColorMap(qvRgbColor const* colors, int n, unsigned char const* indices)
    : qvColorMapReference(0, true, table_) {
    initialize(colors, n, indices);
}

qvColorMap::qvColorMap(qvBitmapColor const* colors, int n, unsigned char const* indices)
    : qvColorMapReference(0, true, table_) {
    initialize(colors, n, indices);
}

qvColorMap::qvColorMap(qvColorMapReference const& other) : qvColorMapReference(0, true, table_) {
    initialize(other);
}

qvColorMap::qvColorMap(qvColorMap const& other) noexcept
    : qvColorMapReference(other.size_, other.simple_, table_) {
    std::copy(std::begin(other.table_), std::end(other.table_), table_);
}

qvColorMap& qvColorMap::operator=(qvColorMap const& other) noexcept {
    size_ = other.size_;
    simple_ = other.simple_;
    std::copy(std::begin(other.table_), std::end(other.table_), table_);
    return *this;
}

qvColorMap& qvColorMap::operator=(qvColorMapReference const& other) {
    const qvColorMap rebuilt(other);   // other may name this map's own entries
    return *this = rebuilt;
}

// ---- filling ------------------------------------------------------------------

void qvColorMap::initialize(int n) {
    qvCheckColorCount(n);
    fill_identity(n);
}

void qvColorMap::initialize(qvColorMapEntry const* entries, int n, bool simple) {
    qvCheckColorCount(n);
    if (!entries) {
        fill_identity(n);
        return;
    }
    // memmove: the entries may be this map's own table.
    std::memmove(table_, entries, sizeof(qvColorMapEntry) * static_cast<std::size_t>(n));
    size_ = n;
    simple_ = simple;
    if (simple) {
        for (int i = 0; i < n; ++i) table_[i].index(static_cast<unsigned char>(i));
    } else {
        sort_by_index();
    }
}

void qvColorMap::initialize(qvRgbColor const* colors, int n, unsigned char const* indices) {
    qvCheckColorCount(n);
    if (!colors) {
        fill_identity(n);
        return;
    }
    fill_entries(table_, colors, n, indices);
    size_ = n;
    simple_ = indices == nullptr;
}

void qvColorMap::initialize(qvBitmapColor const* colors, int n, unsigned char const* indices) {
    qvCheckColorCount(n);
    if (!colors) {
        fill_identity(n);
        return;
    }
    // The colours may lie inside this map's table: build aside first.
    std::array<qvColorMapEntry, max_entries> built;
    fill_entries(built.data(), colors, n, indices);
    std::copy_n(built.begin(), n, table_);
    size_ = n;
    simple_ = indices == nullptr;
}

void qvColorMap::initialize(qvColorMapReference const& other) {
    if (other.size() != 0) initialize(other.data(), other.size(), other.simple());
}

void qvColorMap::fill_identity(int n) noexcept {
    for (int i = 0; i < n; ++i)
        table_[i] = qvColorMapEntry(qvBitmapColor(), static_cast<unsigned char>(i));
    size_ = n;
    simple_ = true;
}

void qvColorMap::sort_by_index() noexcept {
    std::stable_sort(
        table_, table_ + size_,
        [](qvColorMapEntry const& a, qvColorMapEntry const& b) { return a.index() < b.index(); });
}

// ---- merging ------------------------------------------------------------------
//
// Every colour of `other` is matched with its nearest entry here. The colours
// that match worst are added as new entries, as many as `max` leaves room
// for (exact matches are never added), each under the smallest index value
// not yet used. Then each matched entry of `other` takes the index byte of
// its match. All lookups happen before anything is written, so a lookup that
// raises leaves both maps unchanged; `other` is written before this map is
// replaced, so the result is the same when `other` names this map's table.

void qvColorMap::merge(qvColorMapReference const& other) { merge(other, max_entries); }

void qvColorMap::merge(qvColorMapReference const& other, int max) {
    if (max > max_entries) raise("The number of colors cannot be greater then 256");
    if (max < size_) raise("merge() cannot be used to compress a colormap");
    qvCheckColorCount(other.size());

    struct Match {
        int distance;
        qvColorMapEntry* entry;   // other's entry for index i
        int index;   // index byte of the match here, -1 for none
    };
    std::array<Match, max_entries> matches;
    const int count = other.size();
    for (int i = 0; i < count; ++i) {
        qvColorMapEntry& entry = other[static_cast<unsigned char>(i)];
        const qvNearestColor near =
            qvFindNearestColor(table_, size_, entry.red(), entry.green(), entry.blue(), 195075);
        matches[i] = {near.distance, &entry,
                      near.position < 0 ? -1 : table_[near.position].index()};
    }
    std::stable_sort(matches.begin(), matches.begin() + count,
                     [](Match const& a, Match const& b) { return a.distance < b.distance; });

    qvColorMap merged(*this);
    std::array<bool, max_entries> used{};
    for (int k = 0; k < size_; ++k) used[table_[k].index()] = true;
    int first = count - std::min(max - size_, count);
    while (first < count && matches[first].distance == 0) ++first;
    int next_free = 0;
    for (int r = first; r < count; ++r) {
        // There is always a free value: at most max - size entries are added
        // and at most size values are taken.
        while (used[next_free]) ++next_free;
        used[next_free] = true;
        merged.table_[merged.size_++] =
            qvColorMapEntry(matches[r].entry->color(), static_cast<unsigned char>(next_free));
        matches[r].index = next_free;
    }

    for (int r = 0; r < count; ++r)
        if (matches[r].index >= 0)
            matches[r].entry->index(static_cast<unsigned char>(matches[r].index));
    merged.sort_by_index();
    *this = merged;
}

// ---- persistence --------------------------------------------------------------

void qvColorMap::save(qvOutputStream& os) const {
    qvWriteValue<std::int32_t>(os, size_);
    qvWriteValue<std::uint32_t>(os, simple_ ? 1u : 0u);
    qvWriteColorEntries(os, table_, size_);
}

void qvColorMap::load(qvInputStream& is) {
    const std::int32_t count = qvReadValue<std::int32_t>(is);
    qvCheckColorCount(count);
    qvColorMap loaded(count);
    loaded.simple_ = qvReadValue<std::uint32_t>(is) != 0;
    qvReadColorEntries(is, loaded.table_, count);
    *this = loaded;
}
