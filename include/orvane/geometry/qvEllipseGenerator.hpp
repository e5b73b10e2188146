#pragma once
// qvEllipseGenerator: the points of the flattened ellipse inscribed in a
// rectangle, as a point iterator.
//
// The ellipse is four cubic Bézier quarters run one after the other through
// the Bézier generator: counter-clockwise (y upwards) from (x2, cy) through
// (cx, y2), (x1, cy) and (cx, y1). Each quarter's end point comes out as the
// next quarter's first point; the final return to (x2, cy) is not yielded.
//
// Keeps true: the quarter index is -1 before the first quarter and 4 after
// the last; the generator is at its end exactly when its Bézier stack is
// empty, which between calls happens only once the fourth quarter is done
// (or before any start: the tolerance-only constructor makes an empty
// generator). The rectangle is taken as given: an inverted one is flattened
// mirrored, without failure.

#include <orvane/geometry/qvBezierGenerator.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvEllipseGenerator : public qvBezierGenerator {
public:
    qvEllipseGenerator(qvMathRectOf<double> const& rect, double tolerance);
    // An empty generator (at its end) until reset.
    explicit qvEllipseGenerator(double tolerance);
    qvEllipseGenerator(qvEllipseGenerator const&) = default;
    qvEllipseGenerator& operator=(qvEllipseGenerator const&) = default;
    ~qvEllipseGenerator() override = default;

    void reset(qvMathRectOf<double> const& rect, double tolerance);

    void next() override;
    bool at_end() const override;

private:
    void start_quarter();

    int quarter_ = -1;
    qvMathRectOf<double> rect_{};
};
