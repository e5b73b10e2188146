#pragma once
// qvBoxSelectorObject: the polygon selector over a box's four corners,
// (x0, y0), (x0, y1), (x1, y1), (x1, y0) in this order, which it owns; and
// qvBoxSelector, its counted handle. It adds no test of its own.
//
// Keeps true: the selection points at this object's own corners, in
// copies too; a box selector built without a box selects nothing until
// setup.

#include <orvane/interaction/qvPolygonSelector.hpp>

class qvBoxSelectorObject : public qvPolygonSelectorObject {
public:
    qvBoxSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver = {});
    qvBoxSelectorObject(qvMathRectOf<double> const& box, Callback* callback, bool touch,
                        qvISafePtr<qvDriverObject> const& driver = {});
    qvBoxSelectorObject(qvBoxSelectorObject const& other);
    qvBoxSelectorObject& operator=(qvBoxSelectorObject const& other);

    void setup(qvMathRectOf<double> const& box, bool touch);

    qvCrdOf<double> const* corners() const noexcept { return corners_; }

private:
    qvCrdOf<double> corners_[4] = {};
};

class qvBoxSelector : public qvISafePtr<qvBoxSelectorObject> {
public:
    qvBoxSelector() noexcept = default;
    qvBoxSelector(qvSelector::Callback* callback, qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvBoxSelectorObject>(new qvBoxSelectorObject(callback, driver)) {}
    qvBoxSelector(qvMathRectOf<double> const& box, qvSelector::Callback* callback, bool touch,
                  qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvBoxSelectorObject>(new qvBoxSelectorObject(box, callback, touch, driver)) {}

    operator qvISafePtr<qvDriverObject>() const { return qvISafePtr<qvDriverObject>(*this, get()); }
};
