#pragma once
// qvSP_PalData: the value map of a standard palette, from (attribute
// handle, folder) to the stored word.
//
// Keeps true:
//  - keys order by attribute handle, then by folder handle, so the entries
//    of one attribute are adjacent, ascending by folder handle, and no key
//    of an attribute sorts below (handle, 0);
//  - every entry names the registered folder of its key and the class that
//    made its word (the folder's class, or the class a loading stream is
//    about to bind to it); the map owns the words and destroys what is
//    left of them, without a palette, when it dies;
//  - `ref_count`, `is_shared` and `attr_name` are the registered system
//    folders, looked up once when the map is made.

#include <orvane/attributes/qvFolder.hpp>

#include <exception>
#include <map>
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
    Map::iterator begin_of(long handle) { return entries.lower_bound(Key{handle, 0}); }
    Map::iterator end_of(long handle) { return entries.lower_bound(Key{handle + 1, 0}); }
    Map::const_iterator begin_of(long handle) const { return entries.lower_bound(Key{handle, 0}); }
    Map::const_iterator end_of(long handle) const { return entries.lower_bound(Key{handle + 1, 0}); }

    // Inserts a word the map takes over; false (the word stays the
    // caller's) when the key is taken.
    bool insert(long handle, qvFolder* folder, qvPropertyClass const* type, long word);
    // Takes the entries out of the map; the caller destroys them.
    void take(Map::iterator from, Map::iterator to, Taken& taken);

    // Destroys the words of taken entries with their classes and empties
    // `taken`. Every word is destroyed even when one destruction raises;
    // the first error is returned for the caller to raise once it is done.
    [[nodiscard]] static std::exception_ptr destroy(Taken& taken, qvPalette* palette) noexcept;

    void swap(qvSP_PalData& other) noexcept { entries.swap(other.entries); }

    Map entries;
    qvFolder* ref_count;
    qvFolder* is_shared;
    qvFolder* attr_name;
};
