// The matching palette: attributes of equal content end as one, found by
// hash and confirmed by comparing content, so that hash collisions (folders
// 16 and 48 rotate alike) never merge or drop real changes.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvWrap.hpp>

#include "attributes/qvMatchingPaletteIndex.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

// The index owns the base palette: a copy would delete it twice.
static_assert(!std::is_copy_constructible_v<qvMatchingPalette>);
static_assert(!std::is_copy_assignable_v<qvMatchingPalette>);

using namespace palette_test;

namespace {

const std::int32_t two = 2;
const std::int32_t three = 3;
const qvWrap<double> width_2{2.0};
const qvRgbColor red(1, 0, 0);
char const* const line_width = "pen/color_device/line_width";
char const* const line_style = "pen/color_device/line_style";
char const* const font_attribute = "font/color_device/font_attribute";

long count_of(qvPalette const& palette, long handle) { return simple_of(palette, handle, "ref_count"); }
bool alive(qvPalette const& palette, long handle) {
    return palette.property(handle, folder("ref_count")) != nullptr;
}

long pen(qvPalette& palette) {
    long h = palette.alloc(false);
    h = palette.property(h, folder(line_width), &width_2, false);
    return palette.property(h, folder("pen/color_device/color"), &red, false);
}

}  // namespace

// ---------------------------------------------------------------------------
// Merging

TEST(qvMatchingPalette, Unshared_allocations_share_one_empty_attribute) {
    qvMatchingPalette palette;
    const long first = palette.alloc(false);
    EXPECT_EQ(palette.alloc(false), first);
    EXPECT_EQ(count_of(palette, first), 2);
    EXPECT_NE(palette.alloc(true), first);
}

TEST(qvMatchingPalette, Equal_pens_end_as_one_and_the_second_callers_attribute_goes) {
    qvMatchingPalette palette;
    const long first = pen(palette);
    long second = palette.alloc(false);
    ASSERT_NE(second, first);
    const long own = second;
    second = palette.property(second, folder(line_width), &width_2, false);
    EXPECT_EQ(second, own);
    second = palette.property(second, folder("pen/color_device/color"), &red, false);
    EXPECT_EQ(second, first);
    EXPECT_EQ(count_of(palette, first), 2);
    EXPECT_FALSE(alive(palette, own));
}

TEST(qvMatchingPalette, Writing_the_current_value_writes_and_sends_nothing) {
    qvMatchingPalette palette;
    const long h = pen(palette);
    palette.add_ref(h);
    PaletteListener listener(palette);
    const long stamp = palette.time_stamp();
    EXPECT_EQ(palette.property(h, folder(line_width), &width_2, false), h);
    EXPECT_TRUE(listener.log.empty());
    EXPECT_EQ(palette.time_stamp(), stamp);
    EXPECT_EQ(count_of(palette, h), 2);
}

TEST(qvMatchingPalette, Shared_attributes_never_merge) {
    qvMatchingPalette palette;
    const long a = palette.alloc(true);
    const long b = palette.alloc(true);
    EXPECT_NE(a, b);
    EXPECT_EQ(palette.property(a, folder(line_width), &width_2, true), a);
    EXPECT_EQ(palette.property(b, folder(line_width), &width_2, true), b);
    EXPECT_EQ(palette.copy(a, b, qvFolder::root(), true), b);
    EXPECT_EQ(palette.remove(b, folder(line_width), true), b);
    EXPECT_EQ(palette.remove(a, folder(line_width), true), a);
    EXPECT_TRUE(alive(palette, a));
    EXPECT_TRUE(alive(palette, b));
}

TEST(qvMatchingPalette, Copies_and_removes_merge_like_writes) {
    qvMatchingPalette palette;
    const long first = pen(palette);
    long other = palette.alloc(false);
    const long own = other;
    other = palette.copy(first, other, qvFolder::root(), false);
    EXPECT_EQ(other, first);
    EXPECT_FALSE(alive(palette, own));
    const long empty = palette.remove(other, qvFolder::root(), false);  // count 2: a copy
    EXPECT_NE(empty, first);
    EXPECT_EQ(count_of(palette, first), 1);
    EXPECT_EQ(palette.alloc(false), empty);
}

TEST(qvMatchingPalette, A_named_attribute_never_matches_an_unnamed_one) {
    qvMatchingPalette palette;
    const long named = palette.add_name(pen(palette), "pen", false);
    EXPECT_EQ(palette.handle("pen"), named);
    const long plain = pen(palette);
    EXPECT_NE(plain, named);
    EXPECT_EQ(count_of(palette, named), 2);
    EXPECT_EQ(palette.remove_name(named), named);
    EXPECT_EQ(palette.handle("pen"), 0);
}

