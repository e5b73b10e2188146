// The registry of unique objects: use counts, the module's hold on the map,
// and the holders' get-or-create and release.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include "startup/qvLibraryStatics.hpp"

#include <gtest/gtest.h>

#include "qvFileTestSupport.hpp"
#include "qvStartupRegistrations.hpp"

#include <string>

using qv_file_test::raises;

namespace {

struct Palette {
    static char const* get_name() { return "Unique test palette"; }
    Palette() { ++made; }
    virtual ~Palette() { ++destroyed; }
    static inline int made = 0;
    static inline int destroyed = 0;
};

// Every test starts and ends without a registry map: whatever a test takes,
// it gives back, and the map is then freed.
class qvRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        qvUnloadLibrary();   // the library's own registrations use the map too
        startup_test::release_late_proxy_registry();
        ASSERT_EQ(qvUniquePtr(), nullptr);
        Palette::made = Palette::destroyed = 0;
    }
    void TearDown() override { EXPECT_EQ(qvUniquePtr(), nullptr) << "map not freed"; }
};

int object_tag = 0;
void* const object = &object_tag;

}  // namespace

// Regression: a look-up from an early static made the module's hold, then the
// start-up statics took a second one, and the map was never freed at unload.
TEST_F(qvRegistry, The_module_holds_the_map_once_however_often_it_asks) {
    EXPECT_EQ(qvLookupRegistry("qvSceneInterface"), nullptr);   // counts nothing
    qvAcquireRegistryMap();
    qvAcquireRegistryMap();
    qvReleaseRegistryMap();
    EXPECT_EQ(qvUniquePtr(), nullptr);
    qvReleaseRegistryMap();   // nothing left to release
}

TEST_F(qvRegistry, Lookup_lock_and_insert_count_one_use_each_and_names_match_by_text) {
    char inserted[] = "Folder Registry";
    const std::string same_text = inserted;
    int other = 0;
    qvInsertRegistry(inserted, object);
    qvInsertRegistry(same_text.c_str(), &other);   // keeps the first object
    EXPECT_EQ(qvLookupRegistry(same_text.c_str()), object);
    qvLockRegistry(inserted);
    qvReleaseRegistryMap();                        // the module's hold
    EXPECT_FALSE(qvRemoveRegistry(inserted));
    EXPECT_FALSE(qvRemoveRegistry(inserted));
    EXPECT_TRUE(qvRemoveRegistry(inserted));       // last user of the name
    EXPECT_FALSE(qvRemoveRegistry(nullptr));       // the second insert's map use
    EXPECT_EQ(qvUniquePtr(), nullptr);
    // The module's slot was cleared too: this look-up makes a fresh map
    // instead of reading the freed one.
    EXPECT_EQ(qvLookupRegistry("Folder Registry"), nullptr);
    qvReleaseRegistryMap();
}

TEST_F(qvRegistry, Null_name_hands_out_or_replaces_the_map) {
    qvAcquireRegistryMap();
    void* const map = qvLookupRegistry(nullptr);
    EXPECT_EQ(map, qvUniquePtr());
    int foreign = 0;
    qvInsertRegistry(nullptr, &foreign);
    EXPECT_EQ(qvUniquePtr(), &foreign);
    qvInsertRegistry(nullptr, map);
    qvReleaseRegistryMap();
    EXPECT_FALSE(qvRemoveRegistry(nullptr));   // the look-up's use
}

TEST_F(qvRegistry, Lock_or_remove_of_an_unregistered_name_raises) {
    EXPECT_TRUE(raises<qvAssertionError>([] { qvLockRegistry("Unique test palette"); }, "p != registry->end()"));
    EXPECT_TRUE(raises<qvAssertionError>([] { qvRemoveRegistry("Unique test palette"); }, "p != reg->end()"));
    qvReleaseRegistryMap();
}

// Regression: a holder released by hand was released again by its destructor.
TEST_F(qvRegistry, Holders_share_one_object_the_last_deletes_it_and_a_holder_refills) {
    {
        qvUniqueObject<Palette> first, second;
        EXPECT_EQ(first.get(), second.get());
        first.release();
        EXPECT_EQ(Palette::destroyed, 0);
        second.release();
        EXPECT_EQ(Palette::destroyed, 1);
        EXPECT_NE(second.get(), nullptr);
    }   // the destructors release the late object only
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
    EXPECT_TRUE(qvRemoveRegistry(Palette::get_name()));
    delete theirs;
    qvReleaseRegistryMap();
}

TEST(qvRegistryDeathTest, Failed_release_in_a_holder_destructor_aborts) {
    EXPECT_DEATH(
        {
            qvUniqueObject<Palette> holder;
            holder.get();
            qvRemoveRegistry(Palette::get_name());   // the holder's use, taken from under it
        },
        "Unexpected Orvane error: .*assertion failed: p != reg->end\\(\\)");
}
