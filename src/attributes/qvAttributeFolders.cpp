// The folders of the typed accessors and the cook, by id (see
// qvAttributeFolders.hpp).

#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <array>
#include <cstddef>

namespace {

constexpr std::size_t folder_count = static_cast<std::size_t>(qvAttributeFolderId::count);

// In qvAttributeFolderId order.
constexpr std::array<char const*, folder_count> folder_paths = {
    "ref_count",
    "is_shared",
    "attr_name",
    "attribute_flavor",
    "pen/color_device/color",
    "pen/color_device/color_index",
    "pen/color_device/bg/color",
    "pen/color_device/line_width",
    "pen/color_device/line_dim_unit",
    "pen/color_device/line_style",
    "pen/color_device/line_pattern",
    "pen/color_device/line_end_cap",
    "pen/color_device/line_join",
    "brush/color_device/color",
    "brush/color_device/color_index",
    "brush/color_device/bg/color",
    "brush/color_device/fill_style",
    "brush/color_device/fill_image",
    "brush/color_device/fill_custom_brush",
    "marker/color_device/marker_style",
    "marker/color_device/marker_size",
    "marker/color_device/marker_image",
    "marker/color_device/marker_hot_spot",
    "marker/color_device/marker_diameter",
    "font/color_device/font_family",
    "font/color_device/font_name",
    "font/color_device/font_size",
    "font/color_device/font_slant",
    "font/color_device/font_weight",
    "font/color_device/font_attribute",
};

constinit std::array<qvFolder*, folder_count> found_folders{};

}  // namespace

qvFolder& qvAttributeFolder(qvAttributeFolderId id) {
    qvFolder*& entry = found_folders[static_cast<std::size_t>(id)];
    if (entry == nullptr) {
        entry = qvFolder::folder_by_name(folder_paths[static_cast<std::size_t>(id)]);
        QV_ASSERT_TEXT(entry != nullptr, "fldr");
    }
    return *entry;
}

bool qvPaletteHolds(qvPalette const& palette, long handle) {
    return palette.property(handle, qvAttributeFolder(qvAttributeFolderId::ref_count)) != nullptr;
}
