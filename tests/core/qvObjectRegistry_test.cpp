#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvObjectRegistry.hpp>
#include <orvane/core/qvObjectRegistryInternal.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "qvStreamTestBuffers.hpp"

using stream_test::bytes;

// The largest single allocation since the last reset: proves that a load
// sizes nothing by the count it was given.
namespace {
std::size_t largest_allocation = 0;
}

// g++ sees through the replacement into the containers' inlined
// deallocations and takes the free() of a new'd block for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
    if (n > largest_allocation) largest_allocation = n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// Id 1 "a", id 2 free (first free 2, its link 0).
const std::string a_and_free =
    bytes("02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 00 00 00 00");

int tag_a, tag_b, tag_c, tag_d;
void* const obj_a = &tag_a;
void* const obj_b = &tag_b;
void* const obj_c = &tag_c;
void* const obj_d = &tag_d;

using Registry = std::unique_ptr<qvObjectRegistryInternal>;
Registry make() { return Registry(qvObjectRegistryInternal::create()); }

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
    for (qvIndirectIterator<qvWrap<long>> i = registry.enumerate(from); i; ++i)
        ids.push_back(*i);
    return ids;
}

// The message of what `action` raises as E, or "" when it raises nothing.
template <class E>
std::string raised(auto&& action) {
    try {
        action();
    } catch (E const& e) {
        return static_cast<char const*>(e);
    }
    return "";
}

}  // namespace

// ---- ids ---------------------------------------------------------------------

TEST(qvObjectRegistryIds, Freed_ids_return_last_freed_first) {
    Registry r = make();
    EXPECT_EQ(r->insert("a", obj_a), 1);
    EXPECT_EQ(r->insert("b", obj_b), 2);
    EXPECT_EQ(r->insert("c", obj_c), 3);
    EXPECT_EQ(r->size(), 3);
    EXPECT_EQ(r->remove(2), obj_b);
    EXPECT_EQ(r->insert("d", obj_d), 2);
    r->remove(1);
    r->remove(3);
    EXPECT_EQ(r->insert("e", nullptr), 3);
    EXPECT_EQ(r->insert("f", nullptr), 1);
    EXPECT_EQ(r->insert("g", nullptr), 4);
    EXPECT_EQ(r->size(), 4);
}

TEST(qvObjectRegistryIds, Registered_name_with_its_own_object_keeps_its_id) {
    Registry r = make();
    r->insert("a", obj_a);
    r->insert("b", obj_b);
    EXPECT_EQ(r->insert("a", obj_a), 1);
    EXPECT_EQ(r->size(), 2);
    EXPECT_EQ(r->insert("z", nullptr), 3);
}

TEST(qvObjectRegistryIds, Removed_id_has_empty_name_no_object_and_no_index) {
    Registry r = make();
    r->insert("a", obj_a);
    r->insert("b", obj_b);
    r->remove(2);
    EXPECT_STREQ(r->name(2), "");
    EXPECT_EQ(r->object(2), nullptr);
    EXPECT_EQ(r->id("b"), 0);
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_EQ(r->object(1), obj_a);
}

TEST(qvObjectRegistryIds, Ids_outside_the_table_give_null_and_change_nothing) {
    Registry r = make();
    r->insert("a", obj_a);
    r->insert("b", obj_b);
    for (long bad : {0L, 3L, -1L}) {
        EXPECT_EQ(r->remove(bad), nullptr) << bad;
        EXPECT_EQ(r->name(bad), nullptr) << bad;
        EXPECT_EQ(r->object(bad), nullptr) << bad;
    }
    EXPECT_EQ(r->size(), 2);
    EXPECT_EQ(r->insert("c", obj_c), 3);
}

// A second remove of one id must not link it into the free list twice, or
// two later names would share it.
TEST(qvObjectRegistryIds, Removing_an_id_twice_frees_it_once) {
    Registry r = make();
    r->insert("a", obj_a);
    r->insert("b", obj_b);
    r->insert("c", obj_c);
    r->remove(1);
    r->remove(2);
    EXPECT_EQ(r->remove(2), nullptr);
    EXPECT_EQ(r->insert("x", nullptr), 2);
    EXPECT_EQ(r->insert("y", nullptr), 1);
    EXPECT_EQ(r->insert("z", nullptr), 4);
}

