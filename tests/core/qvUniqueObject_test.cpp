#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include "startup/qvLibraryStatics.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Palette {
    static char const* get_name() { return "Gadget palette"; }
    Palette() { ++made; }
    virtual ~Palette() { ++destroyed; }
    static inline int made = 0;
    static inline int destroyed = 0;
};

std::string assertion_text(auto&& action) {
    try {
        action();
    } catch (qvAssertionError const& e) {
        return static_cast<char const*>(e);
    }
    return "no assertion";
}

// Every test starts and ends without a registry map: whatever a test takes,
// it gives back, and the map is then freed.
class qvRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        qvUnloadLibrary();   // the library's own registrations use the map too
        ASSERT_EQ(qvUniquePtr(), nullptr);
        Palette::made = Palette::destroyed = 0;
    }
    void TearDown() override { EXPECT_EQ(qvUniquePtr(), nullptr) << "map not freed"; }
};

int object_tag = 0;
void* const object = &object_tag;

}  // namespace

TEST_F(qvRegistry, Missed_lookup_returns_null_and_counts_nothing) {
    qvAcquireRegistryMap();
    EXPECT_EQ(qvLookupRegistry("qvSceneInterface"), nullptr);
    qvReleaseRegistryMap();   // the hold was the only use: the map goes
}

TEST_F(qvRegistry, First_lookup_makes_the_map_and_keeps_a_module_hold) {
    EXPECT_EQ(qvLookupRegistry("qvSceneInterface"), nullptr);
    EXPECT_NE(qvUniquePtr(), nullptr);
    qvReleaseRegistryMap();
}

// Regression: a look-up from an early static made the module's hold, then the
// start-up statics took a second one, and the map was never freed at unload.
TEST_F(qvRegistry, The_module_holds_the_map_once_however_often_it_asks) {
    EXPECT_EQ(qvLookupRegistry("qvSceneInterface"), nullptr);
    qvAcquireRegistryMap();
    qvAcquireRegistryMap();
    qvReleaseRegistryMap();
    EXPECT_EQ(qvUniquePtr(), nullptr);
    qvReleaseRegistryMap();   // nothing left to release
}

TEST_F(qvRegistry, Lookup_and_lock_count_one_use_each) {
    qvInsertRegistry("Folder Registry", object);
    EXPECT_EQ(qvLookupRegistry("Folder Registry"), object);
    qvLockRegistry("Folder Registry");
    qvReleaseRegistryMap();                          // the module's hold
    EXPECT_FALSE(qvRemoveRegistry("Folder Registry"));
    EXPECT_FALSE(qvRemoveRegistry("Folder Registry"));
    EXPECT_NE(qvUniquePtr(), nullptr);
    EXPECT_TRUE(qvRemoveRegistry("Folder Registry"));   // last user; map goes too
}

TEST_F(qvRegistry, Names_match_by_text_not_by_address) {
    char inserted[] = "ProxyClass Registry";
    const std::string looked_up = "ProxyClass Registry";
    qvInsertRegistry(inserted, object);
    EXPECT_EQ(qvLookupRegistry(looked_up.c_str()), object);
    EXPECT_EQ(qvLookupRegistry("proxyclass registry"), nullptr);
    EXPECT_FALSE(qvRemoveRegistry(looked_up.c_str()));
    EXPECT_TRUE(qvRemoveRegistry(inserted));
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Double_insertion_keeps_the_first_object) {
    int other = 0;
    qvInsertRegistry("UNKNOWN", object);
    qvInsertRegistry("UNKNOWN", &other);
    EXPECT_EQ(qvLookupRegistry("UNKNOWN"), object);
    EXPECT_FALSE(qvRemoveRegistry("UNKNOWN"));
    EXPECT_TRUE(qvRemoveRegistry("UNKNOWN"));
    EXPECT_FALSE(qvRemoveRegistry(nullptr));   // the second insert's map use
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Null_lookup_hands_out_the_map_with_one_more_use) {
    EXPECT_EQ(qvLookupRegistry(nullptr), nullptr);   // no map yet
    qvAcquireRegistryMap();
    void* const map = qvLookupRegistry(nullptr);
    EXPECT_EQ(map, qvUniquePtr());
    qvReleaseRegistryMap();
    EXPECT_EQ(qvUniquePtr(), map);            // still held by the look-up
    EXPECT_FALSE(qvRemoveRegistry(nullptr));  // the legal release of the map
}

