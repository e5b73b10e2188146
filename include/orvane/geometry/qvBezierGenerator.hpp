#pragma once
// qvBezierGenerator: the points of a flattened cubic Bézier curve, as a
// point iterator (get, next, at_end).
//
// The curve is subdivided at t = 1/2, depth first, on an explicit stack of
// entries (four control points, a flag telling whether the first half is
// done, the entry's depth). The iterator yields the start point of every
// flat piece from P0 onwards, in order along the curve; the end point P3 is
// never yielded: callers that need it append it themselves.
//
// Keeps true:
//   - the tolerance is > 0: a tolerance that is not (0, negative, NaN)
//     becomes 1.0 in every constructor and reset;
//   - an entry is flat when the midpoint of its curve lies within the
//     tolerance of the chord P0-P3 (a NaN distance counts as flat, so
//     non-finite control points yield P0 and end) and, when P1 and P2 lie
//     on opposite sides of the chord (an S), both lie within the tolerance
//     of it, so an S whose midpoint falls on its chord is still followed;
//     when P0 == P3 the chord is a point, and the entry is flat only if the
//     midpoint, P1 and P2 all lie within the tolerance of P0, so closed
//     loops are subdivided;
//   - an entry 24 levels deep counts as flat, so the stack never holds more
//     than 25 entries, whatever the tolerance or the coordinates;
//   - get() points at P0 of the top entry, and is null exactly when the stack
//     is empty (at_end()); the pointer stays valid until the next call that
//     changes the generator;
//   - the stack is one growable array owned by the generator: popping and
//     reset keep its storage, and a copy takes its own copy of the stack and
//     goes on from the same point as the original.

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvCrd.hpp>

#include <vector>

class qvBezierGenerator : public qvIterator<qvCrdOf<double>> {
public:
    using Point = qvCrdOf<double>;

    qvBezierGenerator(Point const& p0, Point const& p1, Point const& p2, Point const& p3,
                      double tolerance);
    // An empty generator (at its end) until reset.
    explicit qvBezierGenerator(double tolerance);
    qvBezierGenerator(qvBezierGenerator const&) = default;
    qvBezierGenerator& operator=(qvBezierGenerator const&) = default;
    ~qvBezierGenerator() override = default;

    // Restarts on another curve, keeping the stack's storage.
    void reset(Point const& p0, Point const& p1, Point const& p2, Point const& p3,
               double tolerance);

    Point* get() override;
    void next() override;
    bool at_end() const override;

protected:
    // Stores the tolerance (normalised as above) and empties the stack.
    void reset(double tolerance);
    // Begins a curve on an empty stack.
    void start(Point const& p0, Point const& p1, Point const& p2, Point const& p3);
    // One step of the subdivision, whatever a derived next() adds around it.
    void advance();

private:
    struct Entry {
        Point p[4];
        bool first_half_done;
        bool flat;  // decided once, when the entry is pushed
        int depth;
    };

    bool is_flat(Point const (&p)[4], int depth) const;
    void push(Point const& p0, Point const& p1, Point const& p2, Point const& p3, int depth);
    // Pushes halves until the top entry is flat; returns whether it pushed.
    bool fill();

    std::vector<Entry> stack_;
    double tolerance_ = 1.0;
};
