#pragma once
// The enumerated properties of an attribute's pen, brush, marker and font
// (the font family, slant and weight are in qvFontEnums.hpp).
//
// Keeps true: each is stored in a palette as one 32-bit word, so the
// underlying type is fixed at 32 bits and any 32-bit value is a valid object
// of the type. The library gives a meaning only to the codes its cook treats
// specially (line style 1 and 6, fill style 1, 8 and 9, marker style 0 and 7,
// style 0 as the fallback when a colour, pattern, image or brush is
// missing); drivers interpret the rest.

#include <orvane/attributes/qvFontEnums.hpp>

#include <cstdint>

enum qvLineStyle : std::int32_t {};
enum qvFillStyle : std::int32_t {};
enum qvMarkerStyle : std::int32_t {};
enum qvMarkerDiameter : std::int32_t {};
enum qvDimUnit : std::int32_t {};
enum qvLineEndCap : std::int32_t {};
enum qvLineJoin : std::int32_t {};
enum qvFontAttribute : std::int32_t {};
