// The standard palette: handles, reference counts, copy on write,
// invalidation, cookies, names (its attribute repository) and the exact
// bytes of a small saved palette. This program registers no folder or class
// of its own, so the stream header carries the library's own registry sizes
// (54 folders, 26 classes).

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardAttributeRepository.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace palette_test;

namespace {

const std::int32_t style_2 = 2;
const qvWrap<double> width_2{2.0}, width_3{3.0};
char const* const line_width = "pen/color_device/line_width";
char const* const line_style = "pen/color_device/line_style";
char const* const illegal_handle = "Illegal attribute handle specified";
using HandleError = qvErrorFrom<qvSP_PalData>;

long count_of(qvPalette const& palette, long handle) { return simple_of(palette, handle, "ref_count"); }

}  // namespace

TEST(qvStandardPalette, Alloc_add_ref_and_release) {
    qvStandardPalette palette;
    EXPECT_EQ(palette.alloc(false), 1);
    EXPECT_EQ(palette.alloc(true), 2);
    EXPECT_EQ(simple_of(palette, 2, "is_shared"), 1);
    EXPECT_EQ(palette.release(2), 0);
    EXPECT_EQ(palette.alloc(false), 2);  // the last released handle is reused
    palette.add_ref(0);                  // handle 0 is ignored
    EXPECT_EQ(palette.release(0), 0);
    const std::string before = saved(palette);
    expect_raises<HandleError>([&] { palette.add_ref(3); }, illegal_handle);
    EXPECT_THROW(palette.release(3), HandleError);
    EXPECT_EQ(saved(palette), before);
    for (int i = 0; i < 3; ++i) palette.alloc(false);
    std::vector<long> seen;  // enumeration survives releases between steps
    for (auto it = palette.enumerate(); it; ++it) {
        seen.push_back(*it);
        if (*it == 2) palette.release(2), palette.release(3);
    }
    EXPECT_EQ(seen, (std::vector<long>{1, 2, 4, 5}));
}

TEST(qvStandardPalette, Cookies_are_stamped_kept_first_and_dropped_by_a_change_or_last_release) {
    int deaths = 0;   // outlives the palette, whose destruction deletes cookies
    qvStandardPalette palette;
    const long h = palette.alloc(false), other = palette.alloc(false);
    auto* first = new CountedCookie(deaths);
    palette.cookie(qvCookieHandle(h, 1), orvane::auto_ptr<qvCookie>(first));
    EXPECT_EQ(first->time_stamp, palette.time_stamp());
    palette.cookie(qvCookieHandle(h, 1), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    EXPECT_EQ(deaths, 1);  // the second for a key is deleted
    EXPECT_EQ(palette.cookie(qvCookieHandle(h, 1)), first);
    palette.property(h, folder(line_width), &width_3, false);
    EXPECT_EQ(deaths, 2);
    for (long handle : {h, other})
        palette.cookie(qvCookieHandle(handle, 0), orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    PaletteListener listener(palette);
    EXPECT_EQ(palette.release(h), 0);
    EXPECT_EQ(listener.events(), std::to_string(h) + "/0");
    EXPECT_EQ(deaths, 3);
    EXPECT_NE(palette.cookie(qvCookieHandle(other, 0)), nullptr);
}

TEST(qvStandardPalette, Cookies_are_shared_with_the_cache_and_replaced_in_place) {
    int deaths = 0;   // outlives the palette, whose destruction deletes cookies
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);   // time stamp 1
    const qvCookieHandle key(h, 7);
    CountedCookie kept(deaths);   // not the auto pointer's to give away
    orvane::auto_ptr<qvCookie> borrowed(&kept);
    borrowed.release();
    palette.cookie(key, borrowed);
    EXPECT_EQ(palette.cookie(key), nullptr);
    EXPECT_EQ(palette.shared_cookie(key).get(), nullptr);

    palette.cookie(key, orvane::auto_ptr<qvCookie>(new CountedCookie(deaths)));
    qvSafePtr<qvCookie> share = palette.shared_cookie(key);
    EXPECT_EQ(share.get(), palette.cookie(key));
    qvSafePtr<qvCookie> replacement(new CountedCookie(deaths));
    palette.replace_cookie(key, replacement);
    EXPECT_EQ(palette.cookie(key), replacement.get());
    EXPECT_EQ(replacement->time_stamp, palette.time_stamp());
    EXPECT_EQ(deaths, 0);   // `share` still holds the one replaced
    share = qvSafePtr<qvCookie>();
    EXPECT_EQ(deaths, 1);
    palette.replace_cookie(key, qvSafePtr<qvCookie>());
    EXPECT_EQ(palette.cookie(key), replacement.get());
    palette.property(h, folder(line_width), &width_3, false);
    EXPECT_EQ(palette.cookie(key), nullptr);
    EXPECT_EQ(deaths, 1);   // the cache let go of its share only
    replacement = qvSafePtr<qvCookie>();
    EXPECT_EQ(deaths, 2);
}

TEST(qvStandardPaletteCopyOnWrite, One_user_changes_in_place_and_a_second_gets_a_private_copy) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    PaletteListener listener(palette);
    EXPECT_EQ(palette.property(h, folder(line_width), &width_2, false), h);
    EXPECT_EQ(listener.events(), std::to_string(h) + "/0");
    palette.property(h, folder(line_style), &style_2, false);
    ASSERT_EQ(palette.add_name(h, "pen", false), h);  // count 2: user and name
    listener.log.clear();
    const long copy = palette.property(h, folder(line_width), &width_3, false);
    EXPECT_NE(copy, h);
    EXPECT_EQ(width_of(palette, copy), 3.0);
    EXPECT_EQ(simple_of(palette, copy, line_style), 2);
    EXPECT_EQ(palette.name(copy), nullptr);
    EXPECT_EQ(width_of(palette, h), 2.0);
    EXPECT_EQ(count_of(palette, h), 1);
    EXPECT_EQ(listener.events(), "");
}

