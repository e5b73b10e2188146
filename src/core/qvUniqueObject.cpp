// The registry map behind qvLookupRegistry and its kin.
//
// Keeps true: `process_map` and `module_slot` are null or point to one live
// qvRegistryMap; the map is freed only when its use count returns to 0, and
// the same step clears both pointers when they refer to it. Both are plain
// constant-initialised pointers, valid before any dynamic initialiser runs
// and never destroyed at exit.

#include "core/qvLibraryStaticsAnchor.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include <cstring>
#include <map>

namespace {

struct NameLess {
    bool operator()(char const* a, char const* b) const noexcept {
        return std::strcmp(a, b) < 0;
    }
};

struct Entry {
    void* object;
    int count;
};

struct qvRegistryMap {
    int use_count = 1;
    std::map<char const*, Entry, NameLess> entries;
};

// Whoever links the registry links the start-up registrations with it.
[[gnu::used]] constinit char const* const unique_object_anchor = &qvLibraryStaticsAnchor;

constinit void* process_map = nullptr;
constinit qvRegistryMap* module_slot = nullptr;
constinit bool module_holds_map = false;   // the module's own use of module_slot

qvRegistryMap* as_map(void* p) noexcept { return static_cast<qvRegistryMap*>(p); }

// The map the module works on, made (or joined) when the slot is empty.
qvRegistryMap& module_map() {
    if (module_slot == nullptr)
        qvAcquireRegistryMap();
    return *module_slot;
}

// The map already in use, if any; nothing is created.
qvRegistryMap* existing_map() noexcept {
    return module_slot != nullptr ? module_slot : as_map(process_map);
}

void drop_use(qvRegistryMap* map) noexcept {
    if (--map->use_count != 0)
        return;
    if (module_slot == map) {
        module_slot = nullptr;
        module_holds_map = false;
    }
    if (process_map == map)
        process_map = nullptr;
    delete map;
}

}  // namespace

void* qvUniquePtr() noexcept { return process_map; }

void qvUniquePtr(void* map) noexcept { process_map = map; }

// The module holds at most one use of the map: a look-up from another static
// may have made the hold before the start-up statics ask for it, and a second
// hold would keep the map alive after unload. After the release the slot
// still names the map, which its registered entries keep alive.
void qvAcquireRegistryMap() {
    if (module_holds_map)
        return;
    if (qvRegistryMap* const shared = as_map(qvUniquePtr())) {
        ++shared->use_count;
        module_slot = shared;
    } else {
        module_slot = new qvRegistryMap;
        qvUniquePtr(module_slot);
    }
    module_holds_map = true;
}

void qvReleaseRegistryMap() {
    if (!module_holds_map || module_slot == nullptr)
        return;
    module_holds_map = false;
    drop_use(module_slot);
}

void* qvLookupRegistry(char const* name) {
    if (name == nullptr) {
        qvRegistryMap* const map = existing_map();
        if (map != nullptr)
            ++map->use_count;
        return map;
    }
    qvRegistryMap& map = module_map();
    const auto p = map.entries.find(name);
    if (p == map.entries.end())
        return nullptr;
    ++p->second.count;
    ++map.use_count;
    return p->second.object;
}

void qvLockRegistry(char const* name) {
    QV_ASSERT_TEXT(name != nullptr, "p != registry->end()");
    qvRegistryMap& map = module_map();
    const auto p = map.entries.find(name);
    QV_ASSERT_TEXT(p != map.entries.end(), "p != registry->end()");
    ++p->second.count;
    ++map.use_count;
}

void qvInsertRegistry(char const* name, void* object) {
    if (name == nullptr) {
        qvUniquePtr(object);
        return;
    }
    qvRegistryMap& map = module_map();
    map.entries.try_emplace(name, Entry{object, 1});
    ++map.use_count;
}

bool qvRemoveRegistry(char const* name) {
    qvRegistryMap* const map = existing_map();
    if (map == nullptr)
        return false;
    bool last_user = false;
    if (name != nullptr) {
        const auto p = map->entries.find(name);
        QV_ASSERT_TEXT(p != map->entries.end(), "p != reg->end()");
        if (--p->second.count == 0) {
            map->entries.erase(p);
            last_user = true;
        }
    }
    drop_use(map);
    return last_user;
}
