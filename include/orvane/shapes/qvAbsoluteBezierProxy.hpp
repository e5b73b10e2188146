#pragma once
// qvAbsoluteBezierProxy<B>: the exact Bezier curve over base B
// (qvAbsoluteBezierProxyBase in a scene, qvSimpleBezierProxyBase
// stand-alone): the tag layer over the exact node-set layer, 24-byte nodes
// (x, y, tag, zero padding).
//
// Each edit (insert, tagged insert, remove, point set) runs in one guard
// (no create, notify) around the inner operation and then sets the header's
// box to the tight box of the points, control points included (rounded to
// float; (0, 0, 0, 0) once the set is empty), so in a scene the guard
// reports the box before and after. The stand-alone curve keeps its header
// box the same way.

#include <orvane/shapes/qvAbsoluteNodeSetProxy.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvGenericBezierProxy.hpp>

template <class B>
class qvAbsoluteBezierProxy : public qvGenericBezierProxy<qvBezierData, qvAbsoluteNodeSetProxy<B, qvBezierData>> {
    using Base = qvGenericBezierProxy<qvBezierData, qvAbsoluteNodeSetProxy<B, qvBezierData>>;

public:
    using Base::insert;
    using Base::point;

    void insert(int n_from, int n, qvCrdOf<double> const* points) override {
        const typename B::WriteLock lock(*this, false, true);
        Base::insert(n_from, n, points);
        this->store_bbox();
    }

    void insert(int n_from, int n, qvCrdOf<double> const* points, qvPointTag const* tags) override {
        const typename B::WriteLock lock(*this, false, true);
        Base::insert(n_from, n, points, tags);
        this->store_bbox();
    }

    void remove(int n_from, int n) override {
        const typename B::WriteLock lock(*this, false, true);
        Base::remove(n_from, n);
        this->store_bbox();
    }

    void point(int i, qvCrdOf<double> p) override {
        const typename B::WriteLock lock(*this, false, true);
        Base::point(i, p);
        this->store_bbox();
    }
};
