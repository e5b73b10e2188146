// What the library registers at load for attributes: the two registries,
// the 54 standard folders in table order, "UNKNOWN" and the 25 standard
// classes, numbered as palette streams carry them; and their release at
// unload. This program registers no folder or class of its own, so the
// handles are those of the library alone.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include "startup/qvLibraryStatics.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Written out independently of the library's table: (path, class name).
struct FolderRow {
    char const* path;
    char const* type;
};
constexpr std::array<FolderRow, 54> standard_folders = {{
    {"ref_count", "REF_COUNT"}, {"is_shared", "IS_SHARED"}, {"attr_name", "STRING"},
    {"attribute_flavor", "REFERENCE"}, {"brush/color_device/fill_style", "FILL_STYLE"},
    {"brush/color_device/fill_image", "IMAGE"}, {"brush/color_device/color", "COLOR_RGB"},
    {"brush/color_device/color_index", "COLOR_INDEX"}, {"brush/color_device/bg/color", "COLOR_RGB"},
    {"brush/color_device/fill_custom_brush", "CUSTOM_BRUSH"},
    {"brush/grayscale_device/fill_style", "FILL_STYLE"}, {"brush/grayscale_device/fill_image", "IMAGE"},
    {"brush/grayscale_device/color", "COLOR_GRAY"}, {"brush/grayscale_device/bg/color", "COLOR_GRAY"},
    {"brush/grayscale_device/fill_custom_brush", "CUSTOM_BRUSH"},
    {"pen/color_device/line_style", "LINE_STYLE"}, {"pen/color_device/line_width", "LINE_WIDTH"},
    {"pen/color_device/line_end_cap", "LINE_END_CAP"}, {"pen/color_device/line_join", "LINE_JOIN"},
    {"pen/color_device/line_dim_unit", "LINE_DIM_UNIT"}, {"pen/color_device/line_pattern", "LINE_PATTERN"},
    {"pen/color_device/color", "COLOR_RGB"}, {"pen/color_device/color_index", "COLOR_INDEX"},
    {"pen/color_device/bg/color", "COLOR_RGB"}, {"pen/grayscale_device/line_style", "LINE_STYLE"},
    {"pen/grayscale_device/line_width", "LINE_WIDTH"}, {"pen/grayscale_device/line_end_cap", "LINE_END_CAP"},
    {"pen/grayscale_device/line_join", "LINE_JOIN"}, {"pen/grayscale_device/line_dim_unit", "LINE_DIM_UNIT"},
    {"pen/grayscale_device/line_pattern", "LINE_PATTERN"}, {"pen/grayscale_device/color", "COLOR_GRAY"},
    {"pen/grayscale_device/bg/color", "COLOR_GRAY"}, {"marker/color_device/marker_style", "MARKER_STYLE"},
    {"marker/color_device/marker_diameter", "MARKER_DIAMETER"}, {"marker/color_device/marker_image", "IMAGE"},
    {"marker/color_device/marker_hot_spot", "MARKER_HOT_SPOT"},
    {"marker/color_device/marker_size", "MARKER_SIZE"},
    {"marker/grayscale_device/marker_style", "MARKER_STYLE"},
    {"marker/grayscale_device/marker_diameter", "MARKER_DIAMETER"},
    {"marker/grayscale_device/marker_image", "IMAGE"},
    {"marker/grayscale_device/marker_hot_spot", "MARKER_HOT_SPOT"},
    {"marker/grayscale_device/marker_size", "MARKER_SIZE"}, {"font/color_device/font_name", "STRING"},
    {"font/color_device/font_weight", "FONT_WEIGHT"}, {"font/color_device/font_family", "FONT_FAMILY"},
    {"font/color_device/font_slant", "FONT_SLANT"}, {"font/color_device/font_size", "FONT_SIZE"},
    {"font/color_device/font_attribute", "FONT_ATTRIBUTE"}, {"font/grayscale_device/font_name", "STRING"},
    {"font/grayscale_device/font_weight", "FONT_WEIGHT"},
    {"font/grayscale_device/font_family", "FONT_FAMILY"}, {"font/grayscale_device/font_slant", "FONT_SLANT"},
    {"font/grayscale_device/font_size", "FONT_SIZE"},
    {"font/grayscale_device/font_attribute", "FONT_ATTRIBUTE"},
}};

