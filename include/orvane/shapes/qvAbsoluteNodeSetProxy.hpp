#pragma once
// qvAbsoluteNodeSetProxy<B, D>: the point-set data access on an exact
// record (data struct D: exact point sets, exact Bezier curves), in a scene
// or stand-alone. B is the base of the setting (qvAbsolutePointSetProxyBase,
// qvAbsoluteBezierProxyBase, qvSimplePointSetProxyBase,
// qvSimpleBezierProxyBase) and provides WriteLock, ReadLock, record_,
// allocate and record_size; D::Node holds the point as two doubles
// (qvGenericNodeSetProxyBase.hpp).
//
// These layers touch count, offset and nodes only, never the header's box:
// the in-scene wrappers keep that box (qvAbsolutePointSetProxy,
// qvAbsoluteBezierProxy); bbox() computes the box from the points.
//
// Keeps true:
//  - a record these layers sized holds 48 + count x sizeof(Node) bytes, its
//    nodes from record offset 48 (offset field 4 from the first insert on;
//    0 while the set is empty);
//  - checks run before anything changes: the assertions (texts below, in
//    64-bit sums), then the record size (qvErrorFrom of the base,
//    "Limitation: shape size exceeds maximum allowed for a record"), before
//    a given point is read;
//  - a null point array with n >= 1 writes n points (0, 0) (tag 1 in a
//    Bezier set), as the compact form stores the word 0;
//  - a point that is not finite is refused (qvShapeCoordinates) after those
//    checks and before anything changes; in a scene, where the header's
//    float box follows the points, so is a point beyond the float range;
//  - remove and point set create a missing record (empty) through their
//    guard, then check; insert creates it through its allocation.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvGenericNodeSetProxyBase.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <class B, class D>
class qvAbsoluteNodeSetProxy : public B, public qvGenericNodeSetProxyBase {
public:
    using Node = typename D::Node;
    using B::insert;
    using B::point;

    void insert(int n_from, int n, qvCrdOf<double> const* points) override {
        const typename B::WriteLock lock(*this, false, true);
        QV_ASSERT_TEXT(n >= 1, "n >= 1");
        const std::int64_t count = this->record_ != nullptr ? data().count : 0;
        QV_ASSERT_TEXT(this->record_ == nullptr ? n_from == 0 : n_from >= 0 && n_from <= count,
                       "!lock && n_from == 0 || n_from >= 0 && n_from <= lock->data.size");
        const std::int64_t fixed = sizeof(qvShape<D>);
        const int extra =
            this->record_size(fixed + (count + n) * static_cast<std::int64_t>(sizeof(Node))) - static_cast<int>(fixed);
        require_storable(points, n);
        if (this->record_ != nullptr)
            settle(data());

        this->allocate(extra);
        D& d = data();
        Node* const nodes = first_node(d);
        qvSelfRelative::point(d.offset, nodes);
        std::memmove(static_cast<void*>(nodes + n_from + n), nodes + n_from,
                     static_cast<std::size_t>(count - n_from) * sizeof(Node));
        for (int k = 0; k < n; ++k)
            qvNodeSetNodes::fill(nodes[n_from + k], points != nullptr ? points[k] : qvCrdOf<double>());
        d.count = static_cast<std::int32_t>(count + n);
    }

    void remove(int n_from, int n) override {
        const typename B::WriteLock lock(*this, true, true);
        const std::int64_t count = data().count;
        QV_ASSERT_TEXT(n_from >= 0 && n >= 0 && std::int64_t{n_from} + n <= count,
                       "n_from >= 0 && n_from + n <= lock->data.size");
        settle(data());
        const std::int64_t left = count - n;
        if (left > 0) {
            Node* const nodes = data().nodes();
            std::memmove(static_cast<void*>(nodes + n_from), nodes + n_from + n,
                         static_cast<std::size_t>(left - n_from) * sizeof(Node));
        }
        this->allocate(static_cast<int>(left * static_cast<std::int64_t>(sizeof(Node))));
        D& d = data();
        d.count = static_cast<std::int32_t>(left);
        if (left == 0)
            d.offset = 0;
    }

    int size() override { return this->record_ != nullptr ? data().count : 0; }

    qvCrdOf<double> point(int i) override {
        const typename B::ReadLock lock(*this, true);
        check_index(i);
        return qvNodeSetNodes::point(data().nodes()[i]);
    }

    void point(int i, qvCrdOf<double> p) override {
        require_storable(&p, 1);
        const typename B::WriteLock lock(*this, true, true);
        check_index(i);
        qvNodeSetNodes::point(data().nodes()[i]) = p;
    }

    // The tight box of the points, (0, 0, 0, 0) for an empty set; the
    // header's box is not read.
    qvMathRectOf<double> bbox() override {
        const typename B::ReadLock lock(*this, true);
        qvMathRectOf<double> box(0, 0, 0, 0);
        bool started = false;
        D const& d = data();
        for (std::int32_t j = 0; j < d.count; ++j)
            expand_bbox(qvNodeSetNodes::point(d.nodes()[j]), box, started);
        return box;
    }

protected:
    D& data() const noexcept { return static_cast<qvShape<D>*>(this->record_)->data(); }

    // The box around the n points from n_from and their two neighbours (see
    // qvGenericNodeSetProxyBase::ring_box); "Attempt to query uninitialized
    // shape" without a record.
    qvMathRectOf<double> neighbourhood(std::int64_t n_from, std::int64_t n) {
        const typename B::ReadLock lock(*this, true);
        Node const* const nodes = data().nodes();
        return ring_box(n_from, n, data().count,
                        [&](std::int64_t j) { return qvNodeSetNodes::point(nodes[j]); });
    }

    // The header's box becomes the tight box of the points, each bound
    // rounded to float: the in-scene record keeps it current.
    void store_bbox() { this->record_->box = to_float(qvAbsoluteNodeSetProxy::bbox()); }

private:
    // In a scene the header keeps the float box of the points (store_bbox),
    // so the float range bounds them; a stand-alone record keeps no box.
    static void require_storable(qvCrdOf<double> const* points, int n) {
        if constexpr (std::is_base_of_v<qvSingleShapeProxyBase, B>)
            qvShapeCoordinates::require(points, n);
        else
            qvShapeCoordinates::require_finite(points, n);
    }

    void check_index(int i) const {
        QV_ASSERT_TEXT(i >= 0 && i < data().count, "index >= 0 && index < lock->data.size");
    }
};
