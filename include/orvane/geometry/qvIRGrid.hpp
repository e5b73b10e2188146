#pragma once
// qvIRGrid: a planar area made of axis-parallel rectangles, kept as horizontal
// bands (rows) sorted by their y key, each holding a qvIRStrip of disjoint
// x-intervals. A row keyed y covers [y, next key) with its strip's intervals.
// It is the storage behind grid regions.
//
// Canonical form, true after every public operation (so a set of cells has
// exactly one representation, and == compares sets):
//   - an empty grid has no rows; otherwise it has at least two rows;
//   - the first row's strip is not empty, the last row's strip is empty;
//   - no two neighbouring rows have equal strips;
//   - each strip's intervals are sorted, disjoint, do not touch and have
//     positive length.
// Keys and interval ends are stored as given (never computed) and compared
// exactly; NaN never gets in. +0 and -0 are one key: the sign stored first
// stays.
//
// Rectangles with x2 < x1 or y2 < y1, a zero extent or a NaN coordinate hold
// no area: add and sub ignore them, mul erases the grid.

#include <orvane/geometry/qvMathRect.hpp>

#include <cstddef>
#include <iosfwd>
#include <map>
#include <vector>

// One x-interval [start, end) of a strip.
struct qvIRInterval {
    double start;
    double end;

    friend bool operator==(qvIRInterval const&, qvIRInterval const&) = default;
};

// qvIRStrip: an ordered set of x-intervals. Keeps true: sorted by start (and
// therefore by end), disjoint, not touching (an interval ending at x and one
// starting at x are one), start < end. Two strips are equal when they hold
// the same intervals in order, compared exactly.
class qvIRStrip {
public:
    using Intervals = std::vector<qvIRInterval>;
    using const_iterator = Intervals::const_iterator;

    bool empty() const noexcept { return c.empty(); }
    std::size_t size() const noexcept { return c.size(); }
    const_iterator begin() const noexcept { return c.begin(); }
    const_iterator end() const noexcept { return c.end(); }
    qvIRInterval const& front() const { return c.front(); }
    qvIRInterval const& back() const { return c.back(); }

    // Interval operations with [x1, x2]. An interval with x2 <= x1 or a NaN
    // end holds nothing: add and sub ignore it, mul empties the strip.
    void add(double x1, double x2);
    void sub(double x1, double x2);
    void mul(double x1, double x2);

    // Union with, difference from and intersection with another strip.
    void add(qvIRStrip const& other);
    void sub(qvIRStrip const& other);
    void mul(qvIRStrip const& other);

    void clear() noexcept { c.clear(); }

    // Each interval as "start:end " or, when empty, "STRIP IS EMPTY".
    void print(std::ostream& os) const;

    friend bool operator==(qvIRStrip const&, qvIRStrip const&) = default;

private:
    friend class qvIRGrid;

    // The strip-with-strip operations build their result in `scratch` and
    // swap it in, so a walk over many rows reuses one buffer.
    void add(qvIRStrip const& other, Intervals& scratch);
    void sub(qvIRStrip const& other, Intervals& scratch);
    void mul(qvIRStrip const& other, Intervals& scratch);

    Intervals c;
};

class qvIRGrid {
public:
    using Rows = std::map<double, qvIRStrip>;

    qvIRGrid() = default;
    qvIRGrid(qvIRGrid const&) = default;
    qvIRGrid(qvIRGrid&&) noexcept = default;
    qvIRGrid& operator=(qvIRGrid const&) = default;
    qvIRGrid& operator=(qvIRGrid&&) noexcept = default;
    ~qvIRGrid() = default;

    void erase() noexcept { c.clear(); }
    bool empty() const noexcept { return c.empty(); }
    // Fewer than two rows; in canonical form the same as empty().
    bool simple() const noexcept { return c.size() < 2; }

    // Read access for walking the bands: key -> strip, ascending.
    Rows const& rows() const noexcept { return c; }

    void add(qvMathRectOf<double> const& r);
    void sub(qvMathRectOf<double> const& r);
    void mul(qvMathRectOf<double> const& r);

    // g.add(g) and g.mul(g) leave g as it is; g.sub(g) erases it.
    void add(qvIRGrid const& other);
    void sub(qvIRGrid const& other);
    void mul(qvIRGrid const& other);

    // Removes leading empty rows and all but the lowest of the trailing
    // empty rows.
    void trim();

    // Normalises the grid and stores its bounding rectangle in bbox; an
    // empty grid gives the empty marker (1, 1, 0, 0).
    void optimize(qvMathRectOf<double>& bbox);

    // One line per row, "key: " then the strip; "GRID IS EMPTY" when empty.
    void print() const;   // on standard output
    void print(std::ostream& os) const;

    bool operator==(qvIRGrid const&) const = default;

private:
    // Band forms: apply a strip to every row in [y1, y2). add creates the
    // rows it needs; sub and mul split only inside the grid's rows.
    void add(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch);
    void sub(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch);
    void mul(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch);

    void drop_leading_empty_rows();

    Rows c;
};
