// The standard property classes: accessors, stream sizes and round trips,
// and the value types whose equality or copying is shared.

#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvStandardBitmapType.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvCountedProbe.hpp"
#include "qvPropertyClassTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace property_test;

namespace {

// The class's object, checked to be the one its name is registered with.
template <class C>
qvPropertyClass* checked_accessor() {
    C* const type = qvStandardPropertyClass<C>();
    EXPECT_EQ(type, qvStandardPropertyClass<C>()) << C::get_name();
    EXPECT_EQ(type->handle(), qvPropertyClass::registry().get()->id(C::get_name()))
        << C::get_name();
    return type;
}

// Saves a value of the class and checks the size and that it reads back equal.
template <class C, class T>
void expect_round_trip(T const& value, std::size_t size, qvVersion const& version = v341) {
    C const& type = *qvStandardPropertyClass<C>();
    long word = 0;
    type.create_object(word, &value);
    const std::string out = saved(type, word, version);
    EXPECT_EQ(out.size(), size) << C::get_name();
    long back = loaded(type, out, version);
    EXPECT_TRUE(type.equal_objects(type.property(word), type.property(back))) << C::get_name();
    type.destroy_object(word, nullptr);
    type.destroy_object(back, nullptr);
}

template <class C>
void expect_simple_round_trip() {
    expect_round_trip<C>(std::int32_t{-123456}, 4);
}

std::int32_t count_of(qvCustomBrush const& brush) {
    return qvCountOf(static_cast<qvRefBase const&>(*brush.get()));
}

}  // namespace

TEST(qvStandardPropertyClasses, Accessors_return_the_registered_object_of_their_name) {
    checked_accessor<UNKNOWN_INTERNAL_PROPERTY_CLASS>();
    checked_accessor<REF_COUNT_INTERNAL_PROPERTY_CLASS>();
    checked_accessor<COLOR_RGB_INTERNAL_PROPERTY_CLASS>();
    checked_accessor<LINE_PATTERN_INTERNAL_PROPERTY_CLASS>();
    checked_accessor<FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>();
    EXPECT_STREQ(qvPropertyClass::registry().get()->name(
                     qvStandardPropertyClass<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>()->handle()),
                 "MARKER_HOT_SPOT");
}

TEST(qvStandardPropertyClasses, Simple_values_stream_as_four_bytes) {
    expect_simple_round_trip<REF_COUNT_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<REFERENCE_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<IS_SHARED_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<MARKER_STYLE_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<LINE_STYLE_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<LINE_END_CAP_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<LINE_JOIN_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FILL_STYLE_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FONT_WEIGHT_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FONT_FAMILY_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FONT_SLANT_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FONT_SIZE_INTERNAL_PROPERTY_CLASS>();
    expect_simple_round_trip<FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>();
}

TEST(qvStandardPropertyClasses, Value_objects_stream_in_their_sizes) {
    expect_round_trip<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>(static_cast<unsigned char>(200), 1);
    expect_round_trip<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>(qvCrdOf<int>(-3, 70000), 8);
    expect_round_trip<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>(qvWrap<double>(2.5), 8);
    expect_round_trip<MARKER_SIZE_INTERNAL_PROPERTY_CLASS>(qvMarkerSize(6.25), 8);
    expect_round_trip<COLOR_RGB_INTERNAL_PROPERTY_CLASS>(qvRgbColor(0.25f, 0.5f, 1.0f, 0.75f), 16);
    expect_round_trip<COLOR_RGB_INTERNAL_PROPERTY_CLASS>(qvRgbColor(0.25f, 0.5f, 1.0f), 12, v000);
    expect_round_trip<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>(qvGrayColor(0.5f, 0.25f), 8);
    expect_round_trip<STRING_INTERNAL_PROPERTY_CLASS>(qvString("Arial"), 7);
    const double dashes[] = {1.0, 2.0};
    expect_round_trip<LINE_PATTERN_INTERNAL_PROPERTY_CLASS>(qvLinePattern(dashes, 2, 0.5), 28);
}

