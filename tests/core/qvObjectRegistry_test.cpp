// Object registries. Named: 1-based ids reused last freed first (palette
// streams show them), the name index in unsigned byte order, a stream form
// loaded as hostile input. Integer-keyed: the first object keeps its key.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvObjectRegistryInternal.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvStaticObjectRegistryInternal.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStaticObjectRegistryImplementation.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "qvAllocationProbe.hpp"
#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using qv_file_test::raises;
using stream_test::bytes;

namespace {

// Id 1 "a", id 2 free (first free 2, its link 0).
const std::string a_and_free = bytes("02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 00 00 00 00");

int tags[2];
void* const obj_a = &tags[0];
void* const obj_b = &tags[1];

using Registry = std::unique_ptr<qvObjectRegistryInternal>;
Registry make(std::initializer_list<char const*> names = {}) {
    Registry r(qvObjectRegistryInternal::create());
    for (char const* name : names) r->insert(name, nullptr);
    return r;
}

std::string saved(qvStreamPersistence const& object) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion(), false);
    object.save(os);
    return buffer.str();
}

void load(qvStreamPersistence& object, std::string const& data) {
    std::stringbuf buffer(data);
    qvInputStream is(&buffer);
    object.load(is);
}

std::vector<long> ids_from(qvObjectRegistryInternal& registry, char const* from) {
    std::vector<long> ids;
    for (qvIndirectIterator<qvWrap<long>> i = registry.enumerate(from); i; ++i) ids.push_back(*i);
    return ids;
}

// What inserting each name gives, in order.
std::vector<long> inserted(qvObjectRegistryInternal& registry, std::initializer_list<char const*> names) {
    std::vector<long> ids;
    for (char const* name : names) ids.push_back(registry.insert(name, nullptr));
    return ids;
}

}  // namespace

TEST(qvObjectRegistryIds, Freed_ids_return_last_freed_first_and_bad_ids_change_nothing) {
    Registry r = make();
    EXPECT_EQ(r->insert("a", obj_a), 1);
    EXPECT_EQ(r->insert("b", obj_b), 2);
    EXPECT_EQ(r->insert("c", nullptr), 3);
    EXPECT_EQ(r->insert("a", obj_a), 1);   // its own object: nothing changes
    EXPECT_EQ(r->remove(2), obj_b);
    EXPECT_EQ(r->id("b"), 0);
    r->remove(1);
    EXPECT_EQ(r->remove(1), nullptr);   // linking it twice would give it to two names
    for (long bad : {0L, 4L, -1L}) EXPECT_EQ(r->remove(bad), nullptr) << bad;
    EXPECT_EQ(r->name(4), nullptr);
    EXPECT_EQ(inserted(*r, {"e", "f", "g"}), (std::vector<long>{1, 2, 4}));
}

TEST(qvObjectRegistryIds, Null_name_or_another_object_raises_and_changes_nothing) {
    Registry r = make();
    r->insert("a", obj_a);
    EXPECT_TRUE(raises<qvAssertionError>([&] { r->insert(nullptr, obj_b); }, "key"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { r->insert("a", obj_b); }, "obj == v[id-1].obj"));
    EXPECT_EQ(r->object(1), obj_a);
    EXPECT_EQ(r->size(), 1);
}

TEST(qvObjectRegistryEnumerate, Names_run_in_unsigned_byte_order_from_the_first_not_less) {
    Registry r = make({"a", "B", "b", "ba", "\xC3"});
    EXPECT_EQ(ids_from(*r, "b"), (std::vector<long>{3, 4, 5}));
    EXPECT_EQ(ids_from(*r, ""), (std::vector<long>{2, 1, 3, 4, 5}));
}

TEST(qvObjectRegistryStream, Saves_and_loads_the_21_byte_form_without_objects) {
    Registry r = make({"a", "b"});
    r->remove(2);
    EXPECT_EQ(saved(*r), a_and_free);
    Registry loaded = make({"old"});
    load(*loaded, a_and_free);
    EXPECT_EQ(loaded->id("old"), 0);
    EXPECT_EQ(loaded->object(1), nullptr);
    EXPECT_EQ(loaded->id(""), 0);   // a free entry is never indexed
    EXPECT_EQ(saved(*loaded), a_and_free);
}

TEST(qvObjectRegistryStream, Free_list_survives_a_round_trip) {
    Registry r = make({"a", "b", "c", "d", "e"});
    for (long id : {2L, 5L, 1L}) r->remove(id);   // free list 1 -> 5 -> 2
    Registry copy = make();
    load(*copy, saved(*r));
    EXPECT_EQ(inserted(*copy, {"x", "y", "z", "w"}), (std::vector<long>{1, 5, 2, 6}));
}

// Regression: removing the second entry of a repeated name unindexed the first.
TEST(qvObjectRegistryStream, A_repeated_name_is_indexed_for_its_first_entry_only) {
    Registry r = make();
    load(*r, bytes("02 00 00 00 00 00 00 00 01 00 61 00 00 00 00 01 00 61 00 00 00 00"));
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_EQ(r->remove(2), nullptr);
    EXPECT_EQ(r->id("a"), 1);
}

