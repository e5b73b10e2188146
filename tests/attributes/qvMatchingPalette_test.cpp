// The matching palette and its hash stream: attributes of equal content end
// as one, found by hash and confirmed by comparing content, so that hash
// collisions (folders 16 and 48 rotate alike) never merge or drop changes.
// Only live, unshared attributes are merge candidates, and a name leaves its
// attribute without a merge.

#include <orvane/attributes/qvHashStream.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvReferencePropertyClass.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "attributes/qvAttributeCopy.hpp"
#include "attributes/qvMatchingPaletteIndex.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <vector>

// The index owns the base palette: a copy would delete it twice.
static_assert(!std::is_copy_constructible_v<qvMatchingPalette> && !std::is_copy_assignable_v<qvMatchingPalette>);

using namespace palette_test;

namespace {

const std::int32_t one = 1, two = 2, three = 3;
const qvWrap<double> width_2{2.0};
const qvRgbColor red(1, 0, 0);
char const* const line_width = "pen/color_device/line_width";
char const* const line_style = "pen/color_device/line_style";
char const* const font_attribute = "font/color_device/font_attribute";
qvReferencePropertyClass reference_class("TEST_REFERENCE");
qvFolder reference_folder("test/reference", &reference_class);

long count_of(qvPalette const& palette, long handle) { return simple_of(palette, handle, "ref_count"); }

long pen(qvPalette& palette) {
    const long h = palette.property(palette.alloc(false), folder(line_width), &width_2, false);
    return palette.property(h, folder("pen/color_device/color"), &red, false);
}

std::vector<long> handles_of(qvPalette& palette) {
    std::vector<long> handles;
    for (auto it = palette.enumerate(); it; ++it) handles.push_back(*it);
    return handles;
}

}  // namespace

TEST(qvMatchingPalette, Equal_content_ends_as_one_attribute_and_the_callers_own_goes) {
    qvMatchingPalette empties;
    const long empty = empties.alloc(false);
    EXPECT_EQ(empties.alloc(false), empty);
    EXPECT_EQ(count_of(empties, empty), 2);
    qvMatchingPalette palette;
    const long first = pen(palette);
    const long own = palette.property(palette.alloc(false), folder(line_width), &width_2, false);
    EXPECT_NE(own, first);
    EXPECT_EQ(palette.property(own, folder("pen/color_device/color"), &red, false), first);
    EXPECT_EQ(count_of(palette, first), 2);
    EXPECT_EQ(count_of(palette, own), -1);
    // Copies and removes merge like writes.
    long other = palette.alloc(false);
    const long mine = other;
    other = palette.copy(first, other, qvFolder::root(), false);
    EXPECT_EQ(other, first);
    EXPECT_EQ(count_of(palette, mine), -1);
    const long cleared = palette.remove(first, qvFolder::root(), false);
    EXPECT_EQ(count_of(palette, first), 2);
    EXPECT_EQ(palette.alloc(false), cleared);
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
}

TEST(qvMatchingPalette, Shared_and_named_attributes_never_merge) {
    qvMatchingPalette palette;
    const long a = palette.alloc(true), b = palette.alloc(true);
    EXPECT_EQ(palette.property(a, folder(line_width), &width_2, true), a);
    EXPECT_EQ(palette.property(b, folder(line_width), &width_2, true), b);
    const long named = palette.add_name(pen(palette), "pen", false);
    EXPECT_NE(pen(palette), named);
    EXPECT_EQ(count_of(palette, named), 2);
}

TEST(qvMatchingPalette, Later_equal_content_merges_into_the_lowest_handle_after_a_load) {
    qvStandardPalette source;
    for (bool shared : {true, false, false})
        source.property(source.alloc(shared), folder(line_width), &width_2, shared);
    qvMatchingPalette palette;
    load(palette, saved(source));
    EXPECT_EQ(palette.property(palette.alloc(false), folder(line_width), &width_2, false), 2);
    EXPECT_EQ(count_of(palette, 2), 2);
    EXPECT_EQ(count_of(palette, 3), 1);
    palette.release(1);  // a shared attribute is not in the index: its death leaves nothing behind
    EXPECT_EQ(palette.alloc(false), 4);
}

