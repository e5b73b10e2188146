// Property classes and folders: the kinds of classes (words, stream forms,
// comparison, bad input), registration by name and path, class and folder
// references on streams, and the standard classes' values.

#include <orvane/attributes/qvComplexPropertyClass.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvGeneralPropertyClass.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvReferencePropertyClass.hpp>
#include <orvane/attributes/qvSimplePropertyClass.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStreamFields.hpp"
#include "qvCountedProbe.hpp"
#include "qvAttributeStreams.hpp"

#include <gtest/gtest.h>

#include "qvAllocationProbe.hpp"

#include <algorithm>
#include <vector>

using namespace attribute_test;

namespace {

using InputError = qvErrorFrom<qvInputStream>;

std::string saved(qvPropertyClass const& type, long const& word, qvVersion const& version = v341) {
    return written(version, [&](qvOutputStream& os) { type.save_object(os, word); });
}

// Loads one word; every byte must be consumed.
long loaded(qvPropertyClass const& type, std::string const& body, qvVersion const& version = v341) {
    Input in(version, body);
    long word = 0;
    type.load_object(in.stream(), word);
    EXPECT_EQ(in.remaining(), 0u) << "bytes left unread";
    return word;
}

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

std::string block(std::string const& body) { return le(static_cast<std::int32_t>(body.size())) + body; }

// Loading `body` raises `message`, leaves the word and sizes no allocation by a claimed count.
void expect_refused(qvPropertyClass const& type, std::string const& body, char const* message) {
    Input in(v341, body);
    long word = 1234;
    qv_allocation_probe::reset();
    EXPECT_EQ(raised<InputError>([&] { type.load_object(in.stream(), word); }), message) << body.size();
    EXPECT_EQ(word, 1234L);
    EXPECT_LE(qv_allocation_probe::largest_request, 1u << 20);
}

std::vector<std::string> paths_of(qvFolder const& folder) {
    std::vector<std::string> paths;
    for (qvIndirectIterator<qvFolder> it = folder.enumerate(); it; ++it) paths.emplace_back(it->name());
    return paths;
}

template <class C>
C const& type_of() {
    return *qvStandardPropertyClass<C>();
}

// A value of the class saves `size` bytes and reads back equal.
template <class C, class T>
void expect_round_trip(T const& value, std::size_t size, qvVersion const& version = v341) {
    C const& type = type_of<C>();
    long word = 0;
    type.create_object(word, &value);
    const std::string out = saved(type, word, version);
    EXPECT_EQ(out.size(), size) << C::get_name();
    long back = loaded(type, out, version);
    EXPECT_TRUE(type.equal_objects(type.property(word), type.property(back))) << C::get_name();
    type.destroy_object(word, nullptr);
    type.destroy_object(back, nullptr);
}

}  // namespace

TEST(qvSimplePropertyClass, Word_holds_the_value_sign_extended_and_streams_4_bytes) {
    const qvSimplePropertyClass type("test.simple");
    const std::int32_t low = INT32_MIN, seven = 7, eight = 8;
    long word = 0;
    type.create_object(word, &low);
    EXPECT_EQ(word, long{INT32_MIN});
    EXPECT_EQ(saved(type, -2), "\xFE\xFF\xFF\xFF");
    EXPECT_EQ(loaded(type, "\xFE\xFF\xFF\xFF"), -2L);
    EXPECT_TRUE(type.equal_objects(&seven, &seven));
    EXPECT_FALSE(type.equal_objects(&seven, &eight));
    EXPECT_EQ(assertion_text([&] { type.equal_objects(&seven, nullptr); }), "a && b");
    // A reference word destroyed without a palette releases nothing.
    const qvReferencePropertyClass reference("test.reference");
    reference.create_object(word, &seven);
    reference.destroy_object(word, nullptr);
    EXPECT_EQ(word, 7L);
}