TEST(qvMatchingPalette, Later_equal_content_merges_into_the_lowest_handle_after_a_load) {
    qvStandardPalette source;
    for (bool shared : {true, false, false}) {
        const long h = source.alloc(shared);
        source.property(h, folder(line_width), &width_2, shared);
    }
    qvMatchingPalette palette;
    load(palette, saved(source));
    const long h = palette.property(palette.alloc(false), folder(line_width), &width_2, false);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(count_of(palette, 2), 2);
    EXPECT_EQ(count_of(palette, 1), 1);
    EXPECT_EQ(count_of(palette, 3), 1);
    palette.release(1);  // a shared attribute is not in the index: its death leaves nothing behind
    EXPECT_EQ(palette.alloc(false), 4);
}

// ---------------------------------------------------------------------------
// Hashes that collide

TEST(qvMatchingPaletteHash, One_value_hashes_apart_in_folders_16_and_25) {
    ASSERT_EQ(folder(line_style).handle(), 16);
    ASSERT_EQ(folder("pen/grayscale_device/line_style").handle(), 25);
    ASSERT_EQ(folder(font_attribute).handle(), 48);
    using Index = qvMatchingPaletteIndex;
    EXPECT_NE(Index::value_hash(folder(line_style), &two),
              Index::value_hash(folder("pen/grayscale_device/line_style"), &two));
    // 48 AND 31 is 16: the same bytes there rotate alike.
    EXPECT_EQ(Index::value_hash(folder(line_style), &two), Index::value_hash(folder(font_attribute), &two));
}

TEST(qvMatchingPaletteHash, Cancelling_parts_neither_merge_nor_drop_a_write) {
    qvMatchingPalette palette;
    long x = palette.property(palette.alloc(false), folder(line_style), &two, false);
    const long empty = palette.alloc(false);
    ASSERT_NE(empty, x);
    x = palette.property(x, folder(font_attribute), &two, false);  // content hash now 0
    EXPECT_NE(x, empty);
    EXPECT_EQ(simple_of(palette, x, line_style), 2);
    EXPECT_EQ(simple_of(palette, x, font_attribute), 2);
    EXPECT_EQ(count_of(palette, empty), 1);
}

TEST(qvMatchingPaletteHash, Equal_hashes_of_different_content_stay_apart) {
    qvMatchingPalette palette;
    const long style = palette.property(palette.alloc(false), folder(line_style), &two, false);
    const long font = palette.property(palette.alloc(false), folder(font_attribute), &two, false);
    EXPECT_NE(style, font);
    EXPECT_EQ(palette.property(style, folder(font_attribute)), nullptr);
    EXPECT_EQ(palette.property(font, folder(line_style)), nullptr);
}

TEST(qvMatchingPaletteHash, A_remove_that_keeps_the_hash_still_removes) {
    qvMatchingPalette palette;
    long h = palette.property(palette.alloc(false), folder(line_style), &three, false);
    h = palette.property(h, folder(font_attribute), &three, false);
    h = palette.remove(h, qvFolder::root(), false);
    EXPECT_EQ(palette.property(h, folder(line_style)), nullptr);
    EXPECT_EQ(palette.property(h, folder(font_attribute)), nullptr);
}

// ---------------------------------------------------------------------------
// Errors and ownership

TEST(qvMatchingPaletteErrors, The_base_reports_bad_handles_and_folders) {
    qvMatchingPalette palette;
    const long h = pen(palette);
    expect_raises<qvErrorFrom<qvSP_PalData>>(
        [&] { palette.property(h + 1, folder(line_width), &width_2, false); },
        "Illegal attribute handle specified");
    expect_raises<qvErrorFrom<qvSP_PalData>>([&] { palette.release(h + 1); },
                                             "Illegal attribute handle specified");
    expect_raises<qvErrorFrom<qvSP_PalData>>(
        [&] { palette.property(h, qvFolder::root(), &width_2, false); }, "Illegal folder specified");
    EXPECT_EQ(width_of(palette, h), 2.0);
}

TEST(qvMatchingPaletteErrors, An_unshared_attribute_made_behind_its_back_fails_the_index_check) {
    auto* base = new qvStandardPalette;
    qvMatchingPalette palette(base);  // owns and deletes `base`
    const long h = base->alloc(false);
    EXPECT_EQ(assertion_text([&] { palette.property(h, folder(line_width), &width_2, false); }),
              "old_item != attr_map.end()");
    EXPECT_EQ(assertion_text([&] { palette.release(h); }), "old_item != attr_map.end()");
    EXPECT_EQ(count_of(palette, h), 1);
}

TEST(qvMatchingPaletteErrors, A_failed_load_keeps_base_and_index) {
    qvMatchingPalette palette;
    const long h = pen(palette);
    const std::string before = saved(palette);
    const std::string cut = before.substr(0, before.size() - 1);
    EXPECT_THROW(load(palette, cut), qvError);
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(pen(palette), h);
}
