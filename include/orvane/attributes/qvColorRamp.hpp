#pragma once
// qvColorRamp: n entries on the straight line between two colours, entry 0
// being `second` and entry n-1 `first`; entry i has index i. Alpha is not
// used. Fewer than 2 entries raise qvErrorFrom<qvColorRamp> "Color ramp
// should have at least 2 colors"; more than 256 the colour map's error.

#include <orvane/attributes/qvColorMap.hpp>

class qvColorRamp : public qvColorMap {
public:
    qvColorRamp(int n, qvRgbColor const& first, qvRgbColor const& second);
};
