#pragma once
// qvObjectRegistryImplementation: the named object registry behind
// qvObjectRegistryInternal (ids, names and the stream form are described
// there).
//
// Keeps true:
//  - entry i has id i + 1; `free` marks the entries on the free list, which
//    starts at `first_free_` and follows `next_free` to 0, each free entry
//    exactly once; a free entry has the empty name and a null object;
//  - `next_free` of a registered entry is 0;
//  - the index maps a name to the id of a registered entry with that name;
//    every registered entry is indexed, except that after a load a repeated
//    name is indexed for its first entry only. Free entries are never
//    indexed, so id("") finds only a registered entry named "";
//  - entries live in a deque, so name() texts stay put while others are
//    appended.

#include <orvane/core/qvObjectRegistryInternal.hpp>
#include <orvane/core/qvString.hpp>

#include <deque>
#include <functional>
#include <map>
#include <string>

class qvObjectRegistryImplementation final : public qvObjectRegistryInternal {
public:
    qvObjectRegistryImplementation() = default;

    long insert(char const* name, void* object) override;
    void* remove(long id) override;
    char const* name(long id) const override;
    void* object(long id) const override;
    long id(char const* name) const override;
    qvIndirectIterator<qvWrap<long>> enumerate(char const* from) override;
    long size() const override;

    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

    class IteratorImplementation;

private:
    struct Entry {
        qvString name;
        void* object = nullptr;
        long next_free = 0;
        bool free = false;
    };
    // std::string orders its bytes as unsigned, like strcmp.
    using Index = std::map<std::string, long, std::less<>>;

    Entry* entry(long id) noexcept;
    Entry const* entry(long id) const noexcept;
    void take_free_entry(long id, char const* name, void* object);
    void read_entries(qvInputStream& is, long count);
    void mark_free_list(qvInputStream& is);
    void index_registered();
    void swap(qvObjectRegistryImplementation& other) noexcept;

    long first_free_ = 0;
    std::deque<Entry> entries_;
    Index index_;
};

// The ids of an index range in name order.
class qvObjectRegistryImplementation::IteratorImplementation final
    : public qvIterator<qvWrap<long>> {
public:
    IteratorImplementation(Index::const_iterator first, Index::const_iterator end) noexcept
        : position_(first), end_(end) {}

    qvWrap<long>* get() override;
    void next() override;
    bool at_end() const override { return position_ == end_; }

private:
    Index::const_iterator position_;
    Index::const_iterator end_;
    qvWrap<long> current_;
};