TEST_F(qvRegistry, Null_insert_replaces_the_process_wide_pointer) {
    qvAcquireRegistryMap();
    void* const ours = qvUniquePtr();
    int foreign = 0;
    qvInsertRegistry(nullptr, &foreign);
    EXPECT_EQ(qvUniquePtr(), &foreign);
    qvInsertRegistry(nullptr, ours);
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Freed_map_leaves_no_pointer_behind) {
    qvInsertRegistry("Adapter list", object);
    EXPECT_TRUE(qvRemoveRegistry("Adapter list"));
    qvReleaseRegistryMap();
    EXPECT_EQ(qvUniquePtr(), nullptr);
    // The module's slot was cleared too: this look-up makes a fresh map
    // instead of reading the freed one.
    EXPECT_EQ(qvLookupRegistry("Adapter list"), nullptr);
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Remove_without_a_map_returns_false) {
    EXPECT_FALSE(qvRemoveRegistry("Adapter list"));
    EXPECT_FALSE(qvRemoveRegistry(nullptr));
}

TEST_F(qvRegistry, Lock_of_an_unregistered_or_null_name_raises) {
    EXPECT_EQ(assertion_text([] { qvLockRegistry("Gadget palette"); }), "p != registry->end()");
    EXPECT_EQ(assertion_text([] { qvLockRegistry(nullptr); }), "p != registry->end()");
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Remove_of_an_unregistered_name_raises) {
    qvAcquireRegistryMap();
    EXPECT_EQ(assertion_text([] { qvRemoveRegistry("Gadget palette"); }), "p != reg->end()");
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Two_holders_share_one_object_and_the_last_deletes_it) {
    {
        qvUniqueObject<Palette> first;
        qvUniqueObject<Palette> second;
        EXPECT_EQ(first.get(), second.get());
        EXPECT_EQ(Palette::made, 1);
        first.release();
        EXPECT_EQ(first.object, second.object);   // kept: not the last user
        EXPECT_EQ(Palette::destroyed, 0);
        second.release();
        EXPECT_EQ(second.object, nullptr);
        EXPECT_EQ(Palette::destroyed, 1);
    }   // the destructors give back nothing more
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Emptied_holder_refills_with_a_new_object) {
    {
        qvUniqueObject<Palette> holder;
        holder.get();
        holder.release();
        EXPECT_EQ(holder.object, nullptr);
        EXPECT_NE(holder.get(), nullptr);
        EXPECT_EQ(Palette::made, 2);
    }   // the destructor releases the late object
    EXPECT_EQ(Palette::destroyed, 2);
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Holder_adopts_an_object_another_module_registered) {
    Palette* const theirs = new Palette;
    qvInsertRegistry(Palette::get_name(), theirs);
    {
        qvUniqueObject<Palette> ours;
        ours.fill();
        ours.fill();   // already counting: takes no second use
        EXPECT_EQ(ours.object, theirs);
    }
    EXPECT_EQ(Palette::destroyed, 0);   // their use is still counted
    EXPECT_TRUE(qvRemoveRegistry(Palette::get_name()));
    delete theirs;
    qvReleaseRegistryMap();
}

// A holder's destructor cannot throw: a release that fails there ends the
// process with the assertion's text instead.
TEST(qvRegistryDeathTest, Failed_release_in_a_holder_destructor_aborts) {
    EXPECT_DEATH(
        {
            qvUniqueObject<Palette> holder;
            holder.get();
            qvRemoveRegistry(Palette::get_name());   // the holder's use, taken from under it
        },
        "Unexpected Orvane error: .*assertion failed: p != reg->end\\(\\)");
}
