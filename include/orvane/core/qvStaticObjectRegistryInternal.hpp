#pragma once
// qvStaticObjectRegistryInternal: a map from an integer key to an object, the
// registry behind the numbered classes (proxy, text-extent and flavour
// classes). Made by create(); the implementation stays private.
//
// Keeps true: a key maps to at most one object, and the first object
// inserted under a key keeps it until the key is removed. The registry never
// owns, copies or deletes the objects it maps.

class qvStaticObjectRegistryInternal {
public:
    virtual ~qvStaticObjectRegistryInternal() = default;

    // Adds (key, object) when the key is absent and returns true. A present
    // key keeps its object; the result then says whether it is `object`.
    virtual bool insert(long key, void* object) = 0;
    // The number of entries removed: 1, or 0 for an absent key.
    virtual long remove(long key) = 0;
    // The object under the key, or null.
    virtual void* lookup(long key) const = 0;

    // A new, empty registry, owned by the caller.
    static qvStaticObjectRegistryInternal* create();

protected:
    qvStaticObjectRegistryInternal() noexcept = default;
    qvStaticObjectRegistryInternal(qvStaticObjectRegistryInternal const&) = delete;
    qvStaticObjectRegistryInternal& operator=(qvStaticObjectRegistryInternal const&) = delete;
};
