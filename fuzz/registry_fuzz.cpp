// libFuzzer target of the named object registry's load. A load ends in a
// registry or a qvError (the registry then unchanged: empty). A loaded
// registry must answer every query, enumerate its names in order, save, and
// load back into the same bytes; inserting and removing a name afterwards
// must work as on any registry.

#include "fuzz_support.hpp"

#include <orvane/core/qvObjectRegistryInternal.hpp>

#include <memory>

namespace {

using Registry = std::unique_ptr<qvObjectRegistryInternal>;

void walk(qvObjectRegistryInternal& registry) {
    const long size = registry.size();
    for (long id = 1; id <= size; ++id) {
        char const* name = registry.name(id);
        if (name == nullptr) std::abort();
        const long found = registry.id(name);
        if (found < 0 || found > size) std::abort();
    }
    if (registry.name(size + 1) != nullptr || registry.object(0) != nullptr) std::abort();
    std::string previous;
    long count = 0;
    for (qvIndirectIterator<qvWrap<long>> it = registry.enumerate(""); it; ++it, ++count) {
        const std::string name = registry.name(*it);
        if (count > 0 && name <= previous) std::abort();   // strictly ascending, as unsigned bytes
        previous = name;
    }
    if (count > size) std::abort();
}

std::string saved(qvObjectRegistryInternal const& registry) {
    return qvfuzz::saved([&](qvOutputStream& out) { registry.save(out); }, qvVersion());
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    std::stringbuf buffer(qvfuzz::bytes_of(data, size));
    qvInputStream in(&buffer);
    Registry registry(qvObjectRegistryInternal::create());
    if (!qvfuzz::attempt([&] { registry->load(in); })) {
        if (registry->size() != 0) std::abort();   // a failed load changes nothing
        return 0;
    }
    walk(*registry);

    const std::string first = saved(*registry);
    std::stringbuf again(first);
    qvInputStream reread(&again);
    Registry copy(qvObjectRegistryInternal::create());
    if (!qvfuzz::attempt([&] { copy->load(reread); })) std::abort();
    qvfuzz::require_same(first, saved(*copy), "registry");

    const long id = registry->insert("fuzz/inserted", nullptr);
    if (id <= 0 || registry->id("fuzz/inserted") != id) std::abort();
    registry->remove(id);
    walk(*registry);
    return 0;
}
