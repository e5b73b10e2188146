// The standard palette on streams: round trips of palettes holding every
// kind of value, names and counts after a load, the handle counter, and
// every way a stream can be refused. Each refusal must leave the palette,
// its names and every folder's class as they were. Also its value map as
// classes see it when they call back into the palette from a release, and
// against a plain map through thousands of changes; and a change that fails
// on a private copy.

#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvReferencePropertyClass.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>

#include "qvAllocationProbe.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
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
qvReferencePropertyClass reference_class("TEST_STREAM_REFERENCE");
qvFolder reference_folder("test/stream_reference", &reference_class);

std::int32_t class_of(char const* path) { return folder(path).type()->handle(); }
std::string palette_head(std::int32_t last) {
    return head(last, qvFolder::max_handle(), qvPropertyClass::max_handle());
}

// Names, a shared attribute, a bitmap, a gradient brush and an "UNKNOWN" value.
void fill(qvStandardPalette& palette) {
    const long thick = palette.alloc(false);
    palette.property(thick, folder(line_width), &width_2, false);
    palette.add_name(thick, "thick", false);
    const long common = palette.alloc(true);
    palette.property(common, folder(line_style), &style_2, true);
    palette.add_name(common, "common", true);
    palette.add_ref(common);
    const qvBitmap bitmap(qvBitmapLayout(qvRgbaBitmap), 2, 3);
    palette.property(palette.alloc(false), folder("brush/color_device/fill_image"), &bitmap, false);
    const qvCustomBrush gradient = qvLinearGradient({0, 0}, qvRgbColor(1, 0, 0), {4, 2}, qvRgbColor(0, 0, 1));
    palette.property(palette.alloc(false), folder("brush/color_device/fill_custom_brush"), &gradient, false);
    const std::string block = i32(3) + "xyz";
    palette.property(palette.alloc(false), unknown_folder, block.data(), false);
}

// A stream of one attribute of count 1, with `tail` before the end record.
std::string one_attribute(std::int32_t last, std::string const& tail = {}) {
    return palette_head(last) + class_record(1, "REF_COUNT") + folder_record(1, 1, "ref_count") +
           value_record(1, 1, i32(1)) + tail + end_record();
}

std::string style_records(std::int32_t f, char const* path) {
    return class_record(class_of(line_style), "LINE_STYLE") + folder_record(f, class_of(line_style), path);
}

// Loading `body` fails with `message` and changes nothing.
void expect_refused(std::string const& body, char const* message = "Invalid palette stream") {
    qvStandardPalette palette;
    fill(palette);
    const std::string before = saved(palette);
    const long stamp = palette.time_stamp();
    EXPECT_EQ(attribute_test::raised<qvError>([&] { load(palette, body); }), message) << body.size();
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(palette.time_stamp(), stamp);
    EXPECT_EQ(palette.handle("thick"), 1);
    EXPECT_EQ(bindable_folder.type(), nullptr);
    EXPECT_EQ(group_folder.type(), nullptr);
}

}  // namespace

TEST(qvStandardPaletteStream, Load_then_save_gives_every_byte_back_with_records_once_each) {
    qvStandardPalette palette;
    fill(palette);
    const std::string bytes = saved(palette);
    qvStandardPalette loaded;
    load(loaded, bytes);
    EXPECT_EQ(saved(loaded), bytes);
    for (char const* name : {"REF_COUNT", "ref_count", "STRING", "attr_name", "UNKNOWN"}) {
        const std::size_t at = bytes.find(str(name));
        EXPECT_TRUE(at != std::string::npos && bytes.find(str(name), at + 1) == std::string::npos) << name;
    }
    EXPECT_EQ(loaded.handle("thick"), 1);  // the name index is rebuilt
    EXPECT_EQ(loaded.handle("common"), 2);
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
    EXPECT_EQ(listener.events(), "");
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(palette.time_stamp(), stamp + 1);
    EXPECT_EQ(palette.handle("thick"), 0);
    EXPECT_EQ(saved(palette), saved(source));
}

