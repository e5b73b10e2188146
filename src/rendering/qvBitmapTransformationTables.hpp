#pragma once
// The two dispatch tables of qvBitmapTransformation: entries {source type,
// destination type, mask flag, mode, worker}, each table ended by
// {-1, -1, 0, 0, null}. A lookup walks the entries in order and takes the
// first whose four keys equal the request's.
//
// The 1:1 table (12 entries) serves requests whose coefficients are exactly
// the identity; it has no monochrome and no mode-2 rows, so those requests,
// and any it does not hold, go on to the affine table (42 entries): for
// source type s = 1, 2, 3 and within it destination type d = 1, 2, 3, the
// entries (s, d, 0, k) for each mode k, then (s, d, 1, k), with the modes
// 0, 1, 2 when s = d and 1, 2 otherwise.
//
// Keeps true: both tables and their workers are constant data, initialised
// before any code runs; nothing is registered at start-up.

#include <orvane/rendering/qvBitmapTransformation.hpp>
#include <orvane/rendering/qvBitmapTransformationBase.hpp>

struct qvBitmapTransformationEntry {
    int source_type;
    int destination_type;
    int mask;
    int mode;
    qvBitmapTransformationBase const* worker;
};

extern const qvBitmapTransformationEntry qvExactBitmapTransformations[13];
extern const qvBitmapTransformationEntry qvAffineBitmapTransformations[43];

// The first entry's worker with these keys, or null.
qvBitmapTransformationBase const* qvFindBitmapTransformation(
    qvBitmapTransformationEntry const* table, int source_type, int destination_type, int mask,
    int mode) noexcept;

// The transformation the affine workers receive: all six coefficients of w,
// translation included (the public constructor drops it).
qvBitmapTransformation qvBitmapWorkerForm(qvTransformation const& w, bool smooth) noexcept;
