// Folders: registration by path, the root folder, prefix enumeration and
// folder references on streams.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvPropertyClassTestSupport.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace property_test;

namespace {

std::vector<std::string> paths_of(qvFolder const& folder) {
    std::vector<std::string> paths;
    for (qvIndirectIterator<qvFolder> it = folder.enumerate(); it; ++it)
        paths.emplace_back(it->name());
    return paths;
}

qvPropertyClass* rgb() { return qvStandardPropertyClass<COLOR_RGB_INTERNAL_PROPERTY_CLASS>(); }

}  // namespace

TEST(qvFolder, Root_is_the_unregistered_empty_path) {
    qvFolder const& root = qvFolder::root();
    EXPECT_EQ(root.handle(), 0);
    EXPECT_STREQ(root.name(), "");
    EXPECT_EQ(root.type(), nullptr);
    EXPECT_TRUE(root < *qvFolder::folder_by_name("attr_name"));
    EXPECT_FALSE(*qvFolder::folder_by_name("attr_name") < root);
    EXPECT_TRUE(qvFolder() == root);
}

TEST(qvFolder, Root_enumerates_every_folder_in_byte_order) {
    const std::vector<std::string> paths = paths_of(qvFolder::root());
    ASSERT_EQ(paths.size(), 54u);
    EXPECT_EQ(paths[0], "attr_name");
    EXPECT_EQ(paths[1], "attribute_flavor");
    EXPECT_EQ(paths.back(), "ref_count");
    for (std::size_t i = 1; i < paths.size(); ++i)
        EXPECT_LT(paths[i - 1], paths[i]);
}

TEST(qvFolder, Prefix_covers_paths_that_continue_the_last_component) {
    const qvFolder color("pen/color_device/color", nullptr);
    EXPECT_EQ(paths_of(color), (std::vector<std::string>{"pen/color_device/color",
                                                         "pen/color_device/color_index"}));
}

TEST(qvFolder, Group_folder_without_class_enumerates_its_members) {
    const int highest = qvFolder::max_handle();
    {
        const qvFolder group("brush/color_device", nullptr);
        EXPECT_EQ(group.handle(), highest + 1);
        EXPECT_EQ(group.type(), nullptr);
        EXPECT_EQ(paths_of(group),
                  (std::vector<std::string>{
                      "brush/color_device", "brush/color_device/bg/color",
                      "brush/color_device/color", "brush/color_device/color_index",
                      "brush/color_device/fill_custom_brush", "brush/color_device/fill_image",
                      "brush/color_device/fill_style"}));
    }
    EXPECT_EQ(qvFolder::folder_by_name("brush/color_device"), nullptr);
}

TEST(qvFolder, Same_path_takes_the_registered_handle_and_class) {
    qvFolder const* registered = qvFolder::folder_by_name("pen/color_device/color");
    ASSERT_NE(registered, nullptr);
    const qvFolder again("pen/color_device/color", nullptr);
    EXPECT_EQ(again.handle(), registered->handle());
    EXPECT_EQ(again.type(), rgb());
    EXPECT_TRUE(again == *registered);
    const qvFolder same_class("pen/color_device/color", rgb());
    EXPECT_EQ(same_class.handle(), registered->handle());

    qvPropertyClass* gray = qvStandardPropertyClass<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>();
    expect_raises<qvAssertionError>([&] { qvFolder other("pen/color_device/color", gray); },
                                    "!pt || pt == folder->_type");
    EXPECT_EQ(qvFolder::folder_by_name("pen/color_device/color"), registered);
}

TEST(qvFolder, Only_the_registering_object_removes_the_path) {
    auto* first = new qvFolder("test/owned", rgb());
    EXPECT_EQ(qvFolder::folder_by_name("test/owned"), first);
    { const qvFolder second("test/owned", nullptr); }
    EXPECT_EQ(qvFolder::folder_by_name("test/owned"), first);
    delete first;
    EXPECT_EQ(qvFolder::folder_by_name("test/owned"), nullptr);
}

TEST(qvFolder, Reference_is_the_path_and_reads_back_the_folder) {
    qvFolder* width = qvFolder::folder_by_name("pen/color_device/line_width");
    const std::string out = written([&](qvOutputStream& os) { os << *width << qvFolder::root(); });
    EXPECT_EQ(out, bytes({27, 0}) + "pen/color_device/line_width" + bytes({0, 0}));

    Input in(out);
    qvFolder* first = nullptr;
    qvFolder* second = nullptr;
    in.stream() >> first >> second;
    EXPECT_EQ(first, width);
    EXPECT_EQ(second, &qvFolder::root());
}

TEST(qvFolder, Unregistered_path_on_a_stream_fails_fldr) {
    Input in(bytes({7, 0}) + "no/such");
    qvFolder* read = nullptr;
    expect_raises<qvAssertionError>([&] { in.stream() >> read; }, "fldr");
    EXPECT_EQ(read, nullptr);
}
