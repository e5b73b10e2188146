// The composite drawing: members in a list of its own, hosted by the
// inner host, which passes their reports to the composite's host.
//
// Membership is acyclic: the member list refuses, before any change, a
// drawing that is the composite or holds it at some depth. Without that
// check a composite inside itself would recurse without end in render,
// bbox and every report.

#include <orvane/drawings/qvCompositeDrawing.hpp>

#include <orvane/core/qvError.hpp>

#include <orvane/shapes/qvFlavorPort.hpp>

#include "drawings/InternalDrawingList.hpp"

#include <memory>

namespace {

class CompositeMemberList : public InternalDrawingList {
public:
    CompositeMemberList(qvDrawingHost* host, qvCompositeDrawing& owner) : InternalDrawingList(host), owner_(owner) {}

    void add(qvDrawing* d, qvOrder order) override {
        refuse_cycle(d);
        InternalDrawingList::add(d, order);
    }
    void add(qvDrawing* d, qvOrder order, qvDrawing* reference) override {
        refuse_cycle(d);
        InternalDrawingList::add(d, order, reference);
    }

private:
    void refuse_cycle(qvDrawing* d) const {
        if (d != nullptr && owner_.reaches(d))
            qvRaise(qvErrorFrom<qvCompositeDrawing>("A composite drawing cannot contain itself"));
    }

    qvCompositeDrawing& owner_;
};

}  // namespace

void qvCompositeDrawing::InnerDrawingHost::invalidate(qvMathRectOf<double> const& rect) {
    composite_->qvDrawing::invalidate(rect);
}

void qvCompositeDrawing::InnerDrawingHost::invalidate() {
    if (qvDrawingHost* const host = composite_->host())
        host->invalidate();
}

qvCompositeDrawing::qvCompositeDrawing() {
    auto inner = std::make_unique<InnerDrawingHost>(*this);
    auto items = std::make_unique<CompositeMemberList>(inner.get(), *this);
    items->auto_delete(true);
    inner_host_ = inner.release();
    items_ = items.release();
}

qvCompositeDrawing::~qvCompositeDrawing() {
    items_->release_hosts();
    delete items_;
    delete inner_host_;
}

void* qvCompositeDrawing::query_interface(qvInterfaceInfo const& info) {
    if (void* p = qvOfferInterfaces<qvCompositeDrawing>(this, info))
        return p;
    return qvDrawing::query_interface(info);
}

qvDrawingContainer* qvCompositeDrawing::items() const noexcept { return items_; }

// Composites already in the tree are acyclic, so the walk ends.
bool qvCompositeDrawing::reaches(qvDrawing const* d) const {
    if (d == this)
        return true;
    auto* const inner = qvQueryInterface<qvCompositeDrawing>(const_cast<qvDrawing*>(d));
    if (inner == nullptr)
        return false;
    for (qvIndirectIterator<qvDrawing> it = inner->items_->enumerate(); it; ++it)
        if (reaches(&*it))
            return true;
    return false;
}

void qvCompositeDrawing::render(qvFlavorPort& port, qvMathRectOf<double> const& area) {
    const qvRestrictedTransformation t = port.transformation();
    for (qvIndirectIterator<qvDrawing> it = items_->query(area, &t, false); it; ++it)
        if (it->visible())
            it->render(port, area);
}

qvMathRectOf<double> qvCompositeDrawing::bbox(qvRestrictedTransformation const* rt) const {
    qvIndirectIterator<qvDrawing> it = items_->enumerate();
    if (!it)
        return qvMathRectOf<double>::make_empty();
    qvMathRectOf<double> box = it->bbox(rt);
    for (++it; it; ++it)
        box += it->bbox(rt);
    return box;
}
