#pragma once
// qvRelativeNodeSetProxy<B, D>: the point-set data access on a compact
// record (data struct D: compact point sets, compact Bezier curves), in a
// scene or stand-alone. B is qvGenericRectangleProxy over the base of the
// setting and provides WriteLock, ReadLock, record_, allocate and
// record_size; D::Node holds the point word (qvGenericNodeSetProxyBase.hpp).
//
// The frame. Every stored word is relative to the header's box, so each
// edit that changes the box re-quantises every word from the old box to the
// new one (quantisation: qvRelativeNodeSetProxyBase.hpp); an edit that
// keeps the box leaves the other words exactly as they are:
//  - insert grows the box: the header box (when the set has points) taken
//    with the new points, then the frame rule; it never shrinks;
//  - remove and point set rebuild it from the points that stay (decoded
//    against the old box) and, for point set, the new point, then the frame
//    rule; removing every point leaves the zero-size box at the old centre;
//  - rectangle(r) of B replaces it and the words stay: the figure moves and
//    scales with its box.
//
// Keeps true:
//  - a record these layers sized holds 48 + count x sizeof(Node) bytes, its
//    nodes from record offset 48 (offset field 4 from the first insert on;
//    0 while the set is empty);
//  - checks run before anything changes: the assertions (texts below, in
//    64-bit sums, so n_from + n cannot wrap past them), then the record
//    size (qvErrorFrom of the base, "Limitation: shape size exceeds maximum
//    allowed for a record"), before a given point is read;
//  - a null point array with n >= 1 stands for n points (0, 0);
//  - the frame stays finite: a point that is not finite or lies beyond the
//    float range is refused (qvShapeCoordinates) after those checks and
//    before anything changes, since a NaN or infinite frame would turn
//    every word into NaN for good;
//  - remove and point set create a missing record (empty) through their
//    guard, then check; insert creates it through its allocation.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvRelativeNodeSetProxyBase.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>

template <class B, class D>
class qvRelativeNodeSetProxy : public B, public qvRelativeNodeSetProxyBase {
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
        const int extra = extra_for(count + n);
        qvShapeCoordinates::require(points, n);

        qvMathRectOf<double> box(0, 0, 0, 0);
        bool started = false;
        if (this->record_ != nullptr) {
            box = this->record_->bbox();
            started = count >= 1;
            settle(data());
        }
        for (int k = 0; k < n; ++k)
            expand_bbox(points != nullptr ? points[k] : qvCrdOf<double>(), box, started);