TEST(qvStandardPaletteCopyOnWrite, Shared_attributes_change_for_all_unless_written_unshared) {
    qvStandardPalette palette;
    const long h = palette.alloc(true);
    palette.add_ref(h);
    PaletteListener listener(palette);
    EXPECT_EQ(palette.property(h, folder(line_width), &width_2, true), h);
    EXPECT_EQ(listener.events(), "all " + std::to_string(h) + "/1");
    const long copy = palette.property(h, folder(line_width), &width_3, false);
    EXPECT_NE(copy, h);
    EXPECT_EQ(simple_of(palette, copy, "is_shared"), 1);
}

TEST(qvStandardPaletteCopyOnWrite, Removes_and_copies) {
    qvStandardPalette palette;
    const long h = palette.add_name(palette.alloc(true), "all", false);
    const qvRgbColor red(1, 0, 0);
    const unsigned char index = 7;
    palette.property(h, folder("pen/color_device/color"), &red, true);
    palette.property(h, folder("pen/color_device/color_index"), &index, true);
    palette.property(h, folder(line_width), &width_2, true);
    EXPECT_EQ(palette.remove(h, folder("pen/color_device/color"), true), h);  // the prefix goes
    EXPECT_EQ(palette.property(h, folder("pen/color_device/color_index")), nullptr);
    EXPECT_EQ(width_of(palette, h), 2.0);
    EXPECT_EQ(palette.remove(h, qvFolder::root(), true), h);  // keeps count, name and sharing
    EXPECT_EQ(width_of(palette, h), -1.0);
    EXPECT_EQ(palette.handle("all"), h);
    EXPECT_EQ(simple_of(palette, h, "is_shared"), 1);
    EXPECT_EQ(count_of(palette, h), 2);

    const long src = palette.alloc(false), dst = palette.alloc(false);
    palette.property(src, folder(line_style), &style_2, false);
    palette.property(dst, folder(line_width), &width_3, false);
    EXPECT_EQ(palette.copy(src, dst, qvFolder::root(), false), dst);  // skips folders the source lacks
    EXPECT_EQ(palette.copy(99, dst, qvFolder::root(), false), dst);   // an unknown source copies nothing
    EXPECT_EQ(simple_of(palette, dst, line_style), 2);
    // Regression: a value read from its own entry was destroyed before being copied.
    palette.property(dst, folder(line_width), palette.property(dst, folder(line_width)), false);
    EXPECT_EQ(palette.copy(dst, dst, qvFolder::root(), false), dst);
    EXPECT_EQ(width_of(palette, dst), 3.0);
}

