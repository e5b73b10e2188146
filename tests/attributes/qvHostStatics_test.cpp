// A host's own folder, defined as a static of its program, takes its number
// after the standard folders whatever order the statics run in.
// Regression: such a static once took folder 1 and class 1, shifting every
// standard number that palette streams carry.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvSimplePropertyClass.hpp>

#include <gtest/gtest.h>

namespace {
qvSimplePropertyClass host_class("HOST_CLASS");
qvFolder host_folder("host/early_folder", &host_class);
}  // namespace

TEST(qvHostStatics, Host_statics_number_after_the_standard_ones) {
    EXPECT_EQ(qvFolder::folder_by_name("ref_count")->handle(), 1);
    EXPECT_EQ(qvFolder::folder_by_name("font/grayscale_device/font_attribute")->handle(), 54);
    EXPECT_EQ(host_folder.handle(), 55);
    EXPECT_EQ(host_class.handle(), 27);
}
