#pragma once
// The rectangle iterators that region enumeration hands out.
//
// qvSimpleRectIterator holds one rectangle and yields it once: `pending` is
// set until `next` is called. Built pending = false it is at its end at once.
//
// qvIndirectRectIterator is the owning holder that `enumerate()` returns.
// Keeps true:
//  - it holds no iterator, a heap iterator (owned or not, per `owner_`), or
//    its own embedded simple iterator (`uses_embedded_`, never owned); a
//    one-rectangle enumeration therefore allocates nothing;
//  - a holder made from an inverted rectangle (the box of an empty region)
//    holds its embedded iterator already at its end, so an empty region
//    enumerates nothing;
//  - copying a holder of a heap iterator transfers ownership: the copy owns,
//    the source keeps the pointer but no longer deletes it (the source must
//    then not outlive the copy's use of it). Copying a holder that uses its
//    embedded iterator copies the rectangle and points at the copy's own
//    embedded iterator. A move leaves the source holding nothing.
// Because copies move ownership, holders must stay out of standard
// containers. Reading a holder after its region changed is unsupported.

#include <orvane/core/qvIterator.hpp>
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
    // Adopts a heap iterator and owns it.
    explicit qvIndirectRectIterator(Interface* adopted) noexcept
        : held_(adopted), owner_(adopted != nullptr) {}
    // Yields `single` once, from the embedded iterator; nothing when inverted.
    explicit qvIndirectRectIterator(qvMathRectOf<double> const& single) noexcept;

    qvIndirectRectIterator(qvIndirectRectIterator const& other) noexcept;
    qvIndirectRectIterator(qvIndirectRectIterator&& other) noexcept;
    qvIndirectRectIterator& operator=(qvIndirectRectIterator const& other) noexcept;
    qvIndirectRectIterator& operator=(qvIndirectRectIterator&& other) noexcept;
    ~qvIndirectRectIterator();

    explicit operator bool() const { return held_ != nullptr && !held_->at_end(); }
    qvMathRectOf<double> const& operator*() const { return *current(); }
    qvMathRectOf<double> const* operator->() const { return current(); }
    qvIndirectRectIterator& operator++() {
        if (held_ != nullptr) held_->next();
        return *this;
    }

private:
    qvMathRectOf<double> const* current() const;
    void release() noexcept;
    void take(qvIndirectRectIterator const& other) noexcept;

    Interface* held_ = nullptr;
    mutable bool owner_ = false;  // cleared in the source of a copy
    qvSimpleRectIterator embedded_;
    bool uses_embedded_ = false;
};