TEST(qvStandardPaletteCopyOnWrite, Bad_targets_are_refused_and_nothing_changes) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    palette.property(h, folder(line_width), &width_2, false);
    palette.release(palette.alloc(false));
    const std::string before = saved(palette);
    PaletteListener listener(palette);
    for (long unknown : {0L, 2L}) {
        EXPECT_THROW(palette.property(unknown, folder(line_width), &width_3, false), HandleError);
        EXPECT_THROW(palette.copy(h, unknown, qvFolder::root(), false), HandleError);
        EXPECT_THROW(palette.remove(unknown, qvFolder::root(), false), HandleError);
    }
    expect_raises<HandleError>([&] { palette.property(h, qvFolder::root(), &width_3, false); },
                               "Illegal folder specified");
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(listener.events(), "");
    EXPECT_EQ(palette.alloc(false), 2);  // no orphan entries were left under 2
}

TEST(qvStandardPalette, One_line_width_saves_163_bytes) {
    qvStandardPalette palette;
    palette.property(palette.alloc(false), folder(line_width), &width_2, false);
    ASSERT_EQ(folder(line_width).type()->handle(), 12);
    const std::string expected = head(1, 54, 26) + class_record(1, "REF_COUNT") +
                                 folder_record(1, 1, "ref_count") + value_record(1, 1, i32(1)) +
                                 class_record(12, "LINE_WIDTH") + folder_record(17, 12, line_width) +
                                 value_record(1, 17, f64(2.0)) + end_record();
    ASSERT_EQ(expected.size(), 163u);
    EXPECT_EQ(saved(palette), expected);
}

TEST(qvStandardAttributeRepository, Bad_arguments_are_refused_before_anything_changes) {
    qvStandardPalette palette;
    const long held = palette.add_name(palette.alloc(false), "taken", false);
    const std::string before = saved(palette);
    using Error = qvErrorFrom<qvStandardAttributeRepository>;
    expect_raises<Error>([&] { palette.add_name(held, nullptr, false); },
                         "Cannot use NULL as a name for an attribute");
    expect_raises<Error>([&] { palette.add_name(held + 1, "taken", false); },
                         "Cannot associate name with invalid attribute handle");
    EXPECT_EQ(saved(palette), before);
}

TEST(qvStandardAttributeRepository, The_four_naming_cases) {
    qvStandardPalette palette;
    const long first = palette.alloc(false);
    EXPECT_EQ(palette.add_name(first, "pen", false), first);  // one user: the handle stays
    EXPECT_EQ(count_of(palette, first), 2);
    palette.add_ref(first);
    const long second = palette.add_name(palette.alloc(false), "pen", false);  // the name moves
    EXPECT_EQ(palette.handle("pen"), second);
    EXPECT_EQ(palette.name(first), nullptr);
    const long third = palette.alloc(false);
    palette.release(second);  // a holder with no user left disappears with its name
    EXPECT_EQ(palette.add_name(third, "pen", false), third);
    EXPECT_EQ(count_of(palette, second), -1);
    const long renamed = palette.add_name(third, "new", false);  // shared: a copy without the old name
    EXPECT_NE(renamed, third);
    EXPECT_STREQ(palette.name(renamed), "new");
    EXPECT_EQ(palette.handle("pen"), 0);
    EXPECT_EQ(count_of(palette, third), -1);  // its last reference was the name's
    palette.release(renamed);
    EXPECT_EQ(palette.remove_name(renamed), renamed);  // the last reference goes with the name
    EXPECT_EQ(count_of(palette, renamed), -1);
    EXPECT_EQ(palette.remove_name(renamed), 0);
}
