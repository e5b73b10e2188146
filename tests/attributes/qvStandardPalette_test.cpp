// The standard palette: handles, reference counts, copy on write,
// invalidation, cookies and the exact bytes of small saved palettes. This
// program registers no folder or class of its own, so the stream headers
// carry the library's own registry sizes (54 folders, 26 classes).

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvWrap.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace palette_test;

namespace {

const std::int32_t style_2 = 2;
const qvWrap<double> width_2{2.0};
const qvWrap<double> width_3{3.0};

char const* const line_width = "pen/color_device/line_width";
char const* const line_style = "pen/color_device/line_style";

std::vector<long> handles_of(qvPalette& palette) {
    std::vector<long> out;
    for (auto it = palette.enumerate(); it; ++it)
        out.push_back(*it);
    return out;
}

long count_of(qvPalette const& palette, long handle) { return simple_of(palette, handle, "ref_count"); }

}  // namespace

// ---------------------------------------------------------------------------
// Handles and counts

TEST(qvStandardPaletteHandles, Alloc_counts_up_and_reuses_the_last_released_handle) {
    qvStandardPalette palette;
    EXPECT_EQ(palette.alloc(false), 1);
    EXPECT_EQ(palette.alloc(false), 2);
    EXPECT_EQ(palette.release(2), 0);
    EXPECT_EQ(palette.alloc(false), 2);
    EXPECT_EQ(count_of(palette, 2), 1);
}

TEST(qvStandardPaletteHandles, Shared_alloc_marks_the_attribute) {
    qvStandardPalette palette;
    const long shared = palette.alloc(true);
    const long plain = palette.alloc(false);
    EXPECT_EQ(simple_of(palette, shared, "is_shared"), 1);
    EXPECT_EQ(palette.property(plain, folder("is_shared")), nullptr);
}

TEST(qvStandardPaletteHandles, Add_ref_and_release_count_and_handle_zero_is_ignored) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.add_ref(h);
    palette.add_ref(0);
    EXPECT_EQ(count_of(palette, h), 2);
    EXPECT_EQ(palette.release(h), 1);
    EXPECT_EQ(palette.release(0), 0);
    EXPECT_EQ(palette.release(h), 0);
    EXPECT_TRUE(handles_of(palette).empty());
}

TEST(qvStandardPaletteHandles, Unknown_handles_are_refused_and_nothing_changes) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    const std::string before = saved(palette);
    for (long unknown : {h + 1, -1L, 77L}) {
        expect_raises<qvErrorFrom<qvSP_PalData>>([&] { palette.add_ref(unknown); },
                                                 "Illegal attribute handle specified");
        expect_raises<qvErrorFrom<qvSP_PalData>>([&] { palette.release(unknown); },
                                                 "Illegal attribute handle specified");
    }
    EXPECT_EQ(saved(palette), before);
}

TEST(qvStandardPaletteHandles, Last_release_drops_cookies_and_announces_a_single_user) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    const long other = palette.alloc(false);
    int deaths = 0;
    palette.cookie(qvCookieHandle(h, 0), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    palette.cookie(qvCookieHandle(h, 3), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    palette.cookie(qvCookieHandle(other, 0), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    PaletteListener listener(palette);
    palette.add_ref(h);
    EXPECT_EQ(palette.release(h), 1);
    EXPECT_TRUE(listener.log.empty());
    EXPECT_EQ(palette.release(h), 0);
    EXPECT_EQ(listener.log, qvNotificationLog{"r item"});
    EXPECT_EQ(listener.receiver.items, std::vector<long>{h});
    EXPECT_EQ(listener.receiver.flags, std::vector<int>{0});
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 0)), nullptr);
    EXPECT_NE(palette.cookie(qvCookieHandle(other, 0)), nullptr);
}

TEST(qvStandardPaletteHandles, Enumeration_survives_releases_between_steps) {
    qvStandardPalette palette;
    for (int i = 0; i < 5; ++i)
        palette.alloc(false);
    std::vector<long> seen;
    for (auto it = palette.enumerate(); it; ++it) {
        seen.push_back(*it);
        if (*it == 2) {
            palette.release(2);
            palette.release(3);
        }
    }
    EXPECT_EQ(seen, (std::vector<long>{1, 2, 4, 5}));
}

// ---------------------------------------------------------------------------
// Copy on write

