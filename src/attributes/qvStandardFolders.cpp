// qvStandardFolders: the table of the standard folders and their classes
// (see qvStandardFolders.hpp).

#include "attributes/qvStandardFolders.hpp"

#include <orvane/attributes/qvStandardPropertyClasses.hpp>

namespace {

template <class C>
qvPropertyClass* type() {
    return qvStandardPropertyClass<C>();
}

}  // namespace

// The four system folders come first: palettes keep their own bookkeeping
// there (reference count, shared flag, name, flavour attribute).
std::array<qvStandardFolders::Row, qvStandardFolders::count> const& qvStandardFolders::table() noexcept {
    static constexpr std::array<Row, count> rows = {{
        {"ref_count", &type<REF_COUNT_INTERNAL_PROPERTY_CLASS>},
        {"is_shared", &type<IS_SHARED_INTERNAL_PROPERTY_CLASS>},
        {"attr_name", &type<STRING_INTERNAL_PROPERTY_CLASS>},
        {"attribute_flavor", &type<REFERENCE_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/fill_style", &type<FILL_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/fill_image", &type<IMAGE_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/color", &type<COLOR_RGB_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/color_index", &type<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/bg/color", &type<COLOR_RGB_INTERNAL_PROPERTY_CLASS>},
        {"brush/color_device/fill_custom_brush", &type<CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS>},
        {"brush/grayscale_device/fill_style", &type<FILL_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"brush/grayscale_device/fill_image", &type<IMAGE_INTERNAL_PROPERTY_CLASS>},
        {"brush/grayscale_device/color", &type<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>},
        {"brush/grayscale_device/bg/color", &type<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>},
        {"brush/grayscale_device/fill_custom_brush", &type<CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_style", &type<LINE_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_width", &type<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_end_cap", &type<LINE_END_CAP_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_join", &type<LINE_JOIN_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_dim_unit", &type<LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/line_pattern", &type<LINE_PATTERN_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/color", &type<COLOR_RGB_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/color_index", &type<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>},
        {"pen/color_device/bg/color", &type<COLOR_RGB_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_style", &type<LINE_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_width", &type<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_end_cap", &type<LINE_END_CAP_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_join", &type<LINE_JOIN_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_dim_unit", &type<LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/line_pattern", &type<LINE_PATTERN_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/color", &type<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>},
        {"pen/grayscale_device/bg/color", &type<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>},
        {"marker/color_device/marker_style", &type<MARKER_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"marker/color_device/marker_diameter", &type<MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS>},
        {"marker/color_device/marker_image", &type<IMAGE_INTERNAL_PROPERTY_CLASS>},
        {"marker/color_device/marker_hot_spot", &type<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>},
        {"marker/color_device/marker_size", &type<MARKER_SIZE_INTERNAL_PROPERTY_CLASS>},
        {"marker/grayscale_device/marker_style", &type<MARKER_STYLE_INTERNAL_PROPERTY_CLASS>},
        {"marker/grayscale_device/marker_diameter", &type<MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS>},
        {"marker/grayscale_device/marker_image", &type<IMAGE_INTERNAL_PROPERTY_CLASS>},
        {"marker/grayscale_device/marker_hot_spot", &type<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>},
        {"marker/grayscale_device/marker_size", &type<MARKER_SIZE_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_name", &type<STRING_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_weight", &type<FONT_WEIGHT_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_family", &type<FONT_FAMILY_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_slant", &type<FONT_SLANT_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_size", &type<FONT_SIZE_INTERNAL_PROPERTY_CLASS>},
        {"font/color_device/font_attribute", &type<FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_name", &type<STRING_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_weight", &type<FONT_WEIGHT_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_family", &type<FONT_FAMILY_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_slant", &type<FONT_SLANT_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_size", &type<FONT_SIZE_INTERNAL_PROPERTY_CLASS>},
        {"font/grayscale_device/font_attribute", &type<FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>},
    }};
    return rows;
}

// The root folder is made first: it is the "empty folder" of the load order.
qvStandardFolders::qvStandardFolders() : qvStandardFolders((qvFolder::root(), std::make_index_sequence<count>{})) {}

// Braced initialisers run left to right: the folders register in table order.
template <std::size_t... I>
qvStandardFolders::qvStandardFolders(std::index_sequence<I...>)
    : folders_{qvFolder(table()[I].path, table()[I].type())...} {}
