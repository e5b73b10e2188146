#pragma once
// qvReadOnlyShapeProxy<P, D>: a stand-alone proxy layer P laid over a shape
// record that someone else owns (a scene's record, read in place while it
// is drawn). It reads as P reads: box, point count, points (compact ones
// decoded against the record's box) and, for Bezier layers, tags. D names
// the record's data struct; its nodes are P's nodes.
//
// Keeps true:
//  - the record is borrowed: the proxy never frees, copies or grows it, and
//    going away leaves it as it was;
//  - nothing is written through it: allocate(n) for n >= 1 and every
//    writing operation of the data-access interfaces P offers (insert in
//    every form, remove, the point and tag setters), and the header writers
//    of the stand-alone base, raise qvErrorFrom of the instance itself,
//    "Cannot modify a read-only shape", before any byte changes; each
//    instance has its own error class, so a caller can tell which kind of
//    proxy refused;
//  - the proxy reads a record only within what the record check lets it
//    (the caller checks the record first: counts and offsets are read as
//    they stand).
// Proxies live on the stack of the code that reads: no allocation.

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvAbsoluteBezierProxy.hpp>
#include <orvane/shapes/qvAbsoluteNodeSetProxy.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvBezierDataAccess.hpp>
#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRelativeBezierProxy.hpp>
#include <orvane/shapes/qvRelativeNodeSetProxy.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSimpleBezierProxyBase.hpp>
#include <orvane/shapes/qvSimplePointSetProxyBase.hpp>

#include <type_traits>

namespace qvReadOnlyDetail {

template <class P>
concept HasRectangle = requires(P& p) { p.rectangle(); };

// The point-set writers of P refused; Owner::refuse raises the owner's error.
template <class P, class Owner>
class PointSetLayer : public P {
public:
    using P::insert;
    using P::point;

    void insert(int, int, qvCrdOf<double> const*) override { Owner::refuse(); }
    void remove(int, int) override { Owner::refuse(); }
    void point(int, qvCrdOf<double>) override { Owner::refuse(); }

    // The compact layers' box setter writes the header in place.
    qvMathRectOf<double> rectangle()
        requires HasRectangle<P>
    {
        return P::rectangle();
    }
    void rectangle(qvMathRectOf<double> const&)
        requires HasRectangle<P>
    {
        Owner::refuse();
    }

    // The stand-alone base's own writers: one would free the borrowed block.
    void copy_record(qvShapeBase const&) { Owner::refuse(); }
    void connect_attribute(qvAttributeFolderInterface const&) { Owner::refuse(); }
};

// The Bezier writers refused as well.
template <class P, class Owner>
class BezierLayer : public PointSetLayer<P, Owner> {
public:
    using PointSetLayer<P, Owner>::insert;
    using PointSetLayer<P, Owner>::tag;

    void insert(int, int, qvCrdOf<double> const*, qvPointTag const*) override { Owner::refuse(); }
    void tag(int, qvPointTag) override { Owner::refuse(); }
};

template <class P, class Owner>
using Layers = std::conditional_t<std::is_base_of_v<qvBezierDataAccess, P>, BezierLayer<P, Owner>,
                                  PointSetLayer<P, Owner>>;

}  // namespace qvReadOnlyDetail

template <class P, class D>
class qvReadOnlyShapeProxy : public qvReadOnlyDetail::Layers<P, qvReadOnlyShapeProxy<P, D>> {
    static_assert(std::is_same_v<typename P::Node, typename D::node_type>, "D's records hold P's nodes");

public:
    // Empty: reading raises "Attempt to query uninitialized shape" until
    // the proxy is laid over a record.
    qvReadOnlyShapeProxy() noexcept = default;
    explicit qvReadOnlyShapeProxy(qvShapeBase const& record) noexcept { over(record); }
    qvReadOnlyShapeProxy(qvReadOnlyShapeProxy const&) = delete;
    qvReadOnlyShapeProxy& operator=(qvReadOnlyShapeProxy const&) = delete;
    // The record is not ours: the base must not free it.
    ~qvReadOnlyShapeProxy() override { this->record_ = nullptr; }

    // Lays the proxy over `record`, which must outlive its use here. The
    // cast only lets the shared layers hold it; every writer refuses.
    void over(qvShapeBase const& record) noexcept { this->record_ = const_cast<qvShapeBase*>(&record); }

    // Storage requests come before every write that grows the record.
    void allocate(int n) override {
        if (n >= 1)
            refuse();
    }

    // The one raise of this instance's error.
    [[noreturn]] static void refuse() {
        qvRaise(qvErrorFrom<qvReadOnlyShapeProxy>("Cannot modify a read-only shape"));
    }
};

// Exact polylines, polygons and polymarkers.
using qvReadOnlyPolylineProxy =
    qvReadOnlyShapeProxy<qvAbsoluteNodeSetProxy<qvSimplePointSetProxyBase, qvPointSetData>, qvPolylineData>;
// Compact polylines, polygons and polymarkers.
using qvReadOnlyCompactPolylineProxy = qvReadOnlyShapeProxy<
    qvRelativeNodeSetProxy<qvGenericRectangleProxy<qvSimplePointSetProxyBase>, qvCompactPointSetData>,
    qvCompactPolylineData>;
// Exact Bezier curves.
using qvReadOnlyBezierProxy = qvReadOnlyShapeProxy<qvAbsoluteBezierProxy<qvSimpleBezierProxyBase>, qvBezierData>;
// Compact Bezier curves.
using qvReadOnlyCompactBezierProxy =
    qvReadOnlyShapeProxy<qvRelativeBezierProxy<qvSimpleBezierProxyBase>, qvCompactBezierData>;
