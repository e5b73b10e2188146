#pragma once
// qvLimitsAlignment: where a scroller places a model range that fits inside
// its window. Any int is a valid alignment: the three named values are the
// ones with a meaning of their own, and every value other than 0 and 1
// centres the range.

enum qvLimitsAlignment : int {
    qvLimitsAtEnd = 0,      // the model range ends at the window's device-high end
    qvLimitsAtStart = 1,    // the model range starts at the window start
    qvLimitsCentred = 2     // the model range is centred in the window (the default)
};
