#pragma once
// qvCompositeDrawing: drawings grouped into one. It draws its members in
// list order, answers the union of their boxes and passes their reports on
// to its own host unchanged (the members share its coordinates).
//
// Keeps true:
//  - the member list owns its members (auto_delete set at construction):
//    a member is deleted when it leaves and no other owning container
//    holds it;
//  - a composite never reaches itself: adding itself, or a composite that
//    holds it at any depth, raises qvErrorFrom<qvCompositeDrawing>
//    "A composite drawing cannot contain itself" before anything changes;
//  - when the composite dies, members whose host is its inner host lose
//    it before the list releases them;
//  - not copyable: a member has one host.

#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/drawings/qvDrawingContainer.hpp>
#include <orvane/drawings/qvDrawingHost.hpp>

class InternalDrawingList;

class qvCompositeDrawing : public qvDrawing {
public:
    // Forwards the members' reports to the composite's host, if any.
    class InnerDrawingHost : public qvDrawingHost {
    public:
        explicit InnerDrawingHost(qvCompositeDrawing& composite) noexcept : composite_(&composite) {}
        void invalidate(qvMathRectOf<double> const& rect) override;
        void invalidate() override;

    private:
        qvCompositeDrawing* composite_;
    };

    qvCompositeDrawing();
    qvCompositeDrawing(qvCompositeDrawing const&) = delete;
    qvCompositeDrawing& operator=(qvCompositeDrawing const&) = delete;
    ~qvCompositeDrawing() override;

    // Answers "qvCompositeDrawing".
    void* query_interface(qvInterfaceInfo const& info) override;

    // The members, in drawing order.
    qvDrawingContainer* items() const noexcept;

    // The visible members meeting `area`, in order; the port is left as
    // found.
    void render(qvFlavorPort& port, qvMathRectOf<double> const& area) override;
    // The union of every member's box (visible or not); (1, 1, 0, 0) when
    // there is none.
    qvMathRectOf<double> bbox(qvRestrictedTransformation const* rt) const override;

    // Whether `d` is this composite or holds it at some depth.
    bool reaches(qvDrawing const* d) const;

private:
    InnerDrawingHost* inner_host_;
    InternalDrawingList* items_;
};

QV_INTERFACE_NAME(qvCompositeDrawing);