TEST(qvGeneralPropertyClass, Values_are_counted_blocks_copied_compared_and_read_in_pieces) {
    const qvGeneralPropertyClass type("test.general");
    const std::string abc = block("abc"), ab = block("ab");
    long word = 0;
    type.create_object(word, abc.data());
    EXPECT_NE(type.property(word), static_cast<void const*>(abc.data()));
    EXPECT_TRUE(type.equal_objects(type.property(word), abc.data()));
    EXPECT_FALSE(type.equal_objects(type.property(word), ab.data()));
    type.destroy_object(word, nullptr);
    std::string large(200000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7);
    word = loaded(type, block(large));
    EXPECT_EQ(saved(type, word), block(large));
    type.destroy_object(word, nullptr);
    expect_refused(type, le<std::int32_t>(-1) + "abcd", "Invalid count on input");
    expect_refused(type, le<std::int32_t>(0x7FFFFFFF) + std::string(10, 'x'), "Incomplete data on input");
}

TEST(qvComplexPropertyClass, Words_own_copies_and_a_failed_load_leaks_nothing) {
    {
        const qvComplexPropertyClass<Probe> type("test.complex");
        Probe value;
        value.value = 41;
        long word = 0, borrowed = 0;
        type.create_object(word, &value);
        EXPECT_EQ(Probe::alive, 2);
        EXPECT_TRUE(type.equal_objects(type.property(word), &value));
        type.property(borrowed, &value);  // a hashing word borrows
        EXPECT_EQ(type.property(borrowed), static_cast<void const*>(&value));
        EXPECT_EQ(Probe::alive, 2);
        type.destroy_object(word, nullptr);
        word = loaded(type, le<std::int32_t>(-9));
        EXPECT_EQ(saved(type, word), le<std::int32_t>(-9));
        type.destroy_object(word, nullptr);
        expect_refused(type, "\x01\x02", "Incomplete data on input");
    }
    EXPECT_EQ(Probe::alive, 0);
}

TEST(qvPropertyClass, Objects_of_one_name_share_the_handle_and_only_the_first_removes_it) {
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    auto* first = new qvSimplePropertyClass("test.shared.name");
    {
        const qvGeneralPropertyClass second("test.shared.name");
        const qvSimplePropertyClass copy(*first);
        EXPECT_EQ(second.handle(), first->handle());
        EXPECT_EQ(copy.handle(), first->handle());
    }
    EXPECT_EQ(classes.id("test.shared.name"), first->handle());
    delete first;
    EXPECT_EQ(classes.id("test.shared.name"), 0);
}

TEST(qvPropertyClass, References_are_the_registered_name_and_unknown_names_read_as_UNKNOWN) {
    const qvSimplePropertyClass type("test.ref");
    const std::string out = written(v341, [&](qvOutputStream& os) { os << type; });
    EXPECT_EQ(out, std::string("\x08\x00", 2) + "test.ref");
    Input in(v341, out + std::string("\x0B\x00", 2) + "NOT_A_CLASS" + block("hello") +
                    std::string("\x09\x00REF_", 6));
    qvPropertyClass* read = nullptr;
    in.stream() >> read;
    EXPECT_EQ(read, static_cast<qvPropertyClass const*>(&type));
    in.stream() >> read;
    ASSERT_EQ(read, qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>());
    long word = 0;
    read->load_object(in.stream(), word);
    EXPECT_EQ(saved(*read, word), block("hello"));  // the same 9 bytes
    read->destroy_object(word, nullptr);
    EXPECT_EQ(raised<qvErrorFrom<qvString>>([&] { in.stream() >> read; }), "Incomplete string on input");
    EXPECT_EQ(read, qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>());
}

