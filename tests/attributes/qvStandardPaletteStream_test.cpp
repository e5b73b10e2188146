// The standard palette on streams: round trips of palettes holding every
// kind of value, names and counts after a load, the handle counter, and
// every way a stream can be refused. Each refusal must leave the palette,
// its names and every folder's class as they were.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvWrap.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace palette_test;

namespace {

const std::int32_t style_2 = 2;
const qvWrap<double> width_2{2.0};
char const* const line_width = "pen/color_device/line_width";
char const* const line_style = "pen/color_device/line_style";

qvPropertyClass* unknown_class() { return qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>(); }

// Folders of this program: one of the "UNKNOWN" class, three without class.
qvFolder unknown_folder("test/unknown", unknown_class());
qvFolder group_folder("test/group", nullptr);
qvFolder bindable_folder("test/bindable", nullptr);
qvFolder foreign_folder("test/foreign", nullptr);

std::int32_t folders() { return qvFolder::max_handle(); }
std::int32_t classes() { return qvPropertyClass::max_handle(); }
std::int32_t class_of(char const* path) { return folder(path).type()->handle(); }

// Names, a shared attribute, a bitmap, a gradient brush and an "UNKNOWN"
// value.
void fill(qvStandardPalette& palette) {
    long thick = palette.alloc(false);
    thick = palette.property(thick, folder(line_width), &width_2, false);
    thick = palette.add_name(thick, "thick", false);

    const long common = palette.alloc(true);
    palette.property(common, folder(line_style), &style_2, true);
    palette.add_name(common, "common", true);
    palette.add_ref(common);

    const long image = palette.alloc(false);
    qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), 2, 3);
    palette.property(image, folder("brush/color_device/fill_image"), &bitmap, false);

    const long brush = palette.alloc(false);
    const qvCustomBrush gradient =
        qvLinearGradient({0, 0}, qvRgbColor(1, 0, 0), {4, 2}, qvRgbColor(0, 0, 1));
    palette.property(brush, folder("brush/color_device/fill_custom_brush"), &gradient, false);

    const long unknown = palette.alloc(false);
    const std::string block = i32(3) + "xyz";
    palette.property(unknown, unknown_folder, block.data(), false);
}

std::size_t occurrences(std::string const& bytes, std::string const& text) {
    std::size_t n = 0;
    for (auto at = bytes.find(text); at != std::string::npos; at = bytes.find(text, at + 1))
        ++n;
    return n;
}

// A stream of one attribute with count 1, with `tail` before the end record.
std::string one_attribute(std::int32_t last, std::string const& tail = {}) {
    return head(last, folders(), classes()) + class_record(1, "REF_COUNT") +
           folder_record(1, 1, "ref_count") + value_record(1, 1, i32(1)) + tail + end_record();
}

// Loading `body` must fail with "Invalid palette stream" and change nothing.
void expect_refused(std::string const& body) {
    qvStandardPalette palette;
    fill(palette);
    const std::string before = saved(palette);
    const long stamp = palette.time_stamp();
    expect_raises<qvErrorFrom<qvInputStream>>([&] { load(palette, body); }, "Invalid palette stream");
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(palette.time_stamp(), stamp);
    EXPECT_EQ(palette.handle("thick"), 1);
    EXPECT_EQ(bindable_folder.type(), nullptr);
    EXPECT_EQ(group_folder.type(), nullptr);
}

}  // namespace

// ---------------------------------------------------------------------------
// Round trips

TEST(qvStandardPaletteStream, Load_then_save_gives_every_byte_back) {
    qvStandardPalette palette;
    fill(palette);
    const std::string bytes = saved(palette);
    qvStandardPalette loaded;
    load(loaded, bytes);
    EXPECT_EQ(hex(saved(loaded)), hex(bytes));
    qvStandardPalette again;
    load(again, saved(loaded));
    EXPECT_EQ(saved(again), bytes);
}

TEST(qvStandardPaletteStream, Class_and_folder_records_appear_once_each) {
    qvStandardPalette palette;
    fill(palette);
    const std::string bytes = saved(palette);
    EXPECT_EQ(occurrences(bytes, str("REF_COUNT")), 1u);
    EXPECT_EQ(occurrences(bytes, str("ref_count")), 1u);
    EXPECT_EQ(occurrences(bytes, str("STRING")), 1u);
    EXPECT_EQ(occurrences(bytes, str("attr_name")), 1u);
    EXPECT_EQ(occurrences(bytes, str("UNKNOWN")), 1u);
}

