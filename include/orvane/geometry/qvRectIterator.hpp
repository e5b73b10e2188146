#pragma once
// The rectangle iterators that region enumeration hands out.
//
// qvSimpleRectIterator holds one rectangle and yields it once: `pending` is
// set until `next` is called. Built pending = false it is at its end at once.
//
// qvIndirectRectIterator is the owning holder that `enumerate()` returns.
// Keeps true:
//  - it holds nothing, a heap iterator (owned or not, per `owner_`), or one
//    rectangle of its own (`uses_own_`, never owned); a one-rectangle
//    enumeration therefore allocates nothing;
//  - a holder made from an inverted rectangle (the box of an empty region)
//    is at its end at once, so an empty region enumerates nothing;
//  - copying a holder of a heap iterator transfers ownership: the copy owns,
//    the source keeps the pointer but no longer deletes it (the source must
//    then not outlive the copy's use of it). Copying a holder of its own
//    rectangle copies the rectangle. A move leaves the source holding
//    nothing.
//  - stepping and reading never call a function: a caller's loop over the
//    rectangles holds no call, so the compiler keeps the caller's own
//    values in registers through it. The grid and list regions' own
//    iterators are stepped inline through their own types, as they go.
//    Any other heap iterator is read to its end when the holder adopts it,
//    through the interface (three virtual calls per rectangle, once), and
//    its rectangles are then walked as an array; the iterator lives on with
//    them until its owner goes. Past the end, reading yields the last
//    rectangle again (the empty marker when there was none).
// Because copies move ownership, holders must stay out of standard
// containers. Reading a holder after its region changed is unsupported.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvGridRegionInternalIterator.hpp>
#include <orvane/geometry/qvListRegionInternalIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvSimpleRectIterator : public qvIterator<qvMathRectOf<double>> {
public:
    qvSimpleRectIterator() noexcept : rect_(qvMathRectOf<double>::make_empty()), pending_(false) {}
    explicit qvSimpleRectIterator(qvMathRectOf<double> const& rect, bool pending = true) noexcept
        : rect_(rect), pending_(pending) {}

    qvMathRectOf<double>* get() override { return &rect_; }
    void next() override { pending_ = false; }
    bool at_end() const override { return !pending_; }

private:
    qvMathRectOf<double> rect_;
    bool pending_;
};

class qvIndirectRectIterator {
public:
    using Interface = qvIteratorInterface<qvMathRectOf<double>>;

    // Holds nothing: tests false, `++` does nothing, `*` raises "_object.get()".
    qvIndirectRectIterator() noexcept = default;
    // Adopts a heap iterator and owns it, reading its rectangles here; if
    // that fails, the iterator is deleted and the failure passes on.
    explicit qvIndirectRectIterator(Interface* adopted);
    // The same for a grid or list region's iterator, stepped as it goes.
    explicit qvIndirectRectIterator(qvGridRegionInternalIterator* adopted) noexcept
        : held_(adopted), owner_(adopted != nullptr), grid_(adopted) {}
    explicit qvIndirectRectIterator(qvListRegionInternalIterator* adopted) noexcept
        : held_(adopted), owner_(adopted != nullptr), list_(adopted) {}
    // Yields `single` once; nothing when inverted.
    explicit qvIndirectRectIterator(qvMathRectOf<double> const& single) noexcept;

    qvIndirectRectIterator(qvIndirectRectIterator const& other) noexcept;
    qvIndirectRectIterator(qvIndirectRectIterator&& other) noexcept;
    qvIndirectRectIterator& operator=(qvIndirectRectIterator const& other) noexcept;
    qvIndirectRectIterator& operator=(qvIndirectRectIterator&& other) noexcept;
    ~qvIndirectRectIterator();

    explicit operator bool() const {
        if (grid_ != nullptr) return !grid_->done();
        if (list_ != nullptr) return !list_->done();
        return next_ != end_;
    }
    qvMathRectOf<double> const& operator*() const { return *current(); }
    qvMathRectOf<double> const* operator->() const { return current(); }
    qvIndirectRectIterator& operator++() {
        if (grid_ != nullptr)
            grid_->step();
        else if (list_ != nullptr)
            list_->step();
        else if (next_ != end_)
            ++next_;
        return *this;
    }

private:
    qvMathRectOf<double> const* current() const {
        if (grid_ != nullptr) return &grid_->rect();
        if (list_ != nullptr) return &list_->rect();
        QV_ASSERT_TEXT(next_ != nullptr, "_object.get()");
        return next_;
    }
    void release() noexcept;
    void take(qvIndirectRectIterator const& other) noexcept;
    void forget() noexcept;

    Interface* held_ = nullptr;
    mutable bool owner_ = false;  // cleared in the source of a copy
    // held_ by its own type, when it is one of these
    qvGridRegionInternalIterator* grid_ = nullptr;
    qvListRegionInternalIterator* list_ = nullptr;
    // Otherwise the rectangles left, [next_, end_), with one more readable
    // at end_: in the adopted iterator's array, or in own_.
    qvMathRectOf<double> const* next_ = nullptr;
    qvMathRectOf<double> const* end_ = nullptr;
    qvMathRectOf<double> own_[2];  // the rectangle, and the same read past the end
    bool uses_own_ = false;
};
