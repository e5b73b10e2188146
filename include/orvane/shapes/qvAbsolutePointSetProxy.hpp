#pragma once
// qvAbsolutePointSetProxy<B>: the in-scene exact point set (B is
// qvAbsolutePointSetProxyBase): the exact node-set layer, each edit wrapped
// as the compact one's (qvRelativePointSetProxy.hpp: a silent outer guard,
// the neighbourhood boxes while the scene's notification is on), and then,
// still inside the outer guard and whatever the notification, the header's
// box set to the tight box of the points (rounded to float; (0, 0, 0, 0)
// once the set is empty). The header box of an in-scene exact shape so
// follows every successful edit. The box is stored before the report that
// follows a change: a receiver raising there reaches the caller, and the
// outer guard's close then hands the scene the record at its new box.

#include <orvane/shapes/qvAbsoluteNodeSetProxy.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class B>
class qvAbsolutePointSetProxy : public qvAbsoluteNodeSetProxy<B, qvPointSetData> {
    using Base = qvAbsoluteNodeSetProxy<B, qvPointSetData>;

public:
    using Base::insert;
    using Base::point;

    void insert(int n_from, int n, qvCrdOf<double> const* points) override {
        const typename B::WriteLock lock(*this, false, false);
        Base::insert(n_from, n, points);
        this->store_bbox();
        if (notifying())
            lock.report(this->neighbourhood(n_from, n));
    }

    void remove(int n_from, int n) override {
        const typename B::WriteLock lock(*this, false, false);
        if (notifying())
            lock.report(this->neighbourhood(n_from, n));
        Base::remove(n_from, n);
        this->store_bbox();
    }

    void point(int i, qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, false, false);
        if (notifying())
            lock.report(this->neighbourhood(i, 1));
        Base::point(i, p);
        this->store_bbox();
        if (notifying())
            lock.report(this->neighbourhood(i, 1));
    }

private:
    // An edit nested in an outer guard of this shape leaves the reports to
    // that guard, which sends the whole box before and after.
    bool notifying() const { return this->guard_depth_ == 1 && this->scene().update_notification(); }
};
