#pragma once
// Nearest-colour search shared by merging and the two lookup tables.
//
// Distances are squared Euclidean distances in byte units (at most
// 3 x 255^2 = 195075). The search walks the entries in position order and
// takes a candidate only when it is strictly nearer than the best so far,
// starting from `bound`: the first of equal candidates wins, and an entry no
// nearer than the bound is never taken.

#include <orvane/attributes/qvColorMapEntry.hpp>

struct qvNearestColor {
    int position;   // -1: no entry nearer than the bound
    int distance;   // the bound when none was found
};

inline int qvColorDistance(qvBitmapColor const& a, int r, int g, int b) noexcept {
    const int dr = a.red() - r, dg = a.green() - g, db = a.blue() - b;
    return dr * dr + dg * dg + db * db;
}

inline qvNearestColor qvFindNearestColor(qvColorMapEntry const* entries, int count, int r, int g,
                                         int b, int bound) noexcept {
    qvNearestColor best{-1, bound};
    for (int k = 0; k < count; ++k) {
        const int d = qvColorDistance(entries[k], r, g, b);
        if (d < best.distance) best = {k, d};
    }
    return best;
}

// The index byte of the nearest entry, 255 when there are no entries.
inline unsigned char qvNearestIndex(qvColorMapEntry const* entries, int count, int r, int g,
                                    int b) noexcept {
    const qvNearestColor best = qvFindNearestColor(entries, count, r, g, b, 2147483647);
    return best.position < 0 ? 255 : entries[best.position].index();
}
