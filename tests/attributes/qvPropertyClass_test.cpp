// The kinds of property classes: words, stream forms, comparison, bad input,
// registration by name and class references.

#include <orvane/attributes/qvComplexPropertyClass.hpp>
#include <orvane/attributes/qvGeneralPropertyClass.hpp>
#include <orvane/attributes/qvReferencePropertyClass.hpp>
#include <orvane/attributes/qvSimplePropertyClass.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStreamFields.hpp"
#include "qvPropertyClassTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

using namespace property_test;

// The largest single allocation since the last reset, so a test can state
// that hostile counts never size an allocation. The replacements pair
// malloc with free, which g++ cannot see through the inlined new and delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::size_t largest_allocation = 0;
}  // namespace

void* operator new(std::size_t size) {
    largest_allocation = std::max(largest_allocation, size);
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using InputError = qvErrorFrom<qvInputStream>;

// A value type that counts its live objects and reads an int32.
struct Probe {
    static inline int alive = 0;
    Probe() { ++alive; }
    Probe(Probe const& other) : value(other.value) { ++alive; }
    ~Probe() { --alive; }
    bool operator==(Probe const& other) const { return value == other.value; }
    std::int32_t value = 0;
};

qvInputStream& operator>>(qvInputStream& is, Probe& probe) {
    probe.value = qvReadValue<std::int32_t>(is);
    return is;
}
qvOutputStream& operator<<(qvOutputStream& os, Probe const& probe) {
    qvWriteValue(os, probe.value);
    return os;
}

// A general block: the count, then the bytes.
std::string block(std::string const& body) {
    return int32_bytes(static_cast<std::int32_t>(body.size())) + body;
}

// The int32 a reader of a simple value finds at the word's value pointer.
std::int32_t simple_value(qvPropertyClass const& type, long const& word) {
    std::int32_t value;
    std::memcpy(&value, type.property(word), sizeof value);
    return value;
}

}  // namespace

// ---------------------------------------------------------------------------
// Simple classes

TEST(qvSimplePropertyClass, Word_holds_the_value_sign_extended) {
    const qvSimplePropertyClass type("test.simple.word");
    const std::int32_t minus_five = -5;
    long word = 0;
    type.create_object(word, &minus_five);
    EXPECT_EQ(word, -5L);
    EXPECT_EQ(simple_value(type, word), -5);
    EXPECT_EQ(type.property(word), static_cast<void const*>(&word));

    long hashed = 0;
    const std::int32_t big = INT32_MIN;
    type.property(hashed, &big);
    EXPECT_EQ(hashed, static_cast<long>(INT32_MIN));
}