TEST(qvStandardPaletteStream, Alloc_continues_after_the_stored_counter_and_wraps_at_the_top) {
    qvStandardPalette three;
    for (int i = 0; i < 3; ++i) three.alloc(false);
    three.release(2);
    qvStandardPalette palette;
    load(palette, saved(three));
    EXPECT_EQ(palette.alloc(false), 4);
    load(palette, palette_head(0x7FFFFFFF) + end_record());
    EXPECT_EQ(palette.alloc(false), 1);
    load(palette, palette_head(0x7FFFFFFE) + class_record(1, "REF_COUNT") + folder_record(1, 1, "ref_count") +
                      value_record(0x7FFFFFFE, 1, i32(1)) + end_record());
    EXPECT_EQ(palette.alloc(false), 0x7FFFFFFF);
    EXPECT_EQ(palette.alloc(false), 1);
    qvStandardPalette wrapped;  // saved after the wrap, it loads again
    load(wrapped, saved(palette));
    EXPECT_EQ(saved(wrapped), saved(palette));
}

TEST(qvStandardPaletteStream, Repeated_records_classless_folders_and_foreign_classes) {
    qvStandardPalette palette;
    load(palette, one_attribute(1, style_records(16, line_style) + value_record(1, 16, i32(5)) +
                                       value_record(1, 16, i32(6))));
    EXPECT_EQ(simple_of(palette, 1, line_style), 5);  // the first value is kept

    const std::string binding = one_attribute(1, style_records(60, "test/bindable") + value_record(1, 60, i32(4)));
    EXPECT_THROW(load(palette, binding.substr(0, binding.size() - 1)), qvError);
    EXPECT_EQ(bindable_folder.type(), nullptr);  // bound only once the whole stream is read
    load(palette, binding);
    EXPECT_EQ(bindable_folder.type(), folder(line_style).type());
    EXPECT_EQ(simple_of(palette, 1, "test/bindable"), 4);
    const std::int32_t size = class_of("font/color_device/font_size");
    qvStandardPalette other;  // a bound folder is never rebound
    EXPECT_THROW(load(other, one_attribute(1, class_record(size, "FONT_SIZE") + folder_record(60, size, "test/bindable"))),
                 qvErrorFrom<qvInputStream>);
    EXPECT_EQ(bindable_folder.type(), folder(line_style).type());
    bindable_folder.type(nullptr);

    load(palette, one_attribute(1, class_record(40, "FOREIGN") + folder_record(61, 40, "test/foreign") +
                                       value_record(1, 61, i32(2) + "ab")));
    EXPECT_EQ(foreign_folder.type(), unknown_class());
    auto const* block = static_cast<char const*>(palette.property(1, foreign_folder));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block, 6), i32(2) + "ab");
    foreign_folder.type(nullptr);
}

TEST(qvStandardPaletteStream, A_name_repeated_in_a_stream_belongs_to_the_lowest_handle) {
    qvStandardPalette source;
    for (char const* name : {"name_1", "name_2", "name_3"}) source.add_name(source.alloc(false), name, false);
    std::string bytes = saved(source);
    bytes.replace(bytes.find(str("name_3")), 8, str("name_2"));
    qvStandardPalette palette;
    load(palette, bytes);
    EXPECT_EQ(palette.handle("name_2"), 2);
    EXPECT_STREQ(palette.name(3), "name_2");
}

TEST(qvStandardPaletteStream, The_largest_registry_sizes_a_stream_may_claim_size_no_allocation) {
    qvStandardPalette palette;
    qv_allocation_probe::reset();
    load(palette, head(0, 1048576, 1048576) + end_record());
    EXPECT_LE(qv_allocation_probe::largest_request, std::size_t{1} << 16);
}

TEST(qvStandardPaletteStreamBadInput, A_stream_cut_at_any_byte_changes_nothing) {
    qvStandardPalette source;
    fill(source);
    std::string bytes = saved(source);
    bytes.resize(bytes.size() - 12);
    bytes += style_records(70, "test/group") + value_record(1, 70, i32(9)) + end_record();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        qvStandardPalette palette;
        palette.add_name(palette.alloc(false), "before", false);
        const std::string before = saved(palette);
        const std::string text = attribute_test::raised<qvError>([&] { load(palette, bytes.substr(0, n)); });
        EXPECT_TRUE(text == "Incomplete data on input" || text == "Incomplete string on input") << n << text;
        ASSERT_EQ(saved(palette), before) << "cut at " << n;
        ASSERT_EQ(palette.handle("before"), 1);
        ASSERT_EQ(group_folder.type(), nullptr);
    }
}

