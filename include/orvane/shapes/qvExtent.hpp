#pragma once
// qvExtent: the measured extent of a text, three doubles: its width, its
// descent below the baseline and its ascent above it. Text records store
// one (in model units) and the flavour port measures one.

struct qvExtent {
    double width = 0.0;
    double descent = 0.0;
    double ascent = 0.0;

    bool operator==(qvExtent const&) const noexcept = default;
};