TEST(qvStandardPaletteStream, Names_and_counts_are_those_stored) {
    qvStandardPalette palette;
    fill(palette);
    qvStandardPalette loaded;
    load(loaded, saved(palette));
    EXPECT_EQ(loaded.handle("thick"), 1);
    EXPECT_EQ(loaded.handle("common"), 2);
    EXPECT_STREQ(loaded.name(2), "common");
    EXPECT_EQ(simple_of(loaded, 1, "ref_count"), 2);
    EXPECT_EQ(simple_of(loaded, 2, "ref_count"), 3);
    EXPECT_EQ(simple_of(loaded, 2, "is_shared"), 1);
    EXPECT_EQ(width_of(loaded, 1), 2.0);
    auto const* block = static_cast<char const*>(loaded.property(5, unknown_folder));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, 7), i32(3) + "xyz");
}

TEST(qvStandardPaletteStream, Load_replaces_everything_and_announces_nothing) {
    qvStandardPalette source;
    source.add_name(source.alloc(false), "new", false);
    qvStandardPalette palette;
    fill(palette);
    int deaths = 0;
    palette.cookie(qvCookieHandle(1, 0), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    PaletteListener listener(palette);
    const long stamp = palette.time_stamp();
    load(palette, saved(source));
    EXPECT_TRUE(listener.log.empty());
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(palette.time_stamp(), stamp + 1);
    EXPECT_EQ(palette.handle("thick"), 0);
    EXPECT_EQ(palette.handle("new"), 1);
    EXPECT_EQ(saved(palette), saved(source));
}

TEST(qvStandardPaletteStream, Alloc_continues_after_the_stored_counter) {
    qvStandardPalette palette;
    palette.alloc(false);
    palette.alloc(false);
    palette.alloc(false);
    palette.release(2);
    qvStandardPalette loaded;
    load(loaded, saved(palette));
    EXPECT_EQ(loaded.alloc(false), 4);
}

TEST(qvStandardPaletteStream, A_stored_counter_at_the_top_wraps_to_the_next_free_handle) {
    qvStandardPalette palette;
    load(palette, one_attribute(0x7FFFFFFF));
    EXPECT_EQ(palette.alloc(false), 2);
    qvStandardPalette empty;
    load(empty, head(0x7FFFFFFF, folders(), classes()) + end_record());
    EXPECT_EQ(empty.alloc(false), 1);
}

TEST(qvStandardPaletteStream, A_palette_whose_counter_wrapped_loads_again) {
    qvStandardPalette palette;
    load(palette, head(0x7FFFFFFE, folders(), classes()) + class_record(1, "REF_COUNT") +
                      folder_record(1, 1, "ref_count") + value_record(0x7FFFFFFE, 1, i32(1)) +
                      end_record());
    EXPECT_EQ(palette.alloc(false), 0x7FFFFFFF);
    EXPECT_EQ(palette.alloc(false), 1);
    qvStandardPalette loaded;
    load(loaded, saved(palette));
    EXPECT_EQ(saved(loaded), saved(palette));
    EXPECT_EQ(simple_of(loaded, 0x7FFFFFFF, "ref_count"), 1);
    EXPECT_EQ(loaded.alloc(false), 2);
}

TEST(qvStandardPaletteStream, A_repeated_value_record_keeps_the_first_value) {
    const std::int32_t style = class_of(line_style);
    qvStandardPalette palette;
    load(palette, one_attribute(1, class_record(style, "LINE_STYLE") +
                                       folder_record(16, style, line_style) +
                                       value_record(1, 16, i32(5)) + value_record(1, 16, i32(6))));
    EXPECT_EQ(simple_of(palette, 1, line_style), 5);
}

TEST(qvStandardPaletteStream, A_folder_without_class_takes_the_stream_class_once_read) {
    const std::int32_t style = class_of(line_style);
    const std::string binding = class_record(style, "LINE_STYLE") +
                                folder_record(60, style, "test/bindable") + value_record(1, 60, i32(4));
    qvStandardPalette palette;
    const std::string whole = one_attribute(1, binding);
    expect_raises<qvErrorFrom<qvInputStream>>([&] { load(palette, whole.substr(0, whole.size() - 1)); },
                                              "Incomplete data on input");
    EXPECT_EQ(bindable_folder.type(), nullptr);
    load(palette, one_attribute(1, binding));
    EXPECT_EQ(bindable_folder.type(), folder(line_style).type());
    EXPECT_EQ(simple_of(palette, 1, "test/bindable"), 4);
    const std::int32_t size = class_of("font/color_device/font_size");
    qvStandardPalette other;
    expect_raises<qvErrorFrom<qvInputStream>>(
        [&] {
            load(other, one_attribute(1, class_record(size, "FONT_SIZE") +
                                             folder_record(60, size, "test/bindable")));
        },
        "Invalid palette stream");
    EXPECT_EQ(bindable_folder.type(), folder(line_style).type());
    bindable_folder.type(nullptr);
}

TEST(qvStandardPaletteStream, A_class_this_process_lacks_reads_as_unknown) {
    qvStandardPalette palette;
    load(palette, one_attribute(1, class_record(40, "FOREIGN") + folder_record(61, 40, "test/foreign") +
                                       value_record(1, 61, i32(2) + "ab")));
    EXPECT_EQ(foreign_folder.type(), unknown_class());
    auto const* block = static_cast<char const*>(palette.property(1, foreign_folder));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, 6), i32(2) + "ab");
    foreign_folder.type(nullptr);
}