TEST(qvStandardPaletteStreamBadInput, Refusals_change_nothing) {
    const std::int32_t folders = qvFolder::max_handle(), classes = qvPropertyClass::max_handle();
    const std::string style_class = class_record(class_of(line_style), "LINE_STYLE");
    const std::string width_records = class_record(class_of(line_width), "LINE_WIDTH") +
                                      folder_record(17, class_of(line_width), line_width);
    for (std::string const& body : {
             one_attribute(1, value_record(1, 16, i32(5))),                // folder not defined
             one_attribute(1, folder_record(16, 30, line_style)),           // class not defined
             one_attribute(1, value_record(1, 0, i32(5))),                 // folder 0
             one_attribute(1, style_class + folder_record(16, 0, line_style)),  // class 0
             head(0, 0x7FFFFFFF, classes) + end_record(),  // registry sizes checked before allocating
             head(0, folders, 1048577) + end_record(),
             one_attribute(2, width_records + value_record(2, 17, f64(1.0))),  // attribute without a count
             palette_head(1) + class_record(1, "REF_COUNT") + folder_record(1, 1, "ref_count") +
                 value_record(1, 1, i32(0)) + end_record(),  // count below 1
             one_attribute(1, style_records(17, line_width) + value_record(1, 17, i32(1))),  // rebinding
         })
        expect_refused(body);
    EXPECT_EQ(folder(line_width).type(), qvStandardPropertyClass<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>());
    // Handles out of range fail their assertions.
    expect_refused(one_attribute(0), "a_handle >=0 && a_handle <= a_max");
    expect_refused(palette_head(0) + i32(0) + i32(2 * folders), "f_handle >=0 && f_handle < f_max");
    expect_refused(palette_head(0) + class_record(2 * classes, "X"), "p_handle >=0 && p_handle < p_max");
    expect_refused(palette_head(0) + class_record(1, "REF_COUNT") + folder_record(1, 1, "no/such/folder"), "fldr");
}

TEST(qvStandardPaletteStreamBadInput, A_negative_last_handle_a_root_folder_record_or_two_classes_for_one_folder_are_refused) {
    const std::string width_records =
        class_record(class_of(line_width), "LINE_WIDTH") + folder_record(71, class_of(line_width), "test/group");
    for (std::string const& body : {palette_head(-1) + end_record(), one_attribute(1, style_records(70, "")),
                                    one_attribute(1, style_records(70, "test/group") + width_records)})
        expect_refused(body);
}

TEST(qvStandardPaletteCopyOnWrite, A_change_failing_on_the_private_copy_drops_it_and_keeps_the_callers_handle) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_style), &style_2, false);
    palette.add_ref(h);
    const std::string before = saved(palette), negative_block = i32(-1);
    EXPECT_EQ(assertion_text([&] { palette.property(h, unknown_folder, negative_block.data(), false); }),
              "count >= 0");
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(palette.alloc(false), 2);
}

// Regression: a private copy whose change ran out of memory was taken back
// through a release that needs memory too; the second failure escaped a
// noexcept function and ended the process.
TEST(qvStandardPaletteCopyOnWrite, A_change_out_of_memory_at_any_allocation_keeps_the_callers_handle) {
    bool completed = false;
    for (long failing = 0; !completed; ++failing) {
        qvStandardPalette palette;
        const long h = palette.alloc(false);
        palette.property(h, folder(line_style), &style_2, false);
        palette.add_ref(h);
        long result = 0;
        qv_allocation_probe::allocations_left = failing;
        try {
            result = palette.property(h, folder(line_width), &width_2, false);
            completed = true;
        } catch (std::bad_alloc const&) {
        }
        qv_allocation_probe::allocations_left = -1;
        if (completed) {
            EXPECT_NE(result, h);
            break;
        }
        // The copy may be left behind (its release needed memory), never
        // the caller's attribute changed or its count lowered.
        EXPECT_EQ(palette.property(h, folder(line_width)), nullptr) << failing;
        EXPECT_EQ(*static_cast<std::int32_t const*>(palette.property(h, folder(line_style))), 2) << failing;
        EXPECT_EQ(palette.release(h), 1) << failing;
        ASSERT_LT(failing, 1000);
    }
}

TEST(qvStandardPaletteCopyOnWrite, Writes_to_a_registered_folder_without_a_class_are_refused) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    expect_raises<qvErrorFrom<qvSP_PalData>>([&] { palette.property(h, group_folder, &style_2, false); },
                                            "Illegal folder specified");
    EXPECT_EQ(group_folder.type(), nullptr);
}

namespace {

std::vector<long> handles_of(qvPalette& palette) {
    std::vector<long> out;
    for (auto it = palette.enumerate(); it; ++it) out.push_back(*it);
    return out;
}

void refer(qvPalette& palette, long holder, qvFolder const& folder, long target) {
    const auto word = static_cast<std::int32_t>(target);
    palette.property(holder, folder, &word, false);
}

}  // namespace

