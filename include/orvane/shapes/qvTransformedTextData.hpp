#pragma once
// qvTransformedTextData: a text's data prepared for one device
// transformation, 176 bytes. A constructed one is not valid and carries the
// identity as its glyph transformation; copies copy every byte.
//   offset  field
//        0  valid (bool), then 7 padding bytes, 0 when constructed
//        8  scale: factor by which a restricted text's device box was shrunk
//           to the requested font size; 1 otherwise
//       16  anchor in device coordinates
//       32  size: font size in device units
//       40  stretch: the record's stretch (scaled text) or 1 (restricted)
//       48  p0, p1, p2, p3: the text-box vectors relative to the device anchor
//      112  height: length of p2 - p3; 120  width: length of p0 - p1
//      128  transformation: stretch, then aperture shear, then rotation

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvTransformation.hpp>

#include <cstddef>
#include <type_traits>

struct qvTransformedTextData {
    bool valid = false;
    unsigned char padding[7] = {};
    double scale = 1.0;
    qvCrdOf<double> anchor;
    double size = 0.0;
    double stretch = 1.0;
    qvCrdOf<double> p0;
    qvCrdOf<double> p1;
    qvCrdOf<double> p2;
    qvCrdOf<double> p3;
    double height = 0.0;
    double width = 0.0;
    qvTransformation transformation;
};

static_assert(std::is_trivially_copyable_v<qvTransformedTextData>);
static_assert(sizeof(qvTransformedTextData) == 176);
static_assert(offsetof(qvTransformedTextData, scale) == 8);
static_assert(offsetof(qvTransformedTextData, p0) == 48);
static_assert(offsetof(qvTransformedTextData, transformation) == 128);
