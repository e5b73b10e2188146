#pragma once
// qvColorMap: an owning colour map of at most 256 entries.
//
// Keeps true: the entries live in the map's own 256-entry table (the map
// never allocates, so copies are by value) and the reference part always
// points at that table; 0 <= size() <= 256. Entries beyond the size are
// unused. Filling a non-simple map from an entry array, and merging, leave
// the entries sorted by ascending index byte; the other ways of filling a
// map keep the order given. Every operation that fails leaves the map as it
// was.
//
// Stream form (little-endian):
//   offset  size       meaning
//        0     4       count, int32 (0..256)
//        4     4       simple flag, uint32: 1 for an identity map, 0 otherwise
//        8     4*count entries in position order: red, green, blue, index

#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvColorMapReference.hpp>
#include <orvane/core/qvStreamPersistence.hpp>

class qvRgbColor;

class qvColorMap : public qvColorMapReference, public virtual qvStreamPersistence {
public:
    static constexpr int max_entries = 256;

    // Every form with more than 256 entries (or fewer than 0) raises
    // qvErrorFrom<qvColorMap> "The number of colors cannot be greater then
    // 256." before anything changes.
    qvColorMap() noexcept : qvColorMapReference(0, true, table_) {}
    explicit qvColorMap(int n);
    qvColorMap(qvColorMapEntry const* entries, int n, bool simple);
    qvColorMap(qvRgbColor const* colors, int n, unsigned char const* indices);
    qvColorMap(qvBitmapColor const* colors, int n, unsigned char const* indices);
    // Rebuilt through initialize(entries, size, simple): a simple reference's
    // entries take their positions as index bytes, a non-simple one's are
    // sorted by index byte.
    qvColorMap(qvColorMapReference const& other);
    qvColorMap(qvColorMap const& other) noexcept;
    ~qvColorMap() override = default;

    qvColorMap& operator=(qvColorMap const& other) noexcept;
    qvColorMap& operator=(qvColorMapReference const& other);

    // Entries of a const map are const.
    qvColorMapEntry const* data() const noexcept { return entries_; }
    qvColorMapEntry* data() noexcept { return entries_; }
    qvColorMapEntry const& operator[](unsigned char i) const {
        return qvColorMapReference::operator[](i);
    }
    qvColorMapEntry& operator[](unsigned char i) { return qvColorMapReference::operator[](i); }

    // An identity map of n black entries.
    void initialize(int n);
    // No entries given: initialize(n). Simple: the copies' index bytes are
    // overwritten with their positions; otherwise they are sorted by index.
    void initialize(qvColorMapEntry const* entries, int n, bool simple);
    // No colours given: initialize(n). Simple exactly when no indices are
    // given (entry i then has index i). Kept in the order given.
    void initialize(qvRgbColor const* colors, int n, unsigned char const* indices);
    void initialize(qvBitmapColor const* colors, int n, unsigned char const* indices);
    // An empty reference leaves the map as it is.
    void initialize(qvColorMapReference const& other);

    // Adds the colours of `other` that this map lacks most, up to `max`
    // entries in all, then rewrites the index bytes of `other` so that they
    // translate its pixels into this map. `other` is changed although it is
    // passed as a constant reference: a reference does not own its entries,
    // which must therefore be writable. Raises "The number of colors cannot
    // be greater then 256" for a max above 256 and "merge() cannot be used
    // to compress a colormap" for a max below the size.
    void merge(qvColorMapReference const& other);
    void merge(qvColorMapReference const& other, int max);

    // A failed load leaves the map unchanged.
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

private:
    void fill_identity(int n) noexcept;
    void sort_by_index() noexcept;

    qvColorMapEntry table_[max_entries];
};