TEST(qvStandardPaletteCopyOnWrite, A_single_user_changes_in_place_and_is_told_once) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    PaletteListener listener(palette);
    const long stamp = palette.time_stamp();
    EXPECT_EQ(palette.property(h, folder(line_width), &width_2, false), h);
    EXPECT_EQ(width_of(palette, h), 2.0);
    EXPECT_EQ(listener.log, qvNotificationLog{"r item"});
    EXPECT_EQ(listener.receiver.items, std::vector<long>{h});
    EXPECT_EQ(listener.receiver.flags, std::vector<int>{0});
    EXPECT_EQ(palette.time_stamp(), stamp + 1);
}

TEST(qvStandardPaletteCopyOnWrite, A_second_user_gets_a_private_copy_and_nothing_is_sent) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    palette.property(h, folder(line_style), &style_2, false);
    ASSERT_EQ(palette.add_name(h, "pen", false), h);  // count 2: user and name
    palette.add_ref(h);                                        // count 3
    PaletteListener listener(palette);

    const long copy = palette.property(h, folder(line_width), &width_3, false);
    EXPECT_NE(copy, h);
    EXPECT_EQ(width_of(palette, copy), 3.0);
    EXPECT_EQ(simple_of(palette, copy, line_style), 2);
    EXPECT_EQ(count_of(palette, copy), 1);
    EXPECT_EQ(palette.name(copy), nullptr);
    EXPECT_EQ(width_of(palette, h), 2.0);
    EXPECT_EQ(count_of(palette, h), 2);
    EXPECT_STREQ(palette.name(h), "pen");
    EXPECT_TRUE(listener.log.empty());
}

TEST(qvStandardPaletteCopyOnWrite, A_shared_write_to_a_shared_attribute_changes_it_for_all) {
    qvStandardPalette palette;
    const long h = palette.alloc(true);
    palette.add_ref(h);
    palette.add_ref(h);
    PaletteListener listener(palette);
    EXPECT_EQ(palette.property(h, folder(line_width), &width_2, true), h);
    EXPECT_EQ(listener.log, (qvNotificationLog{"r all", "r item"}));
    EXPECT_EQ(listener.receiver.flags, std::vector<int>{1});
    EXPECT_EQ(count_of(palette, h), 3);
}

TEST(qvStandardPaletteCopyOnWrite, An_unshared_write_to_a_shared_attribute_copies_it_marked_shared) {
    qvStandardPalette palette;
    const long h = palette.alloc(true);
    palette.add_ref(h);
    const long copy = palette.property(h, folder(line_width), &width_2, false);
    EXPECT_NE(copy, h);
    EXPECT_EQ(simple_of(palette, copy, "is_shared"), 1);
    EXPECT_EQ(count_of(palette, h), 1);
}

TEST(qvStandardPaletteCopyOnWrite, Removing_the_name_never_copies) {
    qvStandardPalette palette;
    const long h = palette.add_name(palette.alloc(false), "kept", false);
    palette.add_ref(h);
    EXPECT_EQ(palette.remove(h, folder("attr_name"), false), h);
    EXPECT_EQ(palette.name(h), nullptr);
    EXPECT_EQ(count_of(palette, h), 3);  // the repository's reference is not the palette's business
}

TEST(qvStandardPaletteCopyOnWrite, Removing_the_colour_also_removes_the_colour_index) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    const qvRgbColor red(1, 0, 0);
    const unsigned char index = 7;
    palette.property(h, folder("pen/color_device/color"), &red, false);
    palette.property(h, folder("pen/color_device/color_index"), &index, false);
    palette.property(h, folder(line_width), &width_2, false);
    EXPECT_EQ(palette.remove(h, folder("pen/color_device/color"), false), h);
    EXPECT_EQ(palette.property(h, folder("pen/color_device/color")), nullptr);
    EXPECT_EQ(palette.property(h, folder("pen/color_device/color_index")), nullptr);
    EXPECT_EQ(width_of(palette, h), 2.0);
}

TEST(qvStandardPaletteCopyOnWrite, Removing_the_root_keeps_count_name_and_sharing) {
    qvStandardPalette palette;
    const long h = palette.add_name(palette.alloc(true), "all", false);
    ASSERT_EQ(palette.property(h, folder(line_width), &width_2, true), h);
    EXPECT_EQ(palette.remove(h, qvFolder::root(), true), h);
    EXPECT_EQ(width_of(palette, h), -1.0);
    EXPECT_STREQ(palette.name(h), "all");
    EXPECT_EQ(simple_of(palette, h, "is_shared"), 1);
    EXPECT_EQ(count_of(palette, h), 2);
    EXPECT_EQ(palette.handle("all"), h);
}