        this->allocate(extra);
        D& d = data();
        Node* const nodes = first_node(d);
        qvSelfRelative::point(d.offset, nodes);
        const qvMathRectOf<double> old_box = this->record_->bbox();
        apply_minimum_extent(box);
        requantise(nodes, count, old_box, box);
        std::memmove(static_cast<void*>(nodes + n_from + n), nodes + n_from,
                     static_cast<std::size_t>(count - n_from) * sizeof(Node));
        for (int k = 0; k < n; ++k)
            qvNodeSetNodes::fill(nodes[n_from + k],
                                 points != nullptr ? ext_to_int(points[k], box) : qvCrdOf<std::uint16_t>());
        this->record_->box = to_float(box);
        d.count = static_cast<std::int32_t>(count + n);
    }

    void remove(int n_from, int n) override {
        const typename B::WriteLock lock(*this, true, true);
        const std::int64_t count = data().count;
        QV_ASSERT_TEXT(n_from >= 0 && n >= 0 && std::int64_t{n_from} + n <= count,
                       "n_from >= 0 && n_from + n <= lock->data.size");
        settle(data());
        const qvMathRectOf<double> old_box = this->record_->bbox();
        qvMathRectOf<double> box(0, 0, 0, 0);
        bool started = false;
        Node* nodes = data().nodes();
        for (std::int64_t j = 0; j < count; ++j)
            if (j < n_from || j >= n_from + n)
                expand_bbox(int_to_ext(qvNodeSetNodes::word(nodes[j]), old_box), box, started);
        const std::int64_t left = count - n;
        if (left > 0)
            std::memmove(static_cast<void*>(nodes + n_from), nodes + n_from + n,
                         static_cast<std::size_t>(left - n_from) * sizeof(Node));

        this->allocate(static_cast<int>(left * static_cast<std::int64_t>(sizeof(Node))));
        D& d = data();
        if (started) {
            apply_minimum_extent(box);
            this->record_->box = to_float(box);
        } else {
            const float cx = static_cast<float>((old_box.x1 + old_box.x2) * 0.5);
            const float cy = static_cast<float>((old_box.y1 + old_box.y2) * 0.5);
            this->record_->box = qvMathRectOf<float>(qvRectOf<float>(cx, cy, cx, cy));
        }
        d.count = static_cast<std::int32_t>(left);
        if (left == 0)
            d.offset = 0;
        else
            requantise(d.nodes(), left, old_box, box);
    }

    int size() override { return this->record_ != nullptr ? data().count : 0; }

    qvCrdOf<double> point(int i) override {
        const typename B::ReadLock lock(*this, true);
        check_index(i);
        return int_to_ext(qvNodeSetNodes::word(data().nodes()[i]), this->record_->bbox());
    }

    void point(int i, qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, true, true);
        check_index(i);
        const std::int64_t count = data().count;
        Node* const nodes = data().nodes();
        const qvMathRectOf<double> old_box = this->record_->bbox();
        qvMathRectOf<double> box(0, 0, 0, 0);
        bool started = false;
        for (std::int64_t j = 0; j < count; ++j)
            if (j != i)
                expand_bbox(int_to_ext(qvNodeSetNodes::word(nodes[j]), old_box), box, started);
        expand_bbox(p, box, started);
        apply_minimum_extent(box);
        requantise(nodes, count, old_box, box);
        this->record_->box = to_float(box);
        qvNodeSetNodes::word(nodes[i]) = ext_to_int(p, box);
    }

    // The frame; the empty box (1, 1, 0, 0) without a record.
    qvMathRectOf<double> bbox() override {
        return this->record_ != nullptr ? this->record_->bbox() : qvMathRectOf<double>::make_empty();
    }

protected:
    D& data() const noexcept { return static_cast<qvShape<D>*>(this->record_)->data(); }

    // The box around the n points from n_from and their two neighbours,
    // decoded against the frame (see qvGenericNodeSetProxyBase::ring_box);
    // "Attempt to query uninitialized shape" without a record.
    qvMathRectOf<double> neighbourhood(std::int64_t n_from, std::int64_t n) {
        const typename B::ReadLock lock(*this, true);
        Node const* const nodes = data().nodes();
        const qvMathRectOf<double> frame = this->record_->bbox();
        return ring_box(n_from, n, data().count,
                        [&](std::int64_t j) { return int_to_ext(qvNodeSetNodes::word(nodes[j]), frame); });
    }

private:
    void check_index(int i) const {
        QV_ASSERT_TEXT(i >= 0 && i < data().count, "index >= 0 && index < lock->data.size");
    }

    // The extra bytes (beyond the fixed 48) of a record of `count` nodes,
    // refused beyond the record limit.
    int extra_for(std::int64_t count) const {
        const std::int64_t fixed = sizeof(qvShape<D>);
        return this->record_size(fixed + count * static_cast<std::int64_t>(sizeof(Node))) - static_cast<int>(fixed);
    }

    // Each of the first `count` words re-read against `from` and stored
    // against `to`. An unchanged frame leaves the words alone: a word read
    // and quantised again against the same box may come back one lower
    // (rounding in x1 + extent * w / 65535, then again in the division), so
    // re-quantising there would creep every point towards the lower edge at
    // each edit of any other point.
    static void requantise(Node* nodes, std::int64_t count, qvMathRectOf<double> const& from,
                           qvMathRectOf<double> const& to) noexcept {
        if (from == to)
            return;
        for (std::int64_t j = 0; j < count; ++j) {
            qvCrdOf<std::uint16_t>& w = qvNodeSetNodes::word(nodes[j]);
            w = ext_to_int(int_to_ext(w, from), to);
        }
    }
};