TEST(qvFolder, Enumeration_covers_paths_that_continue_the_prefix_in_byte_order) {
    const std::vector<std::string> all = paths_of(qvFolder::root());
    EXPECT_EQ(all.size(), 54u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    const int highest = qvFolder::max_handle();
    {
        const qvFolder group("brush/color_device", nullptr);  // an application folder without class
        EXPECT_EQ(group.handle(), highest + 1);
        EXPECT_EQ(paths_of(group),
                  (std::vector<std::string>{"brush/color_device", "brush/color_device/bg/color",
                                            "brush/color_device/color", "brush/color_device/color_index",
                                            "brush/color_device/fill_custom_brush",
                                            "brush/color_device/fill_image", "brush/color_device/fill_style"}));
    }
    EXPECT_EQ(qvFolder::folder_by_name("brush/color_device"), nullptr);
}

TEST(qvFolder, A_registered_path_keeps_its_handle_and_class_and_only_its_registrar_removes_it) {
    qvFolder* registered = qvFolder::folder_by_name("pen/color_device/color");
    const qvFolder again("pen/color_device/color", nullptr);
    EXPECT_EQ(again.handle(), registered->handle());
    EXPECT_EQ(again.type(), registered->type());
    qvPropertyClass* gray = qvStandardPropertyClass<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>();
    EXPECT_EQ(assertion_text([&] { qvFolder other("pen/color_device/color", gray); }),
              "!pt || pt == folder->_type");
    auto* first = new qvFolder("test/owned", gray);
    { const qvFolder second("test/owned", nullptr); }
    EXPECT_EQ(qvFolder::folder_by_name("test/owned"), first);
    delete first;
    EXPECT_EQ(qvFolder::folder_by_name("test/owned"), nullptr);
}

TEST(qvFolder, References_are_the_path_and_the_root_reads_back) {
    qvFolder* width = qvFolder::folder_by_name("pen/color_device/line_width");
    const std::string out = written(v341, [&](qvOutputStream& os) { os << *width << qvFolder::root(); });
    EXPECT_EQ(out, le<std::int16_t>(27) + "pen/color_device/line_width" + le<std::int16_t>(0));
    Input in(v341, out + le<std::int16_t>(7) + "no/such");
    qvFolder *first = nullptr, *second = nullptr, *third = nullptr;
    in.stream() >> first >> second;
    EXPECT_EQ(first, width);
    EXPECT_EQ(second, &qvFolder::root());
    EXPECT_EQ(assertion_text([&] { in.stream() >> third; }), "fldr");
    EXPECT_EQ(third, nullptr);
}

TEST(qvStandardPropertyClasses, Values_stream_in_their_sizes_and_read_back_equal) {
    expect_round_trip<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>(static_cast<unsigned char>(200), 1);
    expect_round_trip<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>(qvCrdOf<int>(-3, 70000), 8);
    expect_round_trip<COLOR_RGB_INTERNAL_PROPERTY_CLASS>(qvRgbColor(0.25f, 0.5f, 1.0f), 12, v000);
    expect_round_trip<STRING_INTERNAL_PROPERTY_CLASS>(qvString("Arial"), 7);
    const qvCrdOf<int> spot(1, -2);
    long word = 0;
    type_of<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>().property(word, &spot);
    EXPECT_EQ(saved(type_of<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>(), word), le(1) + le(-2));
}

TEST(qvStandardPropertyClasses, Images_are_equal_when_they_share_pixels_and_brushes_count_their_words) {
    auto const& image = type_of<IMAGE_INTERNAL_PROPERTY_CLASS>();
    const qvBitmap original(qvIndexedBitmap, 2, 2), copy(original), separate(qvIndexedBitmap, 2, 2);
    EXPECT_TRUE(image.equal_objects(&original, &copy));
    EXPECT_FALSE(image.equal_objects(&original, &separate));
    long a = 0;

    auto const& brushes = type_of<CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS>();
    const qvCustomBrush brush = qvLinearGradient(qvCrdOf<double>(0, 0), qvCrdOf<double>(1, 1));
    auto const count = [&] { return qvCountOf(static_cast<qvRefBase const&>(*brush.get())); };
    const std::int32_t before = count();
    brushes.create_object(a, &brush);
    EXPECT_EQ(count(), before + 1);
    brushes.destroy_object(a, nullptr);
    EXPECT_EQ(count(), before);
}