// Class handles 1 to 26: the order the folder table first names them, then "UNKNOWN".
const std::vector<std::string> class_names = {
    "REF_COUNT",    "IS_SHARED",     "STRING",         "REFERENCE",      "FILL_STYLE",      "IMAGE",
    "COLOR_RGB",    "COLOR_INDEX",   "CUSTOM_BRUSH",   "COLOR_GRAY",     "LINE_STYLE",      "LINE_WIDTH",
    "LINE_END_CAP", "LINE_JOIN",     "LINE_DIM_UNIT",  "LINE_PATTERN",   "MARKER_STYLE",    "MARKER_DIAMETER",
    "MARKER_HOT_SPOT", "MARKER_SIZE", "FONT_WEIGHT",   "FONT_FAMILY",    "FONT_SLANT",      "FONT_SIZE",
    "FONT_ATTRIBUTE", "UNKNOWN"};

// Looks the name up among the unique objects and gives the use back at once.
void* registered(char const* name) {
    void* const object = qvLookupRegistry(name);
    if (object != nullptr) {
        EXPECT_FALSE(qvRemoveRegistry(name)) << name << ": the library holds a use too";
    }
    return object;
}

}  // namespace

TEST(qvAttributeStartup, Folders_have_handles_1_to_54_in_table_order_and_classes_1_to_26) {
    EXPECT_EQ(qvFolder::max_handle(), 54);
    EXPECT_EQ(qvPropertyClass::max_handle(), 26);
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    for (std::size_t i = 0; i < standard_folders.size(); ++i) {
        qvFolder const* folder = qvFolder::folder_by_name(standard_folders[i].path);
        ASSERT_NE(folder, nullptr) << standard_folders[i].path;
        EXPECT_EQ(folder->handle(), static_cast<long>(i + 1)) << standard_folders[i].path;
        ASSERT_NE(folder->type(), nullptr) << standard_folders[i].path;
        EXPECT_STREQ(classes.name(folder->type()->handle()), standard_folders[i].type) << standard_folders[i].path;
    }
    for (std::size_t i = 0; i < class_names.size(); ++i)
        EXPECT_EQ(classes.name(static_cast<long>(i + 1)), class_names[i]);
}

TEST(qvAttributeStartup, Registries_and_classes_are_unique_objects) {
    EXPECT_EQ(registered("PropertyClass Registry"), qvPropertyClass::registry().object);
    EXPECT_EQ(registered("Folder Registry"), qvFolder::registry().object);
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    for (std::string const& name : class_names) {
        void* const object = registered(name.c_str());
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(object, static_cast<void*>(classes.object(classes.id(name.c_str())))) << name;
    }
}

namespace {

// Runs in a fresh child process.
[[noreturn]] void unload_releases_the_attribute_registrations() {
    std::vector<std::string> failures;
    qvUnloadLibrary();
    if (qvUniquePtr() != nullptr) {
        std::vector<std::string> names = class_names;
        names.insert(names.end(), {"PropertyClass Registry", "Folder Registry"});
        for (std::string const& name : names)
            if (qvLookupRegistry(name.c_str()) != nullptr) {
                failures.push_back("still registered: " + name);
                qvRemoveRegistry(name.c_str());
            }
    }
    if (qvPropertyClass::registry().object != nullptr)
        failures.push_back("the class registry holder was not emptied");
    if (qvFolder::registry().object != nullptr) failures.push_back("the folder registry holder was not emptied");
    if (qvStandardPropertyClassHolder<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>().object != nullptr)
        failures.push_back("a class holder was not emptied");
    for (std::string const& failure : failures) std::cerr << "child check failed: " << failure << "\n";
    std::exit(failures.empty() ? 0 : 1);
}

}  // namespace

TEST(qvAttributeStartupDeathTest, Unload_releases_the_registries_folders_and_classes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(unload_releases_the_attribute_registrations(), ::testing::ExitedWithCode(0), "");
}
