// Names of attributes: the repository's map against the "attr_name" values
// and the reference it holds on every named attribute.

#include <orvane/attributes/qvStandardAttributeRepository.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

using namespace palette_test;

namespace {

long count_of(qvPalette const& palette, long handle) { return simple_of(palette, handle, "ref_count"); }

}  // namespace

TEST(qvStandardAttributeRepository, Bad_arguments_are_refused_before_anything_changes) {
    qvStandardPalette palette;
    const long held = palette.add_name(palette.alloc(false), "taken", false);
    const std::string before = saved(palette);
    using Error = qvErrorFrom<qvStandardAttributeRepository>;
    expect_raises<Error>([&] { palette.add_name(held, nullptr, false); },
                         "Cannot use NULL as a name for an attribute");
    expect_raises<Error>([&] { palette.add_name(0, "taken", false); },
                         "Cannot associate name with invalid attribute handle");
    expect_raises<Error>([&] { palette.add_name(held + 1, "taken", false); },
                         "Cannot associate name with invalid attribute handle");
    EXPECT_EQ(saved(palette), before);
    EXPECT_EQ(palette.handle("taken"), held);
}

TEST(qvStandardAttributeRepository, Naming_an_attribute_of_one_user_keeps_its_handle) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    EXPECT_EQ(palette.add_name(h, "pen", false), h);
    EXPECT_EQ(count_of(palette, h), 2);
    EXPECT_EQ(palette.handle("pen"), h);
    EXPECT_STREQ(palette.name(h), "pen");
}

TEST(qvStandardAttributeRepository, A_name_moves_from_the_attribute_that_held_it) {
    qvStandardPalette palette;
    const long first = palette.add_name(palette.alloc(false), "pen", false);
    palette.add_ref(first);
    const long second = palette.add_name(palette.alloc(false), "pen", false);
    EXPECT_EQ(palette.handle("pen"), second);
    EXPECT_EQ(palette.name(first), nullptr);
    EXPECT_EQ(count_of(palette, first), 2);
    // A holder with no user left disappears with its name.
    const long third = palette.alloc(false);
    palette.release(second);  // only the repository holds `second` now
    EXPECT_EQ(palette.add_name(third, "pen", false), third);
    EXPECT_EQ(palette.property(second, folder("ref_count")), nullptr);
}

TEST(qvStandardAttributeRepository, Renaming_a_shared_attribute_copies_it_without_the_old_name) {
    qvStandardPalette palette;
    const long h = palette.add_name(palette.alloc(false), "old", false);  // user and name
    const long renamed = palette.add_name(h, "new", false);
    EXPECT_NE(renamed, h);
    EXPECT_STREQ(palette.name(renamed), "new");
    EXPECT_EQ(count_of(palette, renamed), 2);
    EXPECT_EQ(palette.handle("old"), 0);
    EXPECT_EQ(palette.handle("new"), renamed);
    EXPECT_EQ(palette.property(h, folder("ref_count")), nullptr);  // its last reference was the name's
}

TEST(qvStandardAttributeRepository, Removing_the_last_reference_with_the_name_ends_the_attribute) {
    qvStandardPalette palette;
    const long h = palette.add_name(palette.alloc(false), "gone", false);
    palette.release(h);
    EXPECT_EQ(palette.remove_name(h), h);
    EXPECT_EQ(palette.property(h, folder("ref_count")), nullptr);
    EXPECT_EQ(palette.handle("gone"), 0);
    EXPECT_EQ(palette.remove_name(h + 1), 0);
    EXPECT_EQ(palette.remove_name(0), 0);
}

TEST(qvStandardAttributeRepository, Null_empty_and_unknown_names) {
    qvStandardPalette palette;
    EXPECT_EQ(palette.handle(nullptr), 0);
    EXPECT_EQ(palette.handle("nobody"), 0);
    EXPECT_EQ(palette.name(0), nullptr);
    const long h = palette.add_name(palette.alloc(false), "", false);
    EXPECT_EQ(palette.handle(""), h);
    EXPECT_STREQ(palette.name(h), "");
}
