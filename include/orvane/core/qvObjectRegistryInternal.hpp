#pragma once
// qvObjectRegistryInternal: a registry that gives every registered object a
// small positive id and keeps its name, so that ids can be written to
// streams and names looked up. Made by create(); the implementation stays
// private. The folder and property-class registries are its instances, held
// through qvObjectRegistry<T>.
//
// Keeps true:
//  - ids run from 1 to size(); 0 stands for no entry. An entry is either
//    registered (a name and an object) or free (the empty name, no object);
//    size() counts both, and is the largest id ever handed out;
//  - a freed id is handed out again before a new one, the last freed first,
//    so the ids a sequence of inserts and removes gives are fixed (they are
//    visible in palette streams);
//  - a name is registered under one id at most; names are ordered by their
//    bytes taken as unsigned, as strcmp orders them;
//  - the registry never owns the objects it holds; after a load every
//    object is null (the stream carries names only).
//
// Stream form (load and save), little-endian:
//   offset  size   meaning
//        0     4   count: the number of entries, size() (int32, >= 0)
//        4     4   first free id, 0 when no entry is free (int32, 0..count)
//        8     .   count entries in id order, each:
//                    2 + n  name: int16 length n, then n bytes; "" when free
//                    4      next free id (int32, 0..count) of a free entry;
//                           written as 0 for a registered entry
// A load that fails (short or invalid input) leaves the registry as it was.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/core/qvWrap.hpp>

class qvObjectRegistryInternal : public virtual qvStreamPersistence {
public:
    // The id of the name. A name already registered must come with its own
    // object ("obj == v[id-1].obj" otherwise) and keeps its id. A null name
    // fails "key", as in id() and enumerate().
    virtual long insert(char const* name, void* object) = 0;
    // Frees a registered id and returns its object. Any other id (0, out of
    // range, already free) gives null and changes nothing.
    virtual void* remove(long id) = 0;
    // The name of an id: "" for a free id, null for an id outside 1..size().
    virtual char const* name(long id) const = 0;
    // The object of an id: null for a free id or an id outside 1..size().
    virtual void* object(long id) const = 0;
    // The id the name is registered under, or 0.
    virtual long id(char const* name) const = 0;
    // The ids of the registered names in name order, from the first name
    // not less than `from` ("" gives all). The registry must outlive the
    // iterator and keep the name under it while it is in use.
    virtual qvIndirectIterator<qvWrap<long>> enumerate(char const* from) = 0;
    // The number of entries, registered and free.
    virtual long size() const = 0;

    ~qvObjectRegistryInternal() override = default;

    // A new, empty registry, owned by the caller.
    static qvObjectRegistryInternal* create();

protected:
    qvObjectRegistryInternal() noexcept = default;
    qvObjectRegistryInternal(qvObjectRegistryInternal const&) = delete;
    qvObjectRegistryInternal& operator=(qvObjectRegistryInternal const&) = delete;
};
