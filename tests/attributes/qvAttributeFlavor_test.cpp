// Attribute flavours: the second attribute named by an owner's
// "attribute_flavor" folder, how it is found or made, how its handle and
// the owner's folder stay in step through copy on write, and the counts
// that go with it.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvFlavorAttributeProxy.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>

using attribute_object_test::count_of;
using attribute_object_test::folder;
using attribute_object_test::RecordingPalette;

namespace {

qvFolder& flavor_folder() { return folder("attribute_flavor"); }

long flavor_of(qvAttributeFolderInterface& owner) {
    return attribute_object_test::word_of(owner.property(flavor_folder()));
}

}  // namespace

TEST(qvAttributeFlavor, Empty_owner_folder_gets_a_new_attribute_that_later_flavours_share) {
    qvStandardPalette palette;
    qvAttributeProxy owner(palette, 0);
    qvFlavorAttributeProxy first(&owner, flavor_folder());
    const long f = first.attribute_handle();
    EXPECT_NE(owner.attribute_handle(), 0);  // writing the folder made the owner's attribute
    EXPECT_EQ(flavor_of(owner), f);
    EXPECT_EQ(count_of(palette, f), 2);  // the owner's folder value and the flavour
    {
        qvFlavorAttributeProxy second(&owner, flavor_folder());
        EXPECT_EQ(second.attribute_handle(), f);
        EXPECT_EQ(count_of(palette, f), 3);
    }
    EXPECT_EQ(count_of(palette, f), 2);
}

TEST(qvAttributeFlavor, Private_copy_moves_both_references_and_the_owner_folder) {
    RecordingPalette palette;
    qvAttributeProxy owner(palette, 0);
    qvFlavorAttributeProxy flavor(&owner, flavor_folder());
    const long old = flavor.attribute_handle();
    palette.calls.clear();
    flavor.line_width(2.0);  // count 2: the palette answers with a copy
    const long now = flavor.attribute_handle();
    EXPECT_EQ(count_of(palette, now), 2);
    EXPECT_EQ(count_of(palette, old), 0);
    const std::string o = std::to_string(old), n = std::to_string(now),
                      w = std::to_string(owner.attribute_handle());
    EXPECT_EQ(palette.changes(), (std::vector<std::string>{
                                     "set " + o + " pen/color_device/line_width 0", "release " + o,
                                     "add_ref " + n, "set " + w + " attribute_flavor 0"}));
}

TEST(qvAttributeFlavor, Shared_flavours_write_with_the_shared_flag) {
    RecordingPalette palette;
    qvAttributeProxy owner(palette, 0);
    {
        qvSharedFlavorAttributeProxy flavor(&owner, flavor_folder());
        const long f = flavor.attribute_handle();
        EXPECT_EQ(palette.changes().front(), "alloc 1");
        palette.calls.clear();
        flavor.line_width(2.0);  // marked shared: changed in place
        EXPECT_EQ(palette.changes(),
                  (std::vector<std::string>{"set " + std::to_string(f) + " pen/color_device/line_width 1"}));
    }
    owner.destroy_folder(flavor_folder());
    palette.calls.clear();
    qvFlavorAttributeProxy plain(&owner, flavor_folder());
    EXPECT_EQ(palette.changes().front(), "alloc 0");
}

TEST(qvAttributeFlavor, Destroying_the_flavour_leaves_the_owner_value_and_the_attribute) {
    qvStandardPalette palette;
    qvAttributeProxy owner(palette, 0);
    long f;
    {
        qvFlavorAttributeProxy flavor(&owner, flavor_folder());
        flavor.fill_style(qvFillStyle{3});
        f = flavor.attribute_handle();
    }
    EXPECT_EQ(flavor_of(owner), f);
    EXPECT_EQ(count_of(palette, f), 1);
    qvFlavorAttributeProxy again(&owner, flavor_folder());
    EXPECT_EQ(again.fill_style(), 3);
}

TEST(qvAttributeFlavor, Disconnecting_drops_both_references_and_clears_the_owner_folder) {
    qvStandardPalette palette;
    qvAttributeProxy owner(palette, 0);
    qvFlavorAttributeProxy flavor(&owner, flavor_folder());
    const long f = flavor.attribute_handle();
    flavor.disconnect_attribute();
    EXPECT_EQ(count_of(palette, f), 0);
    EXPECT_EQ(flavor_of(owner), 0);
    flavor.marker_style(qvMarkerStyle{2});  // a later write makes a new flavour
    EXPECT_EQ(count_of(palette, flavor_of(owner)), 2);
}

TEST(qvAttributeFlavor, Construction_checks_palette_and_folder_before_allocating) {
    qvAttributeProxy unbound;
    EXPECT_THROW(qvFlavorAttributeProxy(&unbound, flavor_folder()), qvErrorFrom<qvAttributeBase>);
    RecordingPalette palette;
    qvAttributeProxy owner(palette, 0);
    EXPECT_THROW(qvSharedFlavorAttributeProxy(&owner, folder("pen/color_device/line_style")),
                 qvErrorFrom<qvPropertyClass>);
    EXPECT_TRUE(palette.changes().empty());
}