TEST(qvSP_PalData, A_reference_word_releases_its_attribute_when_dropped_or_overwritten) {
    qvStandardPalette palette;
    const long first = palette.alloc(false), second = palette.alloc(false), holder = palette.alloc(false);
    palette.add_ref(first);
    palette.add_ref(second);
    refer(palette, holder, reference_folder, first);
    refer(palette, holder, reference_folder, second);
    EXPECT_EQ(simple_of(palette, first, "ref_count"), 1);
    EXPECT_EQ(palette.release(holder), 0);
    EXPECT_EQ(simple_of(palette, second, "ref_count"), 1);
    const long flavoured = palette.alloc(false);  // "attribute_flavor" holds a "REFERENCE": releases nothing
    refer(palette, flavoured, folder("attribute_flavor"), first);
    palette.release(flavoured);
    EXPECT_EQ(simple_of(palette, first, "ref_count"), 1);
}

TEST(qvSP_PalData, Receivers_inside_a_release_see_the_attribute_gone) {
    qvStandardPalette palette;
    const long target = palette.alloc(false), holder = palette.alloc(false);
    refer(palette, holder, reference_folder, target);
    PaletteListener listener(palette);
    std::vector<std::vector<long>> seen;
    listener.receiver.on_next_event([&] { seen.push_back(handles_of(palette)); });
    EXPECT_EQ(palette.release(holder), 0);
    // The target dies first, from inside the holder's release; neither is listed by then.
    EXPECT_EQ(listener.events(), std::to_string(target) + "/0 " + std::to_string(holder) + "/0");
    EXPECT_EQ(seen, (std::vector<std::vector<long>>{{}}));
    EXPECT_TRUE(handles_of(palette).empty());
}

// Attributes made, changed, stripped and released at random against a plain
// map. A few dozen live attributes keep the index small, so its runs often
// wrap around its end; thousands make it grow.
TEST(qvSP_PalData, Values_agree_with_a_plain_map_through_churn) {
    std::mt19937 rng(20261208);  // fixed seed: failures reproduce
    for (const std::size_t live : {40u, 3000u}) {
        qvStandardPalette palette, reloaded;
        std::map<long, std::map<int, double>> model;  // folder 0 the width, 1 the style
        std::vector<long> handles;                    // the model's keys, to pick from
        auto const check = [&](qvPalette const& p, long h) {
            auto const found = model.find(h);
            auto const value = [&](int f) { return found == model.end() || !found->second.count(f) ? -1.0 : found->second.at(f); };
            ASSERT_EQ(width_of(p, h), value(0)) << "handle " << h;
            ASSERT_EQ(simple_of(p, h, line_style), value(1)) << "handle " << h;
            ASSERT_EQ(simple_of(p, h, "ref_count"), found == model.end() ? -1 : 1) << "handle " << h;
        };
        for (int round = 0; round < 10000; ++round) {
            const unsigned step = rng() % 8;
            const std::size_t pick = handles.empty() ? 0 : rng() % handles.size();
            const long h = handles.empty() ? 0 : handles[pick];
            if (handles.empty() || (step < 3 && handles.size() < live)) {
                handles.push_back(palette.alloc(false));
                model[handles.back()];
            } else if (step < 5) {
                const qvWrap<double> width{static_cast<double>(rng() % 100)};
                ASSERT_EQ(palette.property(h, folder(line_width), &width, false), h);
                model[h][0] = width;
            } else if (step == 5) {
                const std::int32_t style = static_cast<std::int32_t>(rng() % 7);
                palette.property(h, folder(line_style), &style, false);
                model[h][1] = style;
            } else if (step == 6) {
                palette.remove(h, folder(line_width), false);
                model[h].erase(0);
            } else {
                ASSERT_EQ(palette.release(h), 0);
                model.erase(h);
                handles[pick] = handles.back();
                handles.pop_back();
            }
            check(palette, h);
            check(palette, static_cast<long>(rng() % (2 * live)));
        }
        std::vector<long> seen, expected;
        for (auto it = palette.enumerate(); it; ++it) seen.push_back(*it);
        for (auto const& entry : model) expected.push_back(entry.first);
        EXPECT_EQ(seen, expected);
        load(reloaded, saved(palette));
        for (long h : expected) check(palette, h), check(reloaded, h);
        EXPECT_EQ(saved(reloaded), saved(palette));
    }
}
