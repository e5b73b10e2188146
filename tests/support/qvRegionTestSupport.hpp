#pragma once
// Test support for the regions: a test-only region that supplies only the
// primitives of qvGenericRegion (so every other operation takes the generic
// road), a cell-bitmap oracle on an integer lattice that follows
// translations, and helpers that read a region back as rectangles or text.

#include <orvane/geometry/qvGenericRegion.hpp>
#include <orvane/geometry/qvGeometryStreaming.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <bitset>
#include <cmath>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using qvTestRect = qvMathRectOf<double>;
using qvTestRects = std::vector<qvTestRect>;

// Stored as given: the ordered constructors would swap an inverted one.
inline qvTestRect qvRawRect(double x1, double y1, double x2, double y2) {
    return qvTestRect(qvRectOf<double>(x1, y1, x2, y2));
}
inline bool qvTestIsVoid(qvTestRect const& r) { return !(r.x1 <= r.x2 && r.y1 <= r.y2); }

inline qvTestRects qvRectsOf(qvBaseRegion const& region) {
    qvTestRects out;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it) out.push_back(*it);
    return out;
}

// op 0 add, 1 subtract, 2 intersect.
template <class Region, class Operand>
void qvApplyOp(Region& region, int op, Operand const& o) {
    if (op == 0) region += o;
    if (op == 1) region -= o;
    if (op == 2) region *= o;
}

template <class T>
std::string qvTextOf(T const& value) {
    std::ostringstream os;
    os << value;
    return os.str();
}

inline void PrintTo(qvBaseRegion const& region, std::ostream* os) { *os << region; }
inline void PrintTo(qvTestRect const& rect, std::ostream* os) { *os << rect; }

// A region that supplies only the primitives, kept in a list region, so
// every other operation takes the generic road. Counts live instances, and
// a subtract can be made to throw, to check that temporaries are released
// when one passes.
class qvTestVectorRegion : public qvGenericRegion {
public:
    static inline int alive = 0;
    static inline int subtract_budget = -1;  // < 0: never fail
    qvTestVectorRegion() { ++alive; }
    explicit qvTestVectorRegion(qvTestRects const& rects) : qvTestVectorRegion() {
        for (qvTestRect const& r : rects) add(r);
    }
    qvTestVectorRegion(qvTestVectorRegion const& o) : qvGenericRegion(o), list_(o.list_) { ++alive; }
    ~qvTestVectorRegion() override { --alive; }
    qvTestVectorRegion& operator=(qvTestVectorRegion const&) = delete;
    using qvGenericRegion::operator=;
    qvBaseRegion& add(qvTestRect const& r) override { return list_.add(r), *this; }
    qvBaseRegion& subtract(qvTestRect const& r) override {
        if (subtract_budget == 0) throw std::runtime_error("subtract failed on purpose");
        if (subtract_budget > 0) --subtract_budget;
        return list_.subtract(r), *this;
    }
    qvBaseRegion& intersect(qvTestRect const& r) override { return list_.intersect(r), *this; }
    qvIndirectRectIterator enumerate() const override { return list_.enumerate(); }
    bool empty() const override { return list_.empty(); }
    qvTestRect const& bbox() const override { return list_.bbox(); }
    bool simple() const override { return list_.simple(); }
    qvBaseRegion& erase() override { return list_.erase(), *this; }
    qvBaseRegion* clone() const override { return new qvTestVectorRegion(*this); }
    qvBaseRegion* create() const override { return new qvTestVectorRegion; }

private:
    qvListRegion list_;
};

// A region that reads through to `inner` and answers query_interface with
// inner's answer, as a region handle answers with its implementation:
// operations handed the handle must recognise their own region.
class qvTestHandle : public qvTestVectorRegion {
public:
    explicit qvTestHandle(qvBaseRegion& inner) : inner_(inner) {}
    using qvTestVectorRegion::operator=;
    void* query_interface(qvInterfaceInfo const& info) override { return inner_.query_interface(info); }
    qvIndirectRectIterator enumerate() const override { return inner_.enumerate(); }
    bool empty() const override { return inner_.empty(); }
    qvTestRect const& bbox() const override { return inner_.bbox(); }
    bool simple() const override { return inner_.simple(); }

private:
    qvBaseRegion& inner_;
};

