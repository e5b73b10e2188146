// What a program finds registered once the library is loaded. This program
// uses nothing of the start-up code itself, so it also proves that the
// registrations are linked in from the static library.

#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/shapes/qvProxyClass.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>

#include "qvStartupRegistrations.hpp"

namespace {

// Looks the name up and gives the use back at once.
void* registered(char const* name) {
    void* const object = qvLookupRegistry(name);
    if (object != nullptr) {
        EXPECT_FALSE(qvRemoveRegistry(name)) << name << ": the library holds a use too";
    }
    return object;
}

// Until classes are registered, a class registry answers null for any key.
template <qvRegistryName Name>
void expect_empty_and_registered() {
    auto* const registry = static_cast<qvClassRegistry<Name>*>(registered(Name.value));
    ASSERT_NE(registry, nullptr) << Name.value;
    EXPECT_EQ(qvClassRegistry<Name>::holder().object, registry) << Name.value;
    for (long key : {LONG_MIN, -1L, 0L, 1L, 2L, 100L, LONG_MAX})
        EXPECT_EQ(registry->registry().lookup(key), nullptr) << Name.value << " " << key;
}

// The proxy-class registry finds the classes registered at load under
// their ids, each knowing its id, and nothing under any other key.
void expect_proxy_classes_registered() {
    using Registry = qvClassRegistry<"ProxyClass Registry">;
    auto* const registry = static_cast<Registry*>(registered(Registry::get_name()));
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(Registry::holder().object, registry);
    const auto& ids = startup_test::proxy_class_ids;
    for (long key : {LONG_MIN, -1L, 0L, 1L, 2L, 3L, 4L, 5L, 6L, 7L, 8L, 9L, 10L, 11L, 12L, 13L, 14L, 15L, 16L, 17L,
                     100L, LONG_MAX}) {
        auto* const found = static_cast<qvProxyClass*>(registry->registry().lookup(key));
        if (std::find(ids.begin(), ids.end(), key) == ids.end()) {
            EXPECT_EQ(found, nullptr) << key;
            continue;
        }
        ASSERT_NE(found, nullptr) << key;
        EXPECT_EQ(found->handle(), key);
        EXPECT_TRUE(found->registered()) << key;
    }
}

}  // namespace

TEST(qvStartup, Every_interface_record_and_class_registry_is_registered_once) {
    std::set<void*> records;
    for (char const* name : startup_test::interface_names) {
        void* const record = registered(name);
        EXPECT_NE(record, nullptr) << name;
        records.insert(record);
    }
    EXPECT_EQ(records.size(), startup_test::interface_names.size());
    expect_empty_and_registered<"TextExtentClass Registry">();
    expect_proxy_classes_registered();
    expect_empty_and_registered<"FlavorClass Registry">();
}

TEST(qvStartup, Typed_holder_finds_the_record_registered_at_load) {
    void* const at_load = registered("qvScene");
    EXPECT_EQ(qvInterfaceInfoInstantiation<SceneBoundInTest>::get_interface_info().get(), at_load);
    EXPECT_EQ(&qvInterfaceIdentity<SceneBoundInTest>(), at_load);
}