// ---------------------------------------------------------------------------
// Bad input

TEST(qvStandardPaletteStreamBadInput, A_stream_cut_at_any_byte_changes_nothing) {
    qvStandardPalette source;
    fill(source);
    const std::int32_t style = class_of(line_style);
    std::string bytes = saved(source);
    bytes.resize(bytes.size() - 12);
    bytes += class_record(style, "LINE_STYLE") + folder_record(70, style, "test/group") +
             value_record(1, 70, i32(9)) + end_record();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        qvStandardPalette palette;
        palette.add_name(palette.alloc(false), "before", false);
        const std::string before = saved(palette);
        try {
            load(palette, bytes.substr(0, n));
            ADD_FAILURE() << "a cut at " << n << " loaded";
        } catch (qvError const& error) {
            const std::string message = static_cast<char const*>(error);
            EXPECT_TRUE(message == "Incomplete data on input" || message == "Incomplete string on input")
                << "cut at " << n << ": " << message;
        }
        ASSERT_EQ(saved(palette), before) << "cut at " << n;
        ASSERT_EQ(palette.handle("before"), 1);
        ASSERT_EQ(group_folder.type(), nullptr);
    }
}

TEST(qvStandardPaletteStreamBadInput, Undefined_numbers_and_zero_numbers_are_refused) {
    const std::int32_t style = class_of(line_style);
    expect_refused(one_attribute(1, value_record(1, 16, i32(5))));       // folder not defined
    expect_refused(one_attribute(1, folder_record(16, 30, line_style)));  // class not defined
    expect_refused(one_attribute(1, value_record(1, 0, i32(5))));        // folder 0
    expect_refused(one_attribute(1, class_record(style, "LINE_STYLE") +
                                        folder_record(16, 0, line_style)));  // class 0
}

TEST(qvStandardPaletteStreamBadInput, Registry_sizes_beyond_the_limit_are_refused_before_allocating) {
    expect_refused(head(0, 0x7FFFFFFF, classes()) + end_record());
    expect_refused(head(0, folders(), 1048577) + end_record());
    expect_refused(head(0, -1, classes()) + end_record());
    expect_refused(head(-1, folders(), classes()) + end_record());
}

TEST(qvStandardPaletteStreamBadInput, Attributes_without_a_count_are_refused) {
    const std::int32_t width = class_of(line_width);
    const std::string width_value = class_record(width, "LINE_WIDTH") +
                                    folder_record(17, width, line_width) +
                                    value_record(2, 17, f64(1.0));
    expect_refused(one_attribute(2, width_value));
    expect_refused(head(1, folders(), classes()) + class_record(1, "REF_COUNT") +
                   folder_record(1, 1, "ref_count") + value_record(1, 1, i32(0)) + end_record());
}

TEST(qvStandardPaletteStreamBadInput, A_folder_is_never_rebound_to_another_class) {
    const std::int32_t style = class_of(line_style);
    expect_refused(one_attribute(1, class_record(style, "LINE_STYLE") +
                                        folder_record(17, style, line_width) +
                                        value_record(1, 17, i32(1))));
    expect_refused(one_attribute(1, class_record(style, "LINE_STYLE") + folder_record(17, style, "")));
    EXPECT_EQ(folder(line_width).type()->handle(), class_of(line_width));
}

TEST(qvStandardPaletteStreamBadInput, Handles_out_of_range_fail_their_assertions) {
    qvStandardPalette palette;
    EXPECT_EQ(assertion_text([&] { load(palette, one_attribute(0)); }),
              "a_handle >=0 && a_handle <= a_max");
    const std::int32_t f_max = 2 * folders();
    EXPECT_EQ(assertion_text([&] { load(palette, head(0, folders(), classes()) + i32(0) + i32(f_max)); }),
              "f_handle >=0 && f_handle < f_max");
    const std::int32_t p_max = 2 * classes();
    EXPECT_EQ(assertion_text([&] { load(palette, head(0, folders(), classes()) + class_record(p_max, "X")); }),
              "p_handle >=0 && p_handle < p_max");
    EXPECT_EQ(assertion_text([&] {
                  load(palette, head(0, folders(), classes()) + class_record(1, "REF_COUNT") +
                                    folder_record(1, 1, "no/such/folder"));
              }),
              "fldr");
    EXPECT_EQ(saved(palette), head(0, folders(), classes()) + end_record());
}