TEST(qvSimplePropertyClass, Streams_exactly_four_little_endian_bytes) {
    const qvSimplePropertyClass type("test.simple.stream");
    const long word = -2;
    EXPECT_EQ(saved(type, word), bytes({0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(loaded(type, bytes({0x04, 0x03, 0x02, 0x01})), 0x01020304L);
    EXPECT_EQ(loaded(type, saved(type, word)), word);
}

TEST(qvSimplePropertyClass, Compares_the_32_bit_values) {
    const qvSimplePropertyClass type("test.simple.equal");
    const std::int32_t a = 7, b = 7, c = 8;
    EXPECT_TRUE(type.equal_objects(&a, &b));
    EXPECT_FALSE(type.equal_objects(&a, &c));
    expect_raises<qvAssertionError>([&] { type.equal_objects(&a, nullptr); }, "a && b");
    expect_raises<qvAssertionError>([&] { type.equal_objects(nullptr, &a); }, "a && b");
}

TEST(qvSimplePropertyClass, Value_cut_to_three_bytes_leaves_the_word_untouched) {
    const qvSimplePropertyClass type("test.simple.short");
    Input in(bytes({1, 2, 3}));
    long word = 99;
    expect_raises<InputError>([&] { type.load_object(in.stream(), word); },
                              "Incomplete data on input");
    EXPECT_EQ(word, 99L);
}

TEST(qvReferencePropertyClass, Word_destroyed_without_palette_releases_nothing) {
    const qvReferencePropertyClass type("test.reference");
    const std::int32_t handle = 12;
    long word = 0;
    type.create_object(word, &handle);
    type.destroy_object(word, nullptr);
    EXPECT_EQ(word, 12L);
    EXPECT_EQ(saved(type, word), int32_bytes(12));
}

// ---------------------------------------------------------------------------
// General classes

TEST(qvGeneralPropertyClass, Empty_value_is_its_count_alone) {
    const qvGeneralPropertyClass type("test.general.empty");
    const std::string empty = int32_bytes(0);
    long word = 0;
    type.create_object(word, empty.data());
    EXPECT_EQ(saved(type, word), bytes({0, 0, 0, 0}));
    long back = loaded(type, saved(type, word));
    EXPECT_TRUE(type.equal_objects(type.property(word), type.property(back)));
    type.destroy_object(word, nullptr);
    type.destroy_object(back, nullptr);
    EXPECT_EQ(word, 0L);
}

TEST(qvGeneralPropertyClass, Copies_and_compares_the_whole_block) {
    const qvGeneralPropertyClass type("test.general.equal");
    const std::string abc = block("abc"), abd = block("abd"), ab = block("ab");
    long word = 0;
    type.create_object(word, abc.data());
    EXPECT_NE(type.property(word), static_cast<void const*>(abc.data()));
    EXPECT_TRUE(type.equal_objects(type.property(word), abc.data()));
    EXPECT_FALSE(type.equal_objects(type.property(word), abd.data()));
    EXPECT_FALSE(type.equal_objects(type.property(word), ab.data()));
    expect_raises<qvAssertionError>([&] { type.equal_objects(nullptr, abc.data()); }, "a && b");
    type.destroy_object(word, nullptr);
}

TEST(qvGeneralPropertyClass, Large_value_round_trips_across_read_pieces) {
    const qvGeneralPropertyClass type("test.general.large");
    std::string body(200000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i * 7);
    long word = loaded(type, block(body));
    EXPECT_EQ(saved(type, word), block(body));
    type.destroy_object(word, nullptr);
}

TEST(qvGeneralPropertyClass, Bad_input_leaves_the_word_untouched) {
    const qvGeneralPropertyClass type("test.general.bad");
    struct Case {
        std::string body;
        char const* message;
    };
    const Case cases[] = {
        {bytes({5, 0, 0}), "Incomplete data on input"},
        {int32_bytes(5) + "abcd", "Incomplete data on input"},
        {int32_bytes(-1) + "abcd", "Invalid count on input"},
        {int32_bytes(INT32_MIN), "Invalid count on input"},
        {int32_bytes(0x7FFFFFFF) + std::string(10, 'x'), "Incomplete data on input"},
    };
    for (Case const& c : cases) {
        Input in(c.body);
        long word = 1234;
        largest_allocation = 0;
        expect_raises<InputError>([&] { type.load_object(in.stream(), word); }, c.message);
        EXPECT_EQ(word, 1234L);
        EXPECT_LE(largest_allocation, 1u << 20) << "a claimed count sized an allocation";
    }
}

// ---------------------------------------------------------------------------
// Value-object classes

TEST(qvComplexPropertyClass, Words_own_copies_and_destroy_them) {
    const qvComplexPropertyClass<Probe> type("test.complex.own");
    Probe value;
    value.value = 41;
    long word = 0;
    type.create_object(word, &value);
    EXPECT_EQ(Probe::alive, 2);
    EXPECT_NE(type.property(word), static_cast<void const*>(&value));
    EXPECT_TRUE(type.equal_objects(type.property(word), &value));

    long borrowed = 0;
    type.property(borrowed, &value);
    EXPECT_EQ(type.property(borrowed), static_cast<void const*>(&value));
    EXPECT_EQ(Probe::alive, 2);

    type.destroy_object(word, nullptr);
    EXPECT_EQ(word, 0L);
    EXPECT_EQ(Probe::alive, 1);
}

TEST(qvComplexPropertyClass, Round_trip_and_failed_load) {
    const qvComplexPropertyClass<Probe> type("test.complex.load");
    long word = loaded(type, int32_bytes(-9));
    EXPECT_EQ(static_cast<Probe const*>(type.property(word))->value, -9);
    EXPECT_EQ(saved(type, word), int32_bytes(-9));
    type.destroy_object(word, nullptr);

    Input in(bytes({1, 2}));
    long untouched = 5;
    expect_raises<InputError>([&] { type.load_object(in.stream(), untouched); },
                              "Incomplete data on input");
    EXPECT_EQ(untouched, 5L);
    EXPECT_EQ(Probe::alive, 0);
}

TEST(qvComplexPropertyClass, Equality_needs_both_values) {
    const qvComplexPropertyClass<Probe> type("test.complex.equal");
    Probe a;
    expect_raises<qvAssertionError>([&] { type.equal_objects(&a, nullptr); }, "a && b");
}

// ---------------------------------------------------------------------------
// Registration by name

TEST(qvPropertyClass, Objects_of_one_name_share_the_handle_and_the_first_removes_it) {
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    auto* first = new qvSimplePropertyClass("test.shared.name");
    EXPECT_EQ(classes.id("test.shared.name"), first->handle());
    EXPECT_LE(first->handle(), qvPropertyClass::max_handle());
    EXPECT_EQ(classes.object(first->handle()), first);
    {
        const qvGeneralPropertyClass second("test.shared.name");
        EXPECT_EQ(second.handle(), first->handle());
        EXPECT_TRUE(second == *first);
    }
    EXPECT_EQ(classes.id("test.shared.name"), first->handle());
    delete first;
    EXPECT_EQ(classes.id("test.shared.name"), 0);
}

TEST(qvPropertyClass, A_copy_stands_for_the_class_but_never_removes_it) {
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    const qvSimplePropertyClass original("test.copied");
    { const qvSimplePropertyClass copy(original); EXPECT_EQ(copy.handle(), original.handle()); }
    EXPECT_EQ(classes.id("test.copied"), original.handle());
}

// ---------------------------------------------------------------------------
// Class references

TEST(qvPropertyClass, Reference_is_the_registered_name) {
    const qvSimplePropertyClass type("test.ref");
    const std::string out = written([&](qvOutputStream& os) { os << type; });
    EXPECT_EQ(out, bytes({8, 0}) + "test.ref");

    Input in(out);
    qvPropertyClass* read = nullptr;
    in.stream() >> read;
    EXPECT_EQ(read, static_cast<qvPropertyClass const*>(&type));
}

TEST(qvPropertyClass, Unknown_name_reads_as_UNKNOWN_whose_values_survive) {
    Input in(bytes({11, 0}) + "NOT_A_CLASS" + block("hello"));
    qvPropertyClass* read = nullptr;
    in.stream() >> read;
    ASSERT_EQ(read, qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>());
    EXPECT_EQ(read->handle(), qvPropertyClass::registry().get()->id("UNKNOWN"));

    long word = 0;
    read->load_object(in.stream(), word);
    EXPECT_EQ(saved(*read, word), block("hello"));
    EXPECT_EQ(saved(*read, word).size(), 9u);
    read->destroy_object(word, nullptr);
}

TEST(qvPropertyClass, Class_name_cut_short_keeps_the_old_class) {
    Input in(bytes({9, 0}) + "REF_");
    qvPropertyClass* read = nullptr;
    expect_raises<qvErrorFrom<qvString>>([&] { in.stream() >> read; },
                                         "Incomplete string on input");
    EXPECT_EQ(read, nullptr);
}
