#include <orvane/core/qvClassRegistry.hpp>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using TestRegistry = qvClassRegistry<"Test Class Registry">;

int tag;

}  // namespace

TEST(qvClassRegistry, Same_text_names_the_same_type) {
    EXPECT_TRUE((std::is_same_v<qvClassRegistry<"ProxyClass Registry">,
                                qvClassRegistry<"ProxyClass Registry">>));
    EXPECT_STREQ(qvClassRegistry<"FlavorClass Registry">::get_name(), "FlavorClass Registry");
    EXPECT_EQ(&qvClassRegistry<"ProxyClass Registry">::holder(),
              &qvClassRegistry<"ProxyClass Registry">::holder());
}

TEST(qvClassRegistry, Get_or_create_registers_an_empty_registry_under_the_name) {
    qvUniqueObject<TestRegistry>& holder = TestRegistry::holder();
    TestRegistry* const made = holder.get();
    EXPECT_EQ(made->registry().lookup(1), nullptr);
    EXPECT_EQ(qvLookupRegistry("Test Class Registry"), made);
    EXPECT_FALSE(qvRemoveRegistry("Test Class Registry"));
    holder.release();
    EXPECT_EQ(holder.object, nullptr);
    EXPECT_EQ(qvLookupRegistry("Test Class Registry"), nullptr);
}

// Another module's holder of the name shares the registry, and the last
// release deletes it.
TEST(qvClassRegistry, Holders_of_one_name_share_one_registry) {
    qvUniqueObject<TestRegistry>& ours = TestRegistry::holder();
    qvUniqueObject<TestRegistry> theirs;
    theirs.get()->registry().insert(3, &tag);
    EXPECT_EQ(ours.get(), theirs.object);
    EXPECT_EQ(ours->registry().lookup(3), &tag);
    theirs.release();
    EXPECT_EQ(ours->registry().lookup(3), &tag);
    ours.release();
    EXPECT_EQ(ours.object, nullptr);
    EXPECT_EQ(qvLookupRegistry("Test Class Registry"), nullptr);
}

// A class destroyed after the last release re-creates an empty registry.
TEST(qvClassRegistry, Released_holder_refills_with_a_new_empty_registry) {
    qvUniqueObject<TestRegistry>& holder = TestRegistry::holder();
    holder.get()->registry().insert(7, &tag);
    holder.release();
    EXPECT_EQ(holder.get()->registry().lookup(7), nullptr);
    holder.release();
}
