#pragma once
// qvRelativePointSetProxy<B>: the in-scene compact point set (B is
// qvRelativePointSetProxyBase): the compact node-set layer over the
// rectangle layer, each edit wrapped so that the scene learns only the area
// around the edited points instead of the whole box.
//
// An edit runs inside a silent outer guard (no create, no notify), so the
// guards of the inner operation report nothing; while the scene's
// notification is on, the edit sends its neighbourhood boxes (the edited
// points and one neighbour on each side, the points taken as a ring) with
// the layer the outer guard took:
//   insert       one box, after the insertion, over the new points;
//   remove       one box, before the removal, over the doomed points;
//   point set    two boxes over the point, before and after.
// An edit nested in an outer guard of the shape (a whole transform of the
// set) sends no neighbourhood boxes: the outer guard reports the shape's box
// before and after.
// While notification is off nothing is computed: a remove or point set on
// a proxy without a record then creates its empty record and fails the
// index check, while with notification on it raises "Attempt to query
// uninitialized shape" first and creates nothing.

#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRelativeNodeSetProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

template <class B>
class qvRelativePointSetProxy : public qvRelativeNodeSetProxy<qvGenericRectangleProxy<B>, qvCompactPointSetData> {
    using Base = qvRelativeNodeSetProxy<qvGenericRectangleProxy<B>, qvCompactPointSetData>;

public:
    using Base::insert;
    using Base::point;

    void insert(int n_from, int n, qvCrdOf<double> const* points) override {
        const typename B::WriteLock lock(*this, false, false);
        Base::insert(n_from, n, points);
        if (notifying())
            lock.report(this->neighbourhood(n_from, n));
    }

    void remove(int n_from, int n) override {
        const typename B::WriteLock lock(*this, false, false);
        if (notifying())
            lock.report(this->neighbourhood(n_from, n));
        Base::remove(n_from, n);
    }

    void point(int i, qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, false, false);
        if (notifying())
            lock.report(this->neighbourhood(i, 1));
        Base::point(i, p);
        if (notifying())
            lock.report(this->neighbourhood(i, 1));
    }

    // The rectangle: "Attempt to query uninitialized shape" without a record.
    qvMathRectOf<double> bbox() override { return this->rectangle(); }

private:
    // An edit nested in an outer guard of this shape leaves the reports to
    // that guard, which sends the whole box before and after.
    bool notifying() const { return this->guard_depth_ == 1 && this->scene().update_notification(); }
};