// The unit cells of the lattice [-40, 40)^2 that a set covers; cell (x, y)
// is [x, x + 1] x [y, y + 1]. Operations are numbered 0 add, 1 subtract,
// 2 intersect. A rectangle off the lattice or with a fractional corner
// raises: no operation of the tests may produce one.
struct qvCellOracle {
    static constexpr int half = 40, side = 2 * half;
    std::bitset<side * side> bits;
    static std::size_t index(int x, int y) { return std::size_t((y + half) * side + x + half); }
    static bool fits(qvTestRect const& r) {
        return r.x1 >= -half && r.y1 >= -half && r.x2 <= half && r.y2 <= half;
    }
    static qvCellOracle of(qvTestRect const& r) {
        qvCellOracle cells;
        if (qvTestIsVoid(r)) return cells;
        for (double v : {r.x1, r.y1, r.x2, r.y2})
            if (v != std::floor(v) || !fits(r)) throw std::logic_error("rectangle off the lattice");
        for (int y = int(r.y1); y < int(r.y2); ++y)
            for (int x = int(r.x1); x < int(r.x2); ++x) cells.bits.set(index(x, y));
        return cells;
    }
    static qvCellOracle of(qvBaseRegion const& region) {
        qvCellOracle cells;
        for (qvTestRect const& r : qvRectsOf(region)) cells.bits |= of(r).bits;
        return cells;
    }
    void apply(int op, qvCellOracle const& o) {
        if (op == 0) bits |= o.bits;
        if (op == 1) bits &= ~o.bits;
        if (op == 2) bits &= o.bits;
    }
    void apply(int op, qvTestRect const& r) { apply(op, of(r)); }
    qvTestRects cells() const {
        qvTestRects out;
        for (int y = -half; y < half; ++y)
            for (int x = -half; x < half; ++x)
                if (bits.test(index(x, y))) out.emplace_back(x, y, x + 1, y + 1);
        return out;
    }

    // The image of every cell, mapped by `rt` and then by `then`; false (and
    // unchanged) when one leaves the lattice. Both maps are monotone, so the
    // images of the cells of a rectangle make up the image of the rectangle,
    // rounding and all; an image holding no area (or NaN) holds no cell.
    bool translate(qvRestrictedTransformation const& rt,
                   qvRestrictedTransformation const& then = qvRestrictedTransformation()) {
        qvCellOracle image;
        for (qvTestRect const& cell : cells()) {
            const qvTestRect mapped = qvTransformRect(qvTransformRect(cell, rt), then);
            if (!(mapped.x1 < mapped.x2 && mapped.y1 < mapped.y2)) continue;
            if (!fits(mapped)) return false;
            image.apply(0, mapped);
        }
        bits = image.bits;
        return true;
    }
    // The cells' bounding rectangle, or (1, 1, 0, 0) when there are none.
    qvTestRect box() const { return qvTestVectorRegion(cells()).bbox(); }
    // No cells, or exactly the cells of the box.
    bool simple() const { return bits.none() || of(box()) == *this; }
    friend bool operator==(qvCellOracle const&, qvCellOracle const&) = default;
};

// A rectangle of positive area with corners in [0, max].
inline qvTestRect qvRandomLatticeRect(std::mt19937& rng, int max = 16) {
    std::uniform_int_distribution<int> coord(0, max);
    for (;;) {
        const int x1 = coord(rng), x2 = coord(rng), y1 = coord(rng), y2 = coord(rng);
        if (x1 != x2 && y1 != y2) return qvTestRect(x1, y1, x2, y2);
    }
}
