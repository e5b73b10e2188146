#pragma once
// qvRadialGradientIO: the stream form of a radial gradient, written
// after the kind word of a custom brush: the kind's prefix, then the common
// gradient part. Every field little-endian.
//
// Prefix:
//   offset  size  meaning
//        0    16  centre x, y (float64 each)
//       16    16  focal point x, y
//       32     8  radius (float64)
//
// Common gradient part, after the prefix:
//   offset  size  meaning
//        0     4  setting_a (int32)
//        4     4  setting_b (int32)
//        8    48  transformation: m0 .. m5 (float64 each)
//       56     4  stop count n (int32); n <= 0 means no stops follow
//       60     *  n stops in list order: the colour in the qvRgbColor form of
//                 the stream's version (12 or 16 bytes), then the position
//                 (float64)
//
// Loading builds a new gradient and adds each stop as it is read, so stops
// stored out of order come back ordered. The brush is re-pointed only when
// the whole form was read; on any failure it keeps its old object and the
// half-built gradient is released.

class qvCustomBrush;
class qvRadialGradient;
class qvInputStream;
class qvOutputStream;

class qvRadialGradientIO {
public:
    qvRadialGradientIO() = delete;

    // An empty handle fails the assertion "gradient.get() != nullptr".
    static void save(qvOutputStream& os, qvRadialGradient const& gradient);
    static void load(qvInputStream& is, qvCustomBrush& brush);
};