// A name is a key of the repository, not content to share: an attribute
// copied from a named one carries its values only, so it merges with an
// unnamed attribute of those values and never into the named pen. Each road
// copies a pen named "pen" twice: the first copy is the only unnamed pen, the
// second merges into it and lets go of the attribute it was made in.
TEST(qvMatchingPalette, A_named_attribute_copies_its_values_without_its_name) {
    const qvWrap<double> width_3{3.0};
    const struct {
        char const* road;
        std::function<long(qvMatchingPalette&, long named)> copy;
    } rows[] = {
        {"copy into a thicker pen",
         [&](qvMatchingPalette& p, long named) {
             const long thick = p.property(p.alloc(false), folder(line_width), &width_3, false);
             return p.copy(named, thick, qvFolder::root(), false);
         }},
        {"qvCopyAttribute within the palette",
         [](qvMatchingPalette& p, long named) { return qvCopyAttribute(p, named, p, false); }},
        {"qvCopyAttribute from a standard palette that names its pen alike",
         [](qvMatchingPalette& p, long) {
             qvStandardPalette source;
             return qvCopyAttribute(source, source.add_name(pen(source), "pen", false), p, false);
         }},
    };
    for (auto const& row : rows) {
        SCOPED_TRACE(row.road);
        qvMatchingPalette palette;
        const long named = palette.add_name(pen(palette), "pen", false);
        const long first = row.copy(palette, named);
        EXPECT_NE(first, named);
        EXPECT_EQ(palette.name(first), nullptr);
        EXPECT_EQ(width_of(palette, first), 2.0);
        EXPECT_EQ(count_of(palette, first), 1);
        EXPECT_EQ(row.copy(palette, named), first);
        EXPECT_EQ(palette.name(first), nullptr);
        EXPECT_EQ(count_of(palette, first), 2);
        EXPECT_EQ(handles_of(palette), (std::vector<long>{named, first}));
        EXPECT_EQ(palette.handle("pen"), named);
        EXPECT_EQ(count_of(palette, named), 2);
    }
}

TEST(qvMatchingPalette, Removing_a_name_keeps_the_attribute_even_beside_an_equal_unnamed_one) {
    qvMatchingPalette palette;
    const long named = palette.add_name(pen(palette), "pen", false);
    const long plain = pen(palette);
    ASSERT_NE(plain, named);
    EXPECT_EQ(palette.remove_name(named), named);
    EXPECT_EQ(palette.name(named), nullptr);
    EXPECT_EQ(count_of(palette, named), 1);
    EXPECT_EQ(count_of(palette, plain), 1);
}

TEST(qvMatchingPalette, An_attribute_made_shared_leaves_the_index) {
    qvMatchingPalette palette;
    const long a = palette.property(pen(palette), folder("is_shared"), &one, false);
    const long b = palette.property(pen(palette), folder("is_shared"), &one, false);
    EXPECT_NE(b, a);
    EXPECT_EQ(count_of(palette, a), 1);
}

TEST(qvMatchingPalette, An_attribute_no_longer_shared_rejoins_the_index) {
    qvMatchingPalette palette;
    const long a = palette.property(palette.alloc(true), folder(line_width), &width_2, true);
    palette.property(a, folder("pen/color_device/color"), &red, true);
    EXPECT_EQ(palette.remove(a, folder("is_shared"), true), a);
    EXPECT_EQ(pen(palette), a);  // equal content merges into it again
    EXPECT_EQ(assertion_text([&] { palette.release(a); }), "(nothing raised)");

    const long shared = palette.alloc(true);
    palette.add_ref(shared);
    const long copy = palette.remove(shared, folder("is_shared"), false);  // the caller's private copy
    EXPECT_NE(copy, shared);
    EXPECT_EQ(assertion_text([&] { palette.property(copy, folder(line_width), &width_2, false); }),
              "(nothing raised)");
}