TEST(qvObjectRegistryIds, Empty_name_is_a_name_like_any_other) {
    Registry r = make();
    EXPECT_EQ(r->insert("", obj_a), 1);
    EXPECT_EQ(r->id(""), 1);
    r->remove(1);
    EXPECT_EQ(r->id(""), 0);
}

// ---- bad arguments -------------------------------------------------------

TEST(qvObjectRegistryChecks, Null_name_fails_key_and_changes_nothing) {
    Registry r = make();
    r->insert("a", obj_a);
    EXPECT_EQ(raised<qvAssertionError>([&] { r->insert(nullptr, obj_b); }), "key");
    EXPECT_EQ(raised<qvAssertionError>([&] { r->id(nullptr); }), "key");
    EXPECT_EQ(raised<qvAssertionError>([&] { r->enumerate(nullptr); }), "key");
    EXPECT_EQ(r->size(), 1);
    EXPECT_EQ(saved(*r), bytes("01 00 00 00 00 00 00 00 01 00 61 00 00 00 00"));
}

TEST(qvObjectRegistryChecks, Registered_name_with_another_object_fails_and_keeps_the_first) {
    Registry r = make();
    r->insert("a", obj_a);
    EXPECT_EQ(raised<qvAssertionError>([&] { r->insert("a", obj_b); }), "obj == v[id-1].obj");
    EXPECT_EQ(r->object(1), obj_a);
    EXPECT_EQ(r->size(), 1);
}

// ---- enumeration ---------------------------------------------------------

TEST(qvObjectRegistryEnumerate, Names_run_in_unsigned_byte_order_from_the_first_not_less) {
    Registry r = make();
    for (char const* name : {"a", "B", "b", "ba", "\xC3"})
        r->insert(name, nullptr);   // ids 1 to 5
    EXPECT_EQ(ids_from(*r, "b"), (std::vector<long>{3, 4, 5}));
    EXPECT_EQ(ids_from(*r, ""), (std::vector<long>{2, 1, 3, 4, 5}));
    EXPECT_EQ(ids_from(*r, "\xFF"), std::vector<long>{});
}

// ---- stream form ---------------------------------------------------------

TEST(qvObjectRegistryStream, Saves_the_21_byte_form) {
    Registry r = make();
    r->insert("a", obj_a);
    r->insert("b", obj_b);
    r->remove(2);
    EXPECT_EQ(saved(*r), a_and_free);
}

TEST(qvObjectRegistryStream, Load_gives_names_without_objects_and_the_same_bytes_back) {
    Registry r = make();
    r->insert("old", obj_a);
    load(*r, a_and_free);
    EXPECT_EQ(r->size(), 2);
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_EQ(r->id("old"), 0);
    EXPECT_EQ(r->object(1), nullptr);
    EXPECT_STREQ(r->name(2), "");
    EXPECT_EQ(r->id(""), 0);   // a free entry is never indexed
    EXPECT_EQ(saved(*r), a_and_free);
    EXPECT_EQ(r->insert("b", obj_b), 2);
    EXPECT_EQ(r->id(""), 0);
}

TEST(qvObjectRegistryStream, Free_list_survives_a_round_trip) {
    Registry r = make();
    for (char const* name : {"a", "b", "c", "d", "e"})
        r->insert(name, nullptr);
    r->remove(2);
    r->remove(5);
    r->remove(1);   // free list 1 -> 5 -> 2
    Registry copy = make();
    load(*copy, saved(*r));
    EXPECT_EQ(saved(*copy), saved(*r));
    EXPECT_EQ(copy->insert("x", nullptr), 1);
    EXPECT_EQ(copy->insert("y", nullptr), 5);
    EXPECT_EQ(copy->insert("z", nullptr), 2);
    EXPECT_EQ(copy->insert("w", nullptr), 6);
}