TEST(qvStandardPropertyClasses, Raw_values_are_little_endian) {
    auto const& hot_spot = *qvStandardPropertyClass<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>();
    const qvCrdOf<int> spot(1, -2);
    long word = 0;
    hot_spot.property(word, &spot);
    EXPECT_EQ(saved(hot_spot, word), int32_bytes(1) + int32_bytes(-2));

    auto const& width = *qvStandardPropertyClass<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>();
    const qvWrap<double> two(2.0);
    width.property(word, &two);
    EXPECT_EQ(saved(width, word), bytes({0, 0, 0, 0, 0, 0, 0, 0x40}));
}

TEST(qvStandardPropertyClasses, Missing_bytes_leave_the_word_untouched) {
    auto const& index = *qvStandardPropertyClass<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>();
    auto const& hot_spot = *qvStandardPropertyClass<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>();
    auto const& ref_count = *qvStandardPropertyClass<REF_COUNT_INTERNAL_PROPERTY_CLASS>();
    auto const& unknown = *qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>();
    struct Case {
        qvPropertyClass const& type;
        std::string body;
    };
    const Case cases[] = {
        {index, ""},
        {hot_spot, int32_bytes(1) + bytes({2, 0})},
        {ref_count, bytes({1, 2, 3})},
        {unknown, int32_bytes(3) + "ab"},
    };
    for (Case const& c : cases) {
        Input in(c.body);
        long word = 77;
        expect_raises<qvErrorFrom<qvInputStream>>([&] { c.type.load_object(in.stream(), word); },
                                                  "Incomplete data on input");
        EXPECT_EQ(word, 77L);
    }
}

TEST(qvStandardPropertyClasses, Value_object_equality_needs_both_values) {
    auto const& rgb = *qvStandardPropertyClass<COLOR_RGB_INTERNAL_PROPERTY_CLASS>();
    const qvRgbColor red(1, 0, 0);
    expect_raises<qvAssertionError>([&] { rgb.equal_objects(nullptr, &red); }, "a && b");
    auto const& unknown = *qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>();
    expect_raises<qvAssertionError>([&] { unknown.equal_objects(&red, nullptr); }, "a && b");
}

TEST(qvStandardPropertyClasses, Images_are_equal_when_they_share_pixels) {
    auto const& image = *qvStandardPropertyClass<IMAGE_INTERNAL_PROPERTY_CLASS>();
    const qvBitmap original(qvIndexedBitmap, 2, 2);
    const qvBitmap copy(original);
    long a = 0, b = 0;
    image.create_object(a, &original);
    image.create_object(b, &copy);
    EXPECT_TRUE(image.equal_objects(image.property(a), image.property(b)));

    const qvBitmap separate(qvIndexedBitmap, 2, 2);
    EXPECT_FALSE(image.equal_objects(image.property(a), &separate));
    image.destroy_object(a, nullptr);
    image.destroy_object(b, nullptr);
}

TEST(qvStandardPropertyClasses, Custom_brush_value_counts_one_use_of_its_fill) {
    auto const& brushes = *qvStandardPropertyClass<CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS>();
    const qvCustomBrush brush = qvLinearGradient(qvCrdOf<double>(0, 0), qvCrdOf<double>(1, 1));
    const std::int32_t before = count_of(brush);
    long word = 0;
    brushes.create_object(word, &brush);
    EXPECT_EQ(count_of(brush), before + 1);
    EXPECT_TRUE(brushes.equal_objects(brushes.property(word), &brush));
    const qvCustomBrush empty;
    EXPECT_FALSE(brushes.equal_objects(brushes.property(word), &empty));
    brushes.destroy_object(word, nullptr);
    EXPECT_EQ(count_of(brush), before);
    EXPECT_EQ(word, 0L);
}