TEST(qvMatchingPalette, An_attribute_released_inside_the_base_is_never_merged_into) {
    qvMatchingPalette palette;
    const long target = palette.alloc(false);  // empty and indexed
    const auto word = static_cast<std::int32_t>(target);  // takes over the only reference
    const long holder = palette.property(palette.alloc(false), reference_folder, &word, false);
    EXPECT_EQ(palette.release(holder), 0);
    EXPECT_EQ(count_of(palette, target), -1);
    EXPECT_EQ(count_of(palette, palette.alloc(false)), 1);
}

TEST(qvHashStream, Published_values_bytes_as_0_to_255_and_32_bit_rotation) {
    qvHashStream empty, abc, seeded(0x80000000UL, false);
    EXPECT_EQ(empty.hash(), 0xE1D2B478UL);  // also: no stream header was written
    EXPECT_EQ(empty.version().version_value(), 0x03040001);  // values hash in their 3.4.1 form
    abc.putn("ab", 2);
    abc.put('c');
    EXPECT_EQ(abc.hash(), 0x5A3DF8CAUL);
    seeded.put('\xFF');  // 255, not a negative char spreading into high bits
    EXPECT_EQ(seeded.hash(), 0x00000010UL ^ 0xFFUL);
}

TEST(qvMatchingPaletteHash, Colliding_hashes_neither_merge_nor_drop_a_change) {
    using Index = qvMatchingPaletteIndex;
    ASSERT_EQ(folder(line_style).handle(), 16);
    ASSERT_EQ(folder(font_attribute).handle(), 48);  // 48 AND 31 is 16: the same bytes rotate alike
    EXPECT_NE(Index::value_hash(folder(line_style), &two),
              Index::value_hash(folder("pen/grayscale_device/line_style"), &two));  // folder 25
    EXPECT_EQ(Index::value_hash(folder(line_style), &two), Index::value_hash(folder(font_attribute), &two));

    qvMatchingPalette palette;
    long x = palette.property(palette.alloc(false), folder(line_style), &two, false);
    const long empty = palette.alloc(false);
    x = palette.property(x, folder(font_attribute), &two, false);  // content hash now that of the empty one
    EXPECT_NE(x, empty);
    EXPECT_EQ(simple_of(palette, x, line_style), 2);
    const long font = palette.property(palette.alloc(false), folder(font_attribute), &two, false);
    const long style = palette.property(palette.alloc(false), folder(line_style), &two, false);
    EXPECT_NE(style, font);
    EXPECT_EQ(palette.property(style, folder(font_attribute)), nullptr);
    long h = palette.property(palette.alloc(false), folder(line_style), &three, false);
    h = palette.remove(palette.property(h, folder(font_attribute), &three, false), qvFolder::root(), false);
    EXPECT_EQ(palette.property(h, folder(line_style)), nullptr);  // a remove that keeps the hash still removes
    EXPECT_EQ(palette.property(h, folder(font_attribute)), nullptr);
}

TEST(qvMatchingPaletteErrors, Bad_handles_bypassed_indices_and_failed_loads) {
    auto* base = new qvStandardPalette;
    qvMatchingPalette palette(base);  // owns and deletes `base`
    const long h = pen(palette);
    EXPECT_THROW(palette.property(h + 1, folder(line_width), &width_2, false), qvErrorFrom<qvSP_PalData>);
    EXPECT_THROW(palette.property(h, qvFolder::root(), &width_2, false), qvErrorFrom<qvSP_PalData>);
    EXPECT_EQ(width_of(palette, h), 2.0);
    const std::string before = saved(palette);
    EXPECT_THROW(load(palette, before.substr(0, before.size() - 1)), qvError);
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(pen(palette), h);  // the index survived too
    const long behind = base->alloc(false);  // made behind the index's back
    EXPECT_EQ(assertion_text([&] { palette.property(behind, folder(line_width), &width_2, false); }),
              "old_item != attr_map.end()");
    EXPECT_EQ(assertion_text([&] { palette.release(behind); }), "old_item != attr_map.end()");
    EXPECT_EQ(count_of(palette, behind), 1);
}