TEST(qvObjectRegistryStream, Loaded_registered_empty_name_stays_indexed) {
    Registry r = make();
    load(*r, bytes("01 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(r->id(""), 1);
    EXPECT_EQ(ids_from(*r, ""), std::vector<long>{1});
}

// The link word of a registered entry means nothing; it is not checked, and
// it is written back as 0.
TEST(qvObjectRegistryStream, Link_of_a_registered_entry_is_ignored) {
    Registry r = make();
    load(*r, bytes("01 00 00 00 00 00 00 00 01 00 61 63 00 00 00"));
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_EQ(saved(*r), bytes("01 00 00 00 00 00 00 00 01 00 61 00 00 00 00"));
}

// A repeated name in a stream is indexed for its first entry; removing the
// second must not unindex the first.
TEST(qvObjectRegistryStream, Repeated_name_is_indexed_once) {
    Registry r = make();
    load(*r, bytes("02 00 00 00 00 00 00 00 01 00 61 00 00 00 00 01 00 61 00 00 00 00"));
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_STREQ(r->name(2), "a");
    EXPECT_EQ(r->remove(2), nullptr);
    EXPECT_EQ(r->id("a"), 1);
    EXPECT_EQ(r->insert("b", nullptr), 2);
}

// ---- hostile input -------------------------------------------------------

class qvObjectRegistryLoadFailure : public ::testing::Test {
protected:
    void SetUp() override {
        registry->insert("x", obj_a);
        registry->insert("y", obj_b);
        before = saved(*registry);
    }
    // The error of loading `data`, as "type: message".
    std::string load_error(std::string const& data) {
        try {
            load(*registry, data);
        } catch (qvErrorFrom<qvInputStream> const& e) {
            return std::string("qvInputStream: ") + static_cast<char const*>(e);
        } catch (qvErrorFrom<qvString> const& e) {
            return std::string("qvString: ") + static_cast<char const*>(e);
        }
        return "loaded";
    }
    void expect_unchanged() {
        EXPECT_EQ(saved(*registry), before);
        EXPECT_EQ(registry->id("x"), 1);
        EXPECT_EQ(registry->object(2), obj_b);
    }

    Registry registry = make();
    std::string before;
};

TEST_F(qvObjectRegistryLoadFailure, Every_cut_of_the_21_bytes_fails_and_keeps_the_registry) {
    for (std::size_t cut = 0; cut < a_and_free.size(); ++cut) {
        // Byte 10 is the one byte of the first name; every other cut falls
        // in a fixed-size field.
        const std::string expected = cut == 10 ? "qvString: Incomplete string on input"
                                               : "qvInputStream: Incomplete data on input";
        EXPECT_EQ(load_error(a_and_free.substr(0, cut)), expected) << "cut after " << cut;
        expect_unchanged();
    }
}

TEST_F(qvObjectRegistryLoadFailure, Huge_count_allocates_only_for_what_arrived) {
    largest_allocation = 0;
    EXPECT_EQ(load_error(bytes("FF FF FF 7F 00 00 00 00 00 00")),
              "qvInputStream: Incomplete data on input");
    EXPECT_LT(largest_allocation, 4096u);
    expect_unchanged();
}

TEST_F(qvObjectRegistryLoadFailure, Inconsistent_counts_and_links_are_refused) {
    const char* const invalid[] = {
        "FF FF FF FF 00 00 00 00",                                               // count -1
        "02 00 00 00 03 00 00 00 01 00 61 00 00 00 00 00 00 00 00 00 00",        // first free 3
        "02 00 00 00 FF FF FF FF 01 00 61 00 00 00 00 00 00 00 00 00 00",        // first free -1
        "03 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 05 00 00 00"
        " 00 00 00 00 00 00",                                                    // link 5
        "02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 02 00 00 00",        // 2 -> 2
        "03 00 00 00 02 00 00 00 01 00 61 00 00 00 00 00 00 03 00 00 00"
        " 00 00 02 00 00 00",                                                    // 2 -> 3 -> 2
        "02 00 00 00 02 00 00 00 01 00 61 00 00 00 00 01 00 62 00 00 00 00",     // free "b"
    };
    for (char const* hex : invalid) {
        EXPECT_EQ(load_error(bytes(hex)), "qvInputStream: Invalid object registry on input") << hex;
        expect_unchanged();
    }
}

// ---- typed owner -----------------------------------------------------------

TEST(qvObjectRegistryTyped, Saves_and_loads_the_bytes_of_the_registry_it_owns) {
    struct Folder {};
    Folder a, b;
    qvObjectRegistry<Folder> typed;
    EXPECT_EQ(typed.insert("a", &a), 1);
    EXPECT_EQ(typed.insert("b", &b), 2);
    EXPECT_EQ(typed.object(2), &b);
    EXPECT_EQ(typed.remove(2), &b);
    EXPECT_EQ(saved(typed), a_and_free);

    qvObjectRegistry<Folder> loaded;
    load(loaded, a_and_free);
    EXPECT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.id("a"), 1);
    EXPECT_STREQ(loaded.name(1), "a");
    EXPECT_EQ(loaded.object(1), nullptr);
    EXPECT_EQ(saved(loaded), a_and_free);
}
