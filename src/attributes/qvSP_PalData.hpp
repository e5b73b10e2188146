#pragma once
// qvSP_PalData: the value map of a standard palette, from (attribute
// handle, folder) to the stored word.
//
// Beside the ordered map, which gives the order of the stream and of every
// walk, a qvProbeIndex leads from each key to its entry, so a lookup costs
// one short probe run instead of a descent through the tree. A drawing
// reads a value or two per cookie it bakes, and with thousands of
// attributes alive (a scene port's copies and marker slots) the descent's
// cache misses were a third of the drawing's time.
//
// Keeps true:
//  - keys order by attribute handle, then by folder handle, so the entries
//    of one attribute are adjacent, ascending by folder handle, and no key
//    of an attribute sorts below (handle, 0);
//  - every entry names the registered folder of its key and the class that
//    made its word (the folder's class, or the class a loading stream is
//    about to bind to it); the map owns the words and destroys what is
//    left of them, without a palette, when it dies;
//  - the index holds exactly the map's keys, each with its own entry (map
//    nodes never move), under qvProbeIndex's rules: every change of the
//    map's keys goes through a member here (the map is read only from
//    outside);
//  - `ref_count`, `is_shared` and `attr_name` are the registered system
//    folders, looked up once when the map is made.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/core/qvProbeIndex.hpp>

#include <cstddef>
#include <exception>
#include <map>
#include <utility>
#include <vector>

class qvPalette;
class qvPropertyClass;

class qvSP_PalData {
public:
    struct Key {
        long handle;
        long folder;
        bool operator<(Key const& other) const noexcept {
            return handle < other.handle || (handle == other.handle && folder < other.folder);
        }
        bool operator==(Key const& other) const noexcept {
            return handle == other.handle && folder == other.folder;
        }
    };
    struct Entry {
        qvFolder* folder;
        qvPropertyClass const* type;  // the class that made the word
        long word;
    };
    using Map = std::map<Key, Entry>;
    // Entries taken out of the map, still owning their words.
    using Taken = std::vector<Entry>;

    qvSP_PalData();
    qvSP_PalData(qvSP_PalData const&) = delete;
    qvSP_PalData& operator=(qvSP_PalData const&) = delete;
    ~qvSP_PalData();

    Entry* find(long handle, long folder);
    Entry const* find(long handle, long folder) const;
    // The reference count of an attribute, 0 when it has none.
    long count(long handle) const;
    // The "is_shared" word, 0 when absent.
    long shared_word(long handle) const;
    bool exists(long handle) const { return find(handle, ref_count->handle()) != nullptr; }

    // The entries of one attribute.
    Map::iterator begin_of(long handle) { return entries_.lower_bound(Key{handle, 0}); }
    Map::iterator end_of(long handle) { return entries_.lower_bound(Key{handle + 1, 0}); }
    Map::const_iterator begin_of(long handle) const { return entries_.lower_bound(Key{handle, 0}); }
    Map::const_iterator end_of(long handle) const { return entries_.lower_bound(Key{handle + 1, 0}); }
    // Every entry, in key order; changed only through the members here.
    Map const& entries() const noexcept { return entries_; }

    // Inserts a word the map takes over; false (the word stays the
    // caller's) when the key is taken.
    bool insert(long handle, qvFolder* folder, qvPropertyClass const* type, long word);
    // Takes the entries out of the map; the caller destroys them.
    void take(Map::iterator from, Map::iterator to, Taken& taken);
    // Drops one entry (the caller has taken its word over); the next one.
    Map::iterator erase(Map::iterator it) noexcept;

    // Destroys the words of taken entries with their classes and empties
    // `taken`. Every word is destroyed even when one destruction raises;
    // the first error is returned for the caller to raise once it is done.
    [[nodiscard]] static std::exception_ptr destroy(Taken& taken, qvPalette* palette) noexcept;

    void swap(qvSP_PalData& other) noexcept {
        entries_.swap(other.entries_);
        index_.swap(other.index_);
    }

    qvFolder* ref_count;
    qvFolder* is_shared;
    qvFolder* attr_name;

private:
    // An index slot: a key and its entry; empty while `entry` is null.
    struct Slot {
        Key key;
        Entry* entry;
    };
    struct IndexRules;

    // The slot holding the key, or the empty slot that ends its probe run.
    std::size_t probe(Key const& key) const noexcept;
    // Empties the key's slot.
    void unindex(Key const& key) noexcept;

    Map entries_;
    qvProbeIndex<Slot> index_{Slot{Key{0, 0}, nullptr}};
};
