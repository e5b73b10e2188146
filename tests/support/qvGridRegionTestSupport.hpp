#pragma once
// Test support for grid regions and region handles: a cell-bitmap oracle on
// an integer lattice that also follows translations by integer scales and
// offsets, and the box and simple flag a grid region must report for a set
// of cells.
//
// The lattice spans [-qvWideLatticeHalf, qvWideLatticeHalf) on both axes;
// cell (x, y) is the unit square [x, x + 1] x [y, y + 1].

#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstddef>
#include <stdexcept>

constexpr int qvWideLatticeHalf = 40;
constexpr int qvWideLatticeSide = 2 * qvWideLatticeHalf;

class qvCellOracle {
public:
    using Rect = qvMathRectOf<double>;
    using Bits = std::bitset<qvWideLatticeSide * qvWideLatticeSide>;

    qvCellOracle() = default;

    // The cells covered by a set of integer rectangles (a region's
    // enumeration); raises when a rectangle leaves the lattice or has a
    // fractional corner, which no operation of the tests may produce.
    static qvCellOracle of(qvBaseRegion const& region) {
        qvCellOracle cells;
        for (qvIndirectRectIterator it = region.enumerate(); it; ++it) cells.add(*it);
        return cells;
    }

    // Rectangles with an edge off the lattice raise; void ones change nothing.
    void add(Rect const& r) { paint(r, true); }
    void subtract(Rect const& r) { paint(r, false); }
    void intersect(Rect const& r) {
        qvCellOracle inside;
        inside.add_clipped(r);
        bits_ &= inside.bits_;
    }
    void add(qvCellOracle const& o) { bits_ |= o.bits_; }
    void subtract(qvCellOracle const& o) { bits_ &= ~o.bits_; }
    void intersect(qvCellOracle const& o) { bits_ &= o.bits_; }

    // The cells covered by the image of every cell; false (and unchanged)
    // when an image leaves the lattice.
    bool translate(qvRestrictedTransformation const& rt) {
        qvCellOracle image;
        for (int y = -qvWideLatticeHalf; y < qvWideLatticeHalf; ++y)
            for (int x = -qvWideLatticeHalf; x < qvWideLatticeHalf; ++x) {
                if (!test(x, y)) continue;
                const Rect cell = qvTransformRect(Rect(x, y, x + 1, y + 1), rt);
                if (!image.fits(cell)) return false;
                image.add(cell);
            }
        bits_ = image.bits_;
        return true;
    }

    bool fits(Rect const& r) const {
        return r.x1 >= -qvWideLatticeHalf && r.y1 >= -qvWideLatticeHalf && r.x2 <= qvWideLatticeHalf &&
               r.y2 <= qvWideLatticeHalf;
    }

    bool empty() const { return bits_.none(); }
    bool test(int x, int y) const { return bits_.test(index(x, y)); }
    // Every cell of r is covered.
    bool covers(Rect const& r) const {
        qvCellOracle cells;
        cells.add(r);
        return (cells.bits_ & ~bits_).none();
    }
    // Every covered cell lies in r.
    bool inside(Rect const& r) const {
        qvCellOracle cells;
        cells.add_clipped(r);
        return (bits_ & ~cells.bits_).none();
    }

    // The box a grid region must report: the cells' bounding rectangle, or
    // (1, 1, 0, 0) when there are none.
    Rect box() const {
        int x1 = qvWideLatticeHalf, y1 = qvWideLatticeHalf, x2 = -qvWideLatticeHalf, y2 = -qvWideLatticeHalf;
        for (int y = -qvWideLatticeHalf; y < qvWideLatticeHalf; ++y)
            for (int x = -qvWideLatticeHalf; x < qvWideLatticeHalf; ++x)
                if (test(x, y)) {
                    x1 = std::min(x1, x);
                    y1 = std::min(y1, y);
                    x2 = std::max(x2, x + 1);
                    y2 = std::max(y2, y + 1);
                }
        if (x2 < x1) return Rect::make_empty();
        return Rect(x1, y1, x2, y2);
    }
    // Simple: no cells, or exactly the cells of the box `b` (from box()).
    bool simple(Rect const& b) const {
        if (empty()) return true;
        return bits_.count() == static_cast<std::size_t>((b.x2 - b.x1) * (b.y2 - b.y1));
    }

    friend bool operator==(qvCellOracle const&, qvCellOracle const&) = default;

private:
    static std::size_t index(int x, int y) {
        return static_cast<std::size_t>((y + qvWideLatticeHalf) * qvWideLatticeSide + x + qvWideLatticeHalf);
    }

    static void require_lattice(Rect const& r) {
        for (double v : {r.x1, r.y1, r.x2, r.y2})
            if (v != std::floor(v)) throw std::logic_error("rectangle off the integer lattice");
    }

    void paint(Rect const& r, bool on) {
        if (!(r.x1 <= r.x2 && r.y1 <= r.y2)) return;
        require_lattice(r);
        if (!fits(r)) throw std::logic_error("rectangle outside the lattice");
        for (int y = static_cast<int>(r.y1); y < static_cast<int>(r.y2); ++y)
            for (int x = static_cast<int>(r.x1); x < static_cast<int>(r.x2); ++x) bits_.set(index(x, y), on);
    }

    // Adds the part of an integer rectangle that lies on the lattice.
    void add_clipped(Rect const& r) {
        const auto clip = [](double v) {
            return std::clamp(v, double{-qvWideLatticeHalf}, double{qvWideLatticeHalf});
        };
        // Stored as given: a rectangle clipped away entirely stays inverted.
        add(Rect(qvRectOf<double>(clip(r.x1), clip(r.y1), clip(r.x2), clip(r.y2))));
    }

    Bits bits_;
};
