#pragma once
// qvObjectRegistry<T>: a named object registry of T objects, the typed owner
// of one qvObjectRegistryInternal (see there for ids, names and the stream
// form). Load and save are those of the owned registry, byte for byte.
//
// Keeps true: the owned registry is made with the owner and deleted with it;
// the T objects themselves are never owned.

#include <orvane/core/qvObjectRegistryInternal.hpp>

template <class T>
class qvObjectRegistry : public virtual qvStreamPersistence {
public:
    qvObjectRegistry() : registry_(qvObjectRegistryInternal::create()) {}
    qvObjectRegistry(qvObjectRegistry const&) = delete;
    qvObjectRegistry& operator=(qvObjectRegistry const&) = delete;
    ~qvObjectRegistry() override { delete registry_; }

    long insert(char const* name, T* object) { return registry_->insert(name, object); }
    T* remove(long id) { return static_cast<T*>(registry_->remove(id)); }
    char const* name(long id) const { return registry_->name(id); }
    T* object(long id) const { return static_cast<T*>(registry_->object(id)); }
    long id(char const* name) const { return registry_->id(name); }
    qvIndirectIterator<qvWrap<long>> enumerate(char const* from) {
        return registry_->enumerate(from);
    }
    long size() const { return registry_->size(); }

    void load(qvInputStream& is) override { registry_->load(is); }
    void save(qvOutputStream& os) const override { registry_->save(os); }

private:
    qvObjectRegistryInternal* registry_;
};
