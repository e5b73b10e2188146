// The named object registry: see qvObjectRegistryImplementation.hpp and, for
// the stream form, qvObjectRegistryInternal.hpp.

#include "core/qvObjectRegistryImplementation.hpp"

#include "core/qvStreamFields.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <utility>

namespace {

[[noreturn]] void raise_invalid(qvInputStream& is) {
    qvThrowInputStreamError(is, "Invalid object registry on input");
}

}  // namespace

qvObjectRegistryInternal* qvObjectRegistryInternal::create() {
    return new qvObjectRegistryImplementation;
}

// ---------------------------------------------------------------------------
// Entries

qvObjectRegistryImplementation::Entry* qvObjectRegistryImplementation::entry(long id) noexcept {
    return const_cast<Entry*>(std::as_const(*this).entry(id));
}

qvObjectRegistryImplementation::Entry const* qvObjectRegistryImplementation::entry(
    long id) const noexcept {
    return id >= 1 && id <= size() ? &entries_[static_cast<std::size_t>(id - 1)] : nullptr;
}

long qvObjectRegistryImplementation::size() const { return static_cast<long>(entries_.size()); }

char const* qvObjectRegistryImplementation::name(long id) const {
    Entry const* const e = entry(id);
    return e == nullptr ? nullptr : e->name();
}

void* qvObjectRegistryImplementation::object(long id) const {
    Entry const* const e = entry(id);
    return e == nullptr ? nullptr : e->object;
}

long qvObjectRegistryImplementation::id(char const* name) const {
    QV_ASSERT_TEXT(name != nullptr, "key");
    const auto p = index_.find(name);
    return p == index_.end() ? 0 : p->second;
}

// ---------------------------------------------------------------------------
// Insert and remove

long qvObjectRegistryImplementation::insert(char const* name, void* object) {
    if (const long registered = id(name)) {
        QV_ASSERT_TEXT(object == entry(registered)->object, "obj == v[id-1].obj");
        return registered;
    }
    const long new_id = first_free_ != 0 ? first_free_ : size() + 1;
    // The index node is made first: if anything after it fails, erasing it
    // restores the registry.
    const Index::iterator indexed = index_.emplace(name, new_id).first;
    try {
        if (first_free_ != 0)
            take_free_entry(new_id, name, object);
        else
            entries_.push_back(Entry{name, object, 0, false});
    } catch (...) {
        index_.erase(indexed);
        throw;
    }
    return new_id;
}

// Unlinks the head of the free list and registers (name, object) in it.
void qvObjectRegistryImplementation::take_free_entry(long id, char const* name, void* object) {
    Entry& e = *entry(id);
    e.name = name;   // the one step that can fail comes first
    first_free_ = e.next_free;
    e.object = object;
    e.next_free = 0;
    e.free = false;
}

void* qvObjectRegistryImplementation::remove(long id) {
    Entry* const e = entry(id);
    if (e == nullptr || e->free)
        return nullptr;
    const auto indexed = index_.find(e->name());
    e->name = "";   // the one step that can fail comes first
    // After a load, a repeated name is indexed for another entry: leave it.
    if (indexed != index_.end() && indexed->second == id)
        index_.erase(indexed);
    void* const object = std::exchange(e->object, nullptr);
    e->next_free = first_free_;
    e->free = true;
    first_free_ = id;
    return object;
}

// ---------------------------------------------------------------------------
// Enumeration

qvIndirectIterator<qvWrap<long>> qvObjectRegistryImplementation::enumerate(char const* from) {
    QV_ASSERT_TEXT(from != nullptr, "key");
    return qvIndirectIterator<qvWrap<long>>(
        new IteratorImplementation(index_.lower_bound(from), index_.cend()));
}

qvWrap<long>* qvObjectRegistryImplementation::IteratorImplementation::get() {
    if (at_end())
        return nullptr;
    current_ = position_->second;
    return &current_;
}

void qvObjectRegistryImplementation::IteratorImplementation::next() {
    if (!at_end())
        ++position_;
}

// ---------------------------------------------------------------------------
// Persistence

void qvObjectRegistryImplementation::save(qvOutputStream& os) const {
    qvWriteInt32(os, size());
    qvWriteInt32(os, first_free_);
    for (Entry const& e : entries_) {
        os << e.name;
        qvWriteInt32(os, e.free ? e.next_free : 0);
    }
}

// Reads into a fresh registry and swaps it in only when the whole input was
// read and found consistent. The count is never used to reserve memory:
// entries are read one by one, so a huge count costs only what arrives.
void qvObjectRegistryImplementation::load(qvInputStream& is) {
    qvObjectRegistryImplementation loaded;
    const long count = qvReadInt32(is);
    if (count < 0)
        raise_invalid(is);
    loaded.first_free_ = qvReadInt32(is);
    if (loaded.first_free_ < 0 || loaded.first_free_ > count)
        raise_invalid(is);
    loaded.read_entries(is, count);
    loaded.mark_free_list(is);
    loaded.index_registered();
    swap(loaded);
}

void qvObjectRegistryImplementation::read_entries(qvInputStream& is, long count) {
    for (long i = 0; i < count; ++i) {
        Entry& e = entries_.emplace_back();
        is >> e.name;
        e.next_free = qvReadInt32(is);
    }
}

// Walks the free list from first_free_, marking each entry free. Every link
// must name an entry, and an entry met twice is a cycle; so the walk takes
// at most size() steps. A free entry must be nameless.
void qvObjectRegistryImplementation::mark_free_list(qvInputStream& is) {
    for (long id = first_free_; id != 0;) {
        Entry* const e = entry(id);
        if (e == nullptr || e->free || !e->name.empty())
            raise_invalid(is);
        e->free = true;
        id = e->next_free;
    }
    for (Entry& e : entries_)
        if (!e.free)
            e.next_free = 0;
}

// Indexes the registered entries in id order; a repeated name keeps the
// first id.
void qvObjectRegistryImplementation::index_registered() {
    for (long id = 1; id <= size(); ++id) {
        Entry const& e = *entry(id);
        if (!e.free)
            index_.try_emplace(e.name(), id);
    }
}

void qvObjectRegistryImplementation::swap(qvObjectRegistryImplementation& other) noexcept {
    std::swap(first_free_, other.first_free_);
    entries_.swap(other.entries_);
    index_.swap(other.index_);
}