TEST(qvStandardPaletteCopyOnWrite, A_copy_skips_folders_the_source_lacks) {
    qvStandardPalette palette;
    const long src = palette.alloc(false);
    const long dst = palette.alloc(false);
    palette.property(src, folder(line_style), &style_2, false);
    palette.property(dst, folder(line_width), &width_3, false);
    EXPECT_EQ(palette.copy(src, dst, qvFolder::root(), false), dst);
    EXPECT_EQ(simple_of(palette, dst, line_style), 2);
    EXPECT_EQ(width_of(palette, dst), 3.0);
    EXPECT_EQ(palette.copy(99, dst, qvFolder::root(), false), dst);  // unknown source: nothing
    EXPECT_EQ(width_of(palette, dst), 3.0);
}

TEST(qvStandardPaletteCopyOnWrite, A_value_read_from_its_own_entry_can_be_written_back) {
    // The old word used to be destroyed before the new one was made from
    // the value, which then was freed memory.
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    palette.property(h, folder(line_width), palette.property(h, folder(line_width)), false);
    EXPECT_EQ(width_of(palette, h), 2.0);
    EXPECT_EQ(palette.copy(h, h, qvFolder::root(), false), h);
    EXPECT_EQ(width_of(palette, h), 2.0);
}

TEST(qvStandardPaletteCopyOnWrite, Bad_targets_are_refused_and_nothing_changes) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    palette.release(palette.alloc(false));
    const std::string before = saved(palette);
    PaletteListener listener(palette);
    for (long unknown : {0L, 2L, 50L}) {
        expect_raises<qvErrorFrom<qvSP_PalData>>(
            [&] { palette.property(unknown, folder(line_width), &width_3, false); },
            "Illegal attribute handle specified");
        expect_raises<qvErrorFrom<qvSP_PalData>>(
            [&] { palette.copy(h, unknown, qvFolder::root(), false); },
            "Illegal attribute handle specified");
        expect_raises<qvErrorFrom<qvSP_PalData>>(
            [&] { palette.remove(unknown, qvFolder::root(), false); },
            "Illegal attribute handle specified");
    }
    expect_raises<qvErrorFrom<qvSP_PalData>>(
        [&] { palette.property(h, qvFolder::root(), &width_3, false); }, "Illegal folder specified");
    EXPECT_EQ(saved(palette), before);
    EXPECT_TRUE(listener.log.empty());
    EXPECT_EQ(palette.alloc(false), 2);  // no orphan entries were left under 2
    EXPECT_EQ(palette.property(2, folder(line_width)), nullptr);
}

// ---------------------------------------------------------------------------
// Cookies

TEST(qvStandardPaletteCookies, Cookies_are_stamped_and_a_second_one_for_a_key_is_deleted) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    int deaths = 0;
    auto* first = new CountedCookie(deaths);
    palette.cookie(qvCookieHandle(h, 1), orvane::auto_ptr<qvCookie>(first));
    EXPECT_EQ(first->time_stamp, palette.time_stamp());
    palette.cookie(qvCookieHandle(h, 1), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 1)), first);
    palette.property(h, folder(line_width), &width_3, false);
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 1)), nullptr);
}

// ---------------------------------------------------------------------------
// Exact bytes

TEST(qvStandardPaletteBytes, An_empty_palette_saves_as_24_bytes) {
    qvStandardPalette palette;
    EXPECT_EQ(hex(saved(palette)),
              "00 00 00 00 36 00 00 00 1A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(qvStandardPaletteBytes, One_attribute_with_a_line_width_saves_as_163_bytes) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    const int ref_count_class = folder("ref_count").type()->handle();
    const int line_width_class = folder(line_width).type()->handle();
    EXPECT_EQ(ref_count_class, 1);
    EXPECT_EQ(line_width_class, 12);
    const std::string expected = head(1, 54, 26) + class_record(1, "REF_COUNT") +
                                 folder_record(1, 1, "ref_count") + value_record(1, 1, i32(1)) +
                                 class_record(12, "LINE_WIDTH") +
                                 folder_record(17, 12, "pen/color_device/line_width") +
                                 value_record(1, 17, f64(2.0)) + end_record();
    ASSERT_EQ(expected.size(), 163u);
    EXPECT_EQ(hex(saved(palette)), hex(expected));
}

TEST(qvStandardPaletteBytes, Load_of_the_163_bytes_gives_them_back) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    const std::string bytes = saved(palette);
    qvStandardPalette copy;
    load(copy, bytes);
    EXPECT_EQ(saved(copy), bytes);
    EXPECT_EQ(width_of(copy, 1), 2.0);
}
