#pragma once
// The colour-device folders that the typed accessors and the standard cook
// use, and the system folders the attribute objects skip or follow, found by
// path once and then kept.
//
// Keeps true: each entry is the registered folder object of its path (never
// a copy), so a change of its bound class is seen at once. The standard
// folders are registered at load and live until unload; a path with no
// registered folder fails the assertion "fldr".

class qvFolder;
class qvPalette;

enum class qvAttributeFolderId : int {
    // system folders
    ref_count, is_shared, attr_name, attribute_flavor,
    // pen
    line_color, line_color_index, line_background_color, line_width, line_dim_unit,
    line_style, line_pattern, line_end_cap, line_join,
    // brush
    fill_color, fill_color_index, fill_background_color, fill_style, fill_image,
    fill_custom_brush,
    // marker
    marker_style, marker_size, marker_image, marker_hot_spot, marker_diameter,
    // font
    font_family, font_name, font_size, font_slant, font_weight, font_attribute,
    count
};

qvFolder& qvAttributeFolder(qvAttributeFolderId id);

// Whether `handle` names an attribute of `palette`: every attribute has a
// count, and a handle it lacks (negative ones included) answers none.
bool qvPaletteHolds(qvPalette const& palette, long handle);
