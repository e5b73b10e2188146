// The value map of the standard palette as classes see it when they call
// back into the palette: reference words release the attributes they name
// from inside a release, and receivers read the palette inside the
// changing call.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvReferencePropertyClass.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace palette_test;

namespace {

qvReferencePropertyClass reference_class("TEST_REFERENCE");
qvFolder reference_folder("test/reference", &reference_class);

std::vector<long> handles_of(qvPalette& palette) {
    std::vector<long> out;
    for (auto it = palette.enumerate(); it; ++it)
        out.push_back(*it);
    return out;
}

}  // namespace

TEST(qvSP_PalData, A_reference_word_releases_its_attribute_with_the_holder) {
    qvStandardPalette palette;
    const long target = palette.alloc(false);
    palette.add_ref(target);  // the reference's count
    const long holder = palette.alloc(false);
    const std::int32_t word = static_cast<std::int32_t>(target);
    palette.property(holder, reference_folder, &word, false);
    EXPECT_EQ(palette.release(holder), 0);
    EXPECT_EQ(simple_of(palette, target, "ref_count"), 1);
}

TEST(qvSP_PalData, Receivers_inside_a_release_see_the_attribute_gone) {
    qvStandardPalette palette;
    const long target = palette.alloc(false);
    const long holder = palette.alloc(false);
    const std::int32_t word = static_cast<std::int32_t>(target);
    palette.property(holder, reference_folder, &word, false);
    PaletteListener listener(palette);
    std::vector<std::vector<long>> seen;
    listener.receiver.on_next_event([&] { seen.push_back(handles_of(palette)); });
    EXPECT_EQ(palette.release(holder), 0);
    // The target dies first, from inside the holder's release; neither is
    // listed by then.
    EXPECT_EQ(listener.receiver.items, (std::vector<long>{target, holder}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].empty());
    EXPECT_TRUE(handles_of(palette).empty());
}

TEST(qvSP_PalData, An_attribute_flavor_reference_releases_nothing) {
    qvStandardPalette palette;
    const long flavour = palette.alloc(false);
    const long holder = palette.alloc(false);
    const std::int32_t word = static_cast<std::int32_t>(flavour);
    palette.property(holder, folder("attribute_flavor"), &word, false);
    palette.release(holder);
    EXPECT_EQ(simple_of(palette, flavour, "ref_count"), 1);
}

TEST(qvSP_PalData, A_reference_overwritten_in_place_releases_the_old_attribute) {
    qvStandardPalette palette;
    const long first = palette.alloc(false);
    const long second = palette.alloc(false);
    palette.add_ref(first);
    palette.add_ref(second);
    const long holder = palette.alloc(false);
    const std::int32_t to_first = static_cast<std::int32_t>(first);
    const std::int32_t to_second = static_cast<std::int32_t>(second);
    palette.property(holder, reference_folder, &to_first, false);
    palette.property(holder, reference_folder, &to_second, false);
    EXPECT_EQ(simple_of(palette, first, "ref_count"), 1);
    EXPECT_EQ(simple_of(palette, second, "ref_count"), 2);
}
