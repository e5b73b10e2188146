#pragma once
// The values a text is measured with besides its font properties
// (attributes/qvFontEnums.hpp): the font technology handed to a provider,
// the size mode that says which measures make up a font's height, and the
// number that names no provider at all.
//
// Like the font properties, each is a 32-bit word: any value is a valid
// object of its type. A size mode is a set of bits; a provider answers the
// set it accepts for the one it is asked.

#include <cstdint>

enum qvFontTechnology : std::int32_t {
    QV_FT_DEFAULT = 0   // what the library asks for: the provider's own choice
};

enum qvFontSizeMode : std::int32_t {
    QV_FSM_NONE = 0,      // the font size is the height as measured
    QV_FSM_ASCENT = 1,    // ascent minus extra
    QV_FSM_DESCENT = 2,   // descent
    QV_FSM_EXTRA = 4,     // the fourth measure
    QV_FSM_ALL = 7        // what the library asks a new default provider for
};

// Provider numbers are plain longs; this one names none.
enum qvTextMetric : long {
    QV_TM_ILLEGAL = 0
};
