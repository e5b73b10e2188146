#pragma once
// The font properties of an attribute: family, slant and weight.
//
// Each is stored as a 32-bit word (palettes persist them as such), so the
// underlying type is fixed: any 32-bit value is a valid object of the type,
// and code that gives a value a meaning checks its range first.

#include <cstdint>

enum qvFontFamily : std::int32_t {
    QV_FF_DONT_CARE = 0,
    QV_FF_ROMAN = 1,
    QV_FF_SWISS = 2,
    QV_FF_MODERN = 3,
    QV_FF_SCRIPT = 4,
    QV_FF_DECORATIVE = 5
};

enum qvFontSlant : std::int32_t {
    QV_FS_UPRIGHT = 0,
    QV_FS_ITALIC = 1
};

enum qvFontWeight : std::int32_t {
    QV_FW_DONT_CARE = 0,
    QV_FW_THIN = 1,
    QV_FW_EXTRA_LIGHT = 2,
    QV_FW_LIGHT = 3,
    QV_FW_NORMAL = 4,
    QV_FW_MEDIUM = 5,
    QV_FW_SEMI_BOLD = 6,
    QV_FW_BOLD = 7,
    QV_FW_EXTRA_BOLD = 8,
    QV_FW_HEAVY = 9
};
