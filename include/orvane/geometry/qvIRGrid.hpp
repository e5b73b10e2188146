#pragma once
// qvIRGrid: a planar area made of axis-parallel rectangles, kept as horizontal
// bands (rows) sorted by their y key, each holding a strip of disjoint
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
// Keys and interval ends are stored as given, or as a move or mapping
// computed them, and compared exactly; NaN never gets in. +0 and -0 are one
// key: where both operands of an operation hold it, the sign this grid
// stored stays.
//
// Rectangles with x2 < x1 or y2 < y1, a zero extent or a NaN coordinate hold
// no area: add and sub ignore them, mul erases the grid.
//
// Storage is flat: one array of rows (key, where its intervals start, how
// many) and one pool of intervals. Walks and whole-grid operations are
// single passes over contiguous memory; an operation on a few rows
// rewrites only those rows' intervals, at the end of the pool, and the
// space they leave is reclaimed once it outweighs the live intervals. No
// two rows share an interval of the pool. Copies share the pool until one
// of them writes to it, so a copy costs its rows, and a copy that is then
// combined with another grid (which writes a new pool anyway) copies no
// interval at all. Copies are still values: what one does, the other never
// sees.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRTComponent.hpp>

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
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
    Intervals c;
};

// One row of a grid as read through qvIRGrid::row(): its key and its strip.
struct qvIRRow {
    double key;
    std::span<qvIRInterval const> strip;
};

class qvIRGrid {
public:
    qvIRGrid() = default;
    qvIRGrid(qvIRGrid const& other);
    qvIRGrid(qvIRGrid&& other) noexcept;
    qvIRGrid& operator=(qvIRGrid const& other);
    qvIRGrid& operator=(qvIRGrid&& other) noexcept;
    ~qvIRGrid() = default;

    // Removes every row and gives the memory back.
    void erase() noexcept;
    bool empty() const noexcept { return c.empty(); }
    // Fewer than two rows; in canonical form the same as empty().
    bool simple() const noexcept { return c.size() < 2; }

    // Read access for walking the bands, ascending; i < row_count().
    std::size_t row_count() const noexcept { return c.size(); }
    qvIRRow row(std::size_t i) const noexcept { return {c[i].key, strip(c[i])}; }

    void add(qvMathRectOf<double> const& r);
    void sub(qvMathRectOf<double> const& r);
    void mul(qvMathRectOf<double> const& r);

    // g.add(g) and g.mul(g) leave g as it is; g.sub(g) erases it.
    void add(qvIRGrid const& other);
    void sub(qvIRGrid const& other);
    void mul(qvIRGrid const& other);

    // Replaces the grid with the union of the rectangles (those holding no
    // area drop out) in one sweep upwards: the same set as adding them one
    // by one. The sweep's work is the rectangles' edges sorted plus, at
    // every key, the rectangles that span it; *this changes only on
    // success.
    void assign_union(std::span<qvMathRectOf<double> const> rects);
    // The image under the axis maps x and y: the same grid as uniting, into
    // an empty grid, the image of every band's rectangles (so images that
    // hold no area or a NaN drop out, and touching ones merge).
    qvIRGrid mapped(qvRTComponent const& x, qvRTComponent const& y) const;

    // Moves the grid by (dx, dy) in place: the same grid as
    // mapped({1, dx}, {1, dy}), in one pass over the storage. Where rounding
    // of the moved values makes neighbouring keys or interval ends meet,
    // the collapsed bands and intervals go and the neighbours merge. True
    // when nothing did, so that every row and interval is its own image
    // moved (the bounding box then moves exactly). A NaN or infinite offset
    // takes mapped() and gives false.
    bool shift(double dx, double dy);

    // Removes leading empty rows and all but the lowest of the trailing
    // empty rows.
    void trim();

    // Normalises the grid and stores its bounding rectangle in bbox; an
    // empty grid gives the empty marker (1, 1, 0, 0).
    void optimize(qvMathRectOf<double>& bbox);

