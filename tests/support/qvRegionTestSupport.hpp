#pragma once
// Test support for the regions: a test-only region that supplies only the
// primitives of qvGenericRegion (so every other operation takes the generic
// road), a cell-bitmap oracle on a small integer lattice, and helpers that
// read a region back as rectangles or cells.

#include <orvane/geometry/qvGenericRegion.hpp>
#include <orvane/geometry/qvGeometryStreaming.hpp>

#include <bitset>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using qvTestRect = qvMathRectOf<double>;

// A rectangle stored as given: the ordered constructors would swap an
// inverted one into a real one.
inline qvTestRect qvRawRect(double x1, double y1, double x2, double y2) {
    return qvTestRect(qvRectOf<double>(x1, y1, x2, y2));
}

inline bool qvTestIsVoid(qvTestRect const& r) { return !(r.x1 <= r.x2 && r.y1 <= r.y2); }

// The rectangles of a region, in enumeration order.
inline std::vector<qvTestRect> qvRectsOf(qvBaseRegion const& region) {
    std::vector<qvTestRect> out;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it) out.push_back(*it);
    return out;
}

template <class T>
std::string qvTextOf(T const& value) {
    std::ostringstream os;
    os << value;
    return os.str();
}

// A region kept as a vector of rectangles, built only from the primitives.
// Its difference cuts each rectangle into at most four disjoint pieces, a
// different road from the list region's, so the two check each other.
// Enumeration always goes through a heap iterator. Counts live instances
// and can be told to fail a later subtract, to check that temporaries are
// released when an exception passes.
class qvTestVectorRegion : public qvGenericRegion {
public:
    static inline int alive = 0;
    static inline int subtract_budget = -1;  // < 0: never fail

    qvTestVectorRegion() { ++alive; }
    explicit qvTestVectorRegion(std::vector<qvTestRect> const& rects) : qvTestVectorRegion() {
        for (qvTestRect const& r : rects) add(r);
    }
    qvTestVectorRegion(qvTestVectorRegion const& other)
        : qvGenericRegion(other), rects_(other.rects_), box_(other.box_) {
        ++alive;
    }
    ~qvTestVectorRegion() override { --alive; }
    qvTestVectorRegion& operator=(qvTestVectorRegion const&) = delete;

    using qvGenericRegion::operator=;

    qvBaseRegion& add(qvTestRect const& rect) override {
        const qvTestRect r = rect;
        if (!qvTestIsVoid(r)) rects_.push_back(r);
        refresh_box();
        return *this;
    }
    qvBaseRegion& subtract(qvTestRect const& rect) override {
        if (subtract_budget == 0) throw std::runtime_error("subtract failed on purpose");
        if (subtract_budget > 0) --subtract_budget;
        const qvTestRect b = rect;
        if (qvTestIsVoid(b)) return *this;
        std::vector<qvTestRect> kept;
        for (qvTestRect const& a : rects_) cut(a, b, kept);
        rects_.swap(kept);
        refresh_box();
        return *this;
    }
    qvBaseRegion& intersect(qvTestRect const& rect) override {
        const qvTestRect b = rect;
        std::vector<qvTestRect> kept;
        if (!qvTestIsVoid(b))
            for (qvTestRect const& a : rects_)
                if (qvRectsOverlap(a, b)) kept.push_back(a * b);
        rects_.swap(kept);
        refresh_box();
        return *this;
    }

    qvIndirectRectIterator enumerate() const override {
        return qvIndirectRectIterator(new Iterator(rects_));
    }
    bool empty() const override { return rects_.empty(); }
    qvTestRect const& bbox() const override { return box_; }
    bool simple() const override { return rects_.size() < 2; }
    qvBaseRegion& erase() override {
        rects_.clear();
        refresh_box();
        return *this;
    }
    qvBaseRegion* clone() const override { return new qvTestVectorRegion(*this); }
    qvBaseRegion* create() const override { return new qvTestVectorRegion; }

private:
    class Iterator : public qvIterator<qvTestRect> {
    public:
        explicit Iterator(std::vector<qvTestRect> const& rects) : rects_(rects) {}
        qvTestRect* get() override {
            current_ = rects_[index_];
            return &current_;
        }
        void next() override { ++index_; }
        bool at_end() const override { return index_ >= rects_.size(); }

    private:
        std::vector<qvTestRect> const& rects_;
        std::size_t index_ = 0;
        qvTestRect current_;
    };

    // a minus the interior of b: the bands below and above b, then the
    // parts left and right of b between them.
    static void cut(qvTestRect const& a, qvTestRect const& b, std::vector<qvTestRect>& out) {
        if (!qvRectsOverlap(a, b)) {
            out.push_back(a);
            return;
        }
        const qvTestRect c = a * b;
        if (a.y1 < c.y1) out.emplace_back(a.x1, a.y1, a.x2, c.y1);
        if (c.y2 < a.y2) out.emplace_back(a.x1, c.y2, a.x2, a.y2);
        if (a.x1 < c.x1) out.emplace_back(a.x1, c.y1, c.x1, c.y2);
        if (c.x2 < a.x2) out.emplace_back(c.x2, c.y1, a.x2, c.y2);
    }

    void refresh_box() {
        box_ = qvTestRect::make_empty();
        for (std::size_t i = 0; i < rects_.size(); ++i)
            if (i == 0)
                box_ = rects_[i];
            else
                box_ += rects_[i];
    }

    std::vector<qvTestRect> rects_;
    qvTestRect box_ = qvTestRect::make_empty();
};

// The unit cells of a 12 x 12 lattice that a set covers.
constexpr int qvLatticeSize = 12;
using qvCells = std::bitset<qvLatticeSize * qvLatticeSize>;

inline qvCells qvCellsOf(qvTestRect const& r) {
    qvCells cells;
    for (int x = 0; x < qvLatticeSize; ++x)
        for (int y = 0; y < qvLatticeSize; ++y)
            if (r.x1 <= x && x + 1 <= r.x2 && r.y1 <= y && y + 1 <= r.y2)
                cells.set(static_cast<std::size_t>(y * qvLatticeSize + x));
    return cells;
}

inline qvCells qvCellsOf(qvBaseRegion const& region) {
    qvCells cells;
    for (qvTestRect const& r : qvRectsOf(region)) cells |= qvCellsOf(r);
    return cells;
}

// A rectangle of positive area on the lattice.
inline qvTestRect qvRandomLatticeRect(std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(0, qvLatticeSize);
    for (;;) {
        const int x1 = coord(rng), x2 = coord(rng), y1 = coord(rng), y2 = coord(rng);
        if (x1 != x2 && y1 != y2) return qvTestRect(x1, y1, x2, y2);
    }
}

// gtest prints regions and rectangles in their text form.
inline void PrintTo(qvBaseRegion const& region, std::ostream* os) { *os << region; }
inline void PrintTo(qvTestRect const& rect, std::ostream* os) { *os << rect; }
