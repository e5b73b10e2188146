#pragma once
// qvMatchingPaletteIndex: the state of a matching palette: its base palette
// (owned) and the index of unshared attributes by content hash.
//
// Keeps true:
//  - `hashes` holds (hash, handle) exactly for the entries of `by_handle`,
//    so equal hashes list their attributes lowest handle first, and an
//    entry is erased only together with the attribute it names;
//  - a hash is the XOR of folder_hash over the attribute's content, the
//    folders but "ref_count" in which it has a value.
// An index entry whose attribute died behind the palette's back (a
// reference word releasing it inside the base) is never taken: candidates
// are checked for a count and for equal content before use.

#include <orvane/attributes/qvPalette.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class qvFolder;

class qvMatchingPaletteIndex {
public:
    using Hash = std::uint32_t;

    // One folder's value of an attribute, or null.
    struct Slot {
        qvFolder const* folder;
        void const* value;
    };
    // Folders in ascending handle order, each with a value.
    using Content = std::vector<Slot>;
    // What a change does to one folder of its target.
    struct Update {
        qvFolder const* folder;
        void const* before;
        void const* after;  // null: the value goes
    };

    explicit qvMatchingPaletteIndex(qvPalette* base);
    qvMatchingPaletteIndex(qvMatchingPaletteIndex const&) = delete;
    qvMatchingPaletteIndex& operator=(qvMatchingPaletteIndex const&) = delete;
    ~qvMatchingPaletteIndex();

    qvPalette& base() const noexcept { return *base_; }

    long alloc(bool shared);
    int release(long handle);
    long write(long handle, qvFolder const& folder, void const* value, bool shared);
    long copy(long src, long dst, qvFolder const& folder, bool shared);
    long remove(long handle, qvFolder const& folder, bool shared);
    void load(qvInputStream& is);

    static Hash value_hash(qvFolder const& folder, void const* value);

private:
    template <class BaseCall>
    long apply(long target, std::vector<Update> const& updates, bool may_merge, BaseCall&& call);

    bool known(long handle) const;
    bool shared(long handle) const;
    // Whether a change of `handle` goes straight to the base: shared
    // attributes, and handles the base does not know (it reports them).
    bool unindexed_target(long handle) const;

    Content content_of(long handle) const;
    Content content_after(long handle, std::vector<Update> const& updates, bool clones) const;
    static bool same_value(qvFolder const& folder, void const* a, void const* b);
    static bool same_content(Content const& a, Content const& b);
    Hash content_hash(long handle) const;
    // The lowest other attribute with this hash and content, or 0.
    template <class MakeContent>
    long find_equal(Hash hash, long except, MakeContent&& make_content);

    void index(long handle, Hash hash);
    void unindex(long handle);
    void settle(long target, long result, bool clones, Hash hash);
    long passed(long result);

    std::unique_ptr<qvPalette> base_;
    qvFolder const* ref_count_;
    qvFolder const* is_shared_;
    qvFolder const* attr_name_;
    std::map<long, Hash> by_handle_;
    std::set<std::pair<Hash, long>> hashes_;
};
