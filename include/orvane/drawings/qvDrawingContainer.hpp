#pragma once
// qvDrawingContainer: an ordered collection of drawings, with the policy of
// whether it owns them (auto_delete). Placement codes are the drawing
// list's own (see qvDrawingList); the order is the drawing order, first
// drawn first (beneath the others).
//
// Keeps true: while auto_delete is set, the container holds one count on
// each of its entries (a drawing in it twice holds two), and a drawing
// whose count falls to 0 as it leaves is deleted; while it is clear, the
// container holds none and never deletes. Switching the flag moves the
// counts with it, so a drawing another owning container holds is neither
// leaked nor freed; switching it off hands the drawings to the
// application, none is deleted then.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/shapes/qvOrder.hpp>

class qvDrawingContainer : public qvDynamicInterface {
public:
    ~qvDrawingContainer() override = default;

    virtual void add(qvDrawing* d, qvOrder order) = 0;
    virtual void add(qvDrawing* d, qvOrder order, qvDrawing* reference) = 0;
    virtual void remove(qvDrawing* d) = 0;
    virtual void change_order(qvDrawing* d, qvOrder order, qvDrawing* reference) = 0;
    virtual void clear() = 0;
    virtual bool contains(qvDrawing* d) const = 0;
    virtual int size() const = 0;
    virtual qvIndirectIterator<qvDrawing> enumerate() = 0;
    // The entries whose box under `rt` (which must outlive the iterator)
    // meets `area`; last to first when `reverse`.
    virtual qvIndirectIterator<qvDrawing> query(qvMathRectOf<double> const& area,
                                                qvRestrictedTransformation const* rt, bool reverse) = 0;

    bool auto_delete() const noexcept { return auto_delete_; }
    void auto_delete(bool on);

protected:
    explicit qvDrawingContainer(bool auto_delete = false) noexcept : auto_delete_(auto_delete) {}
    qvDrawingContainer(qvDrawingContainer const&) noexcept = default;
    qvDrawingContainer& operator=(qvDrawingContainer const&) noexcept = default;

    // One count more on `d` while auto_delete is set; null is ignored.
    void add_ref(qvDrawing* d) const noexcept;
    // One count less while auto_delete is set, deleting at 0.
    void release_ref(qvDrawing* d) const noexcept;

private:
    bool auto_delete_;
};

QV_INTERFACE_NAME(qvDrawingContainer);
