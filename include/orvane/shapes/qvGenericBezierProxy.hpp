#pragma once
// qvGenericBezierProxy<D, N>: the tag layer of a Bezier curve over node-set
// layer N (compact or exact, in a scene or stand-alone) for records of data
// struct D, whose every node carries a qvPointTag. N's point operations move
// whole nodes, so tags travel with their points; a point set keeps its
// tag; every point inserted without tags is tagged 1.
//
// Keeps true:
//  - tags are stored as given, any 32-bit value, and never checked against
//    each other or the points;
//  - tag(i) reads under N's read guard (without a record "Attempt to query
//    uninitialized shape"); i outside [0, size()) raises
//    qvErrorFrom<qvGenericBezierProxy> "Cannot read a tag from the point
//    that doesn't exist";
//  - tag(i, t) runs in a guard that creates a missing (empty) record and
//    reports; i outside [0, size()) raises "Cannot set a tag for the point
//    that doesn't exist" and writes nothing;
//  - the tagged insert is one guarded change (no create, notify): N's
//    insert (the points, tagged 1), then the given tags over them; only a
//    set left with fewer than n_from + n points, which N's own checks
//    prevent, raises "Cannot set a tag for the point that doesn't exist".

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstdint>

template <class D, class N>
class qvGenericBezierProxy : public N {
public:
    using N::insert;

    qvPointTag tag(int i) override {
        const typename N::ReadLock lock(*this, true);
        if (!holds(i))
            raise("Cannot read a tag from the point that doesn't exist");
        return nodes()[i].tag;
    }

    void tag(int i, qvPointTag t) override {
        const typename N::WriteLock lock(*this, true, true);
        if (!holds(i))
            raise("Cannot set a tag for the point that doesn't exist");
        nodes()[i].tag = t;
    }

    void insert(int n_from, int n, qvCrdOf<double> const* points, qvPointTag const* tags) override {
        const typename N::WriteLock lock(*this, false, true);
        this->insert(n_from, n, points);
        if (tags == nullptr)
            return;
        if (this->record_ == nullptr || data().count < std::int64_t{n_from} + n)
            raise("Cannot set a tag for the point that doesn't exist");
        typename D::Node* const first = nodes() + n_from;
        for (int k = 0; k < n; ++k)
            first[k].tag = tags[k];
    }

    // The one raise of this layer's errors.
    [[noreturn]] static void raise(char const* message) { qvRaise(qvErrorFrom<qvGenericBezierProxy>(message)); }

private:
    D& data() const noexcept { return static_cast<qvShape<D>*>(this->record_)->data(); }
    typename D::Node* nodes() const noexcept { return data().nodes(); }
    bool holds(int i) const noexcept { return i >= 0 && i < data().count; }
};