// Loading hostile bytes into a registry holding "x" and "y" fails with
// "class: message" and leaves the registry as it was.
static std::string refusal(std::string const& data) {
    Registry r = make({"x", "y"});
    const std::string before = saved(*r);
    std::string error = "loaded";
    try {
        load(*r, data);
    } catch (qvErrorFrom<qvInputStream> const& e) {
        error = std::string("qvInputStream: ") + static_cast<char const*>(e);
    } catch (qvErrorFrom<qvString> const& e) {
        error = std::string("qvString: ") + static_cast<char const*>(e);
    }
    EXPECT_EQ(saved(*r), before);
    EXPECT_EQ(r->id("y"), 2);
    return error;
}

TEST(qvObjectRegistryStream, Cut_huge_or_inconsistent_input_is_refused_and_changes_nothing) {
    // Byte 10 is the one byte of the first name; every other cut falls in a
    // fixed-size field.
    for (std::size_t cut = 0; cut < a_and_free.size(); ++cut)
        EXPECT_EQ(refusal(a_and_free.substr(0, cut)), cut == 10 ? "qvString: Incomplete string on input"
                                                                 : "qvInputStream: Incomplete data on input") << cut;
    qv_allocation_probe::reset();
    EXPECT_EQ(refusal(bytes("FF FF FF 7F 00 00 00 00 00 00")), "qvInputStream: Incomplete data on input");
    EXPECT_LT(qv_allocation_probe::largest_request, 4096u);
    const char* const invalid[] = {
        "FF FF FF FF 00 00 00 00",                                                           // count -1
        "02 00 00 00 03 00 00 00 01 00 61 00 00 00 00 00 00 00 00 00 00",                    // first free 3
        "02 00 00 00 FF FF FF FF 01 00 61 00 00 00 00 00 00 00 00 00 00",                    // first free -1
        "03 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 05 00 00 00 00 00 00 00 00 00",  // link 5
        "02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 02 00 00 00",                    // 2 -> 2
        "03 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 03 00 00 00 00 00 02 00 00 00",  // 2 -> 3 -> 2
        "02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 01 00 62 00 00 00 00",                 // free "b"
    };
    for (char const* hex : invalid) EXPECT_EQ(refusal(bytes(hex)), "qvInputStream: Invalid object registry on input") << hex;
}

TEST(qvStaticObjectRegistry, First_object_keeps_its_key_and_absent_keys_give_0_or_null) {
    std::unique_ptr<qvStaticObjectRegistryInternal> r(qvStaticObjectRegistryInternal::create());
    EXPECT_TRUE(r->insert(5, obj_a));
    EXPECT_TRUE(r->insert(5, obj_a));
    EXPECT_FALSE(r->insert(5, obj_b));
    EXPECT_EQ(r->lookup(5), obj_a);
    EXPECT_EQ(r->lookup(22), nullptr);   // same bucket as 5 among 17
    EXPECT_EQ(r->remove(22), 0);
    EXPECT_EQ(r->remove(5), 1);
    EXPECT_EQ(r->lookup(5), nullptr);
}

TEST(qvStaticObjectRegistry, Four_thousand_keys_survive_growth_and_half_removal) {
    qvStaticObjectRegistryImplementation r;
    std::vector<long> keys;   // colliding often for small bucket counts, negatives included
    for (long i = 0; i < 4000; ++i) keys.push_back((i % 2 == 0 ? 1 : -1) * i * 1024 + i % 3);
    std::vector<int> objects(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_TRUE(r.insert(keys[i], &objects[i])) << keys[i];
    EXPECT_GE(r.bucket_count(), keys.size());
    for (std::size_t i = 0; i < keys.size(); i += 2) ASSERT_EQ(r.remove(keys[i]), 1) << keys[i];
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(r.lookup(keys[i]), i % 2 == 0 ? nullptr : &objects[i]) << keys[i];
}

// Another module's holder of the name shares the registry; the last release
// deletes it, and a class destroyed after that re-creates an empty one.
TEST(qvClassRegistry, Holders_of_one_name_share_one_registry_and_refill_empty) {
    using Test = qvClassRegistry<"Test Class Registry">;
    qvUniqueObject<Test>& ours = Test::holder();
    qvUniqueObject<Test> theirs;
    theirs.get()->registry().insert(3, obj_a);
    EXPECT_EQ(ours.get(), theirs.object);
    theirs.release();
    EXPECT_EQ(ours->registry().lookup(3), obj_a);
    ours.release();
    EXPECT_EQ(ours.object, nullptr);
    EXPECT_EQ(qvLookupRegistry("Test Class Registry"), nullptr);
    EXPECT_EQ(ours.get()->registry().lookup(3), nullptr);
    ours.release();
}
