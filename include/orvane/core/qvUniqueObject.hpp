#pragma once
// The registry of unique objects: one process-wide map from a name to an
// (object, count) pair, so that every module naming an object reaches the
// same one, and only its last user deletes it.
//
// Keeps true:
//  - names are compared by text (strcmp order); an entry keeps the name
//    pointer it was given, so the text must outlive the entry;
//  - an entry's count is the number of users that counted it (1 at insert);
//    the registry never deletes a registered object itself;
//  - the map's use count is the number of module holds on it plus one for
//    every live use of an entry; the map is freed when it returns to 0, and
//    then every pointer to it (the process-wide pointer, the module's slot)
//    is cleared, so a later look-up starts from an empty registry;
//  - the process-wide pointer, the module's slot and every qvUniqueObject
//    holder are constant-initialised to null, so a get-or-create works from
//    any static initialiser, before or after the holder's own constructor.

#include <orvane/core/qvError.hpp>

// The process-wide map pointer; nothing is counted.
void* qvUniquePtr() noexcept;
void qvUniquePtr(void* map) noexcept;

// Null: the map with one more use, or null when none exists. A name: the
// registered object with one more use (entry and map), or null (no count).
void* qvLookupRegistry(char const* name);
// One more use of a registered name; "p != registry->end()" otherwise.
void qvLockRegistry(char const* name);
// Null: publishes `object` as the process-wide map. A name: registers it
// (count 1) unless present, in which case the first object stays; the map's
// use count rises either way.
void qvInsertRegistry(char const* name, void* object);
// Releases one use of a name ("p != reg->end()" when not registered) or,
// for null, of the map. True when the caller was the name's last user and
// must delete the object. False when no map exists.
bool qvRemoveRegistry(char const* name);

// The module's hold on the map, taken by the start-up statics and released
// at unload: get-or-create of the map into the module's slot, and its
// release.
void qvAcquireRegistryMap();
void qvReleaseRegistryMap();

// A static holder of the unique object T::get_name(). A fill takes one
// counted use; release gives it back once (the destructor releases a use not
// yet given back) and deletes the object when it was the last one. After a
// release that did not delete, the holder keeps its pointer but no use.
template <class T>
class qvUniqueObject {
public:
    constexpr qvUniqueObject() noexcept = default;
    qvUniqueObject(qvUniqueObject const&) = delete;
    qvUniqueObject& operator=(qvUniqueObject const&) = delete;
    ~qvUniqueObject() { release_at_end(); }

    // Get-or-create: fills an empty holder.
    void get_or_create() {
        if (object == nullptr)
            fill();
    }

    // The look-up-or-create step alone, for a holder known to be empty (or
    // one that kept its pointer after giving its use back). A holder that
    // already counts a use takes no second one: it could give back only one.
    void fill() {
        if (counted_)
            return;
        object = static_cast<T*>(qvLookupRegistry(T::get_name()));
        if (object == nullptr) {
            T* const created = new T;
            try {
                qvInsertRegistry(T::get_name(), created);
            } catch (...) {
                delete created;
                throw;
            }
            object = created;
        }
        counted_ = true;
    }

    // Releases the holder's use; deletes and forgets the object when this was
    // its last user, else keeps the pointer.
    void release() {
        if (!counted_)
            return;
        counted_ = false;
        if (qvRemoveRegistry(T::get_name())) {
            delete object;
            object = nullptr;
        }
    }

    // Access: get-or-create, then the object.
    T* get() {
        get_or_create();
        return object;
    }
    T* operator->() { return get(); }
    T& operator*() { return *get(); }

    T* object = nullptr;

private:
    void release_at_end() noexcept;

    bool counted_ = false;
};

template <class T>
void qvUniqueObject<T>::release_at_end() noexcept {
    try {
        release();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}