    // One line per row, "key: " then the strip; "GRID IS EMPTY" when empty.
    void print() const;   // on standard output
    void print(std::ostream& os) const;

    bool operator==(qvIRGrid const& other) const noexcept;

private:
    enum class Op { add, sub, mul };
    // The interval pool: one block grown by hand, so that a sweep can write
    // a strip's worth of intervals into room made beforehand and then keep
    // as many as it needs. Copies share the block; making room, or asking
    // for write access, first gives a pool whose block is shared a block of
    // its own. It never holds more than 32 bits index.
    class Pool {
    public:
        Pool() noexcept = default;
        Pool(Pool const&) noexcept = default;
        Pool& operator=(Pool const&) noexcept = default;
        Pool(Pool&& other) noexcept { swap(other); }
        Pool& operator=(Pool&& other) noexcept {
            Pool taken(std::move(other));
            swap(taken);
            return *this;
        }
        ~Pool() = default;

        std::size_t size() const noexcept { return size_; }
        qvIRInterval const* data() const noexcept { return data_.get(); }

        // Room for n more intervals in an unshared block, growing
        // geometrically; pointers into the pool taken afterwards stay valid
        // while up to n are appended.
        void make_room(std::size_t n) {
            if (capacity_ - size_ < n || data_.use_count() > 1) grow(n);
        }
        // An unshared block with room for n intervals in all.
        void reserve(std::size_t n);
        // The content for writing in place; the block is unshared first.
        qvIRInterval* writable();
        // Where the next interval goes, once room is made.
        qvIRInterval* end() noexcept { return data_.get() + size_; }
        // Marks [data(), new_end) as the content; new_end lies within the room.
        void set_end(qvIRInterval* new_end) noexcept { size_ = static_cast<std::size_t>(new_end - data_.get()); }
        void shrink_to(std::size_t n) noexcept { size_ = n; }
        // Room made beforehand.
        void append(qvIRInterval const* from, qvIRInterval const* to) noexcept;
        void release() noexcept;
        void swap(Pool& other) noexcept;

    private:
        void grow(std::size_t n);
        void reallocate(std::size_t capacity);

        std::shared_ptr<qvIRInterval[]> data_;
        std::size_t size_ = 0;
        std::size_t capacity_ = 0;
    };

    // 16 bytes: rows shift when keys come and go, so they are kept small.
    struct Row {
        double key;
        std::uint32_t first;   // index of the row's first interval in the pool
        std::uint32_t size;
    };
    // The other operand of an operation: a grid's rows, or the two rows of
    // one band.
    struct Bands {
        Row const* rows;
        std::size_t count;
        qvIRInterval const* pool;
    };

    // Positions fit: the pool never grows past what 32 bits index.
    static Row row_of(double key, std::size_t first, std::size_t size) noexcept {
        return {key, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(size)};
    }
    std::span<qvIRInterval const> strip(Row const& r) const noexcept {
        return {pool.data() + r.first, r.size};
    }
    Bands bands() const noexcept { return {c.data(), c.size(), pool.data()}; }
    // The same rows over the same block: the same set, without a walk.
    bool same_storage(qvIRGrid const& other) const noexcept;

    // Combines the grid with the other operand's bands (at least two rows,
    // canonical). Only the rows inside the other operand's y range are
    // rewritten.
    void apply(Op op, Bands const& other);
    void splice_rows(std::size_t from, std::size_t to, std::vector<Row> const& made);
    void append_band(double y1, double y2, std::span<qvIRInterval const> strip_of_band);
    bool settle_moved();
    void drop_rows(std::size_t from, std::size_t to);
    Pool packed(std::vector<Row>& rows) const;
    void compact();
    void reclaim_if_worth_it() noexcept;

    std::vector<Row> c;
    Pool pool;
    std::size_t unused = 0;   // pool intervals no row refers to
};
