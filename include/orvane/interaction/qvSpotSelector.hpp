#pragma once
// qvSpotSelectorObject: the selector that hits what lies under one device
// point, within a tolerance in device units; and qvSpotSelector, its
// counted handle, which a device renderer takes as its driver.
//
// What each kind of record answers (P the spot, t the tolerance, w the
// pen's line width, F = option 0x20 or a filling brush):
//   rectangle        F: inside the box grown by t + w/2; else its outline
//                    within w/2 + t
//   ellipse          its flattened outline within w/2 + t; with F also its
//                    area
//   polyline         its segments within w/2 + t
//   polygon          its closed outline; with F also its area
//   polymarker       a point within diameter + t (marker cookie)
//   Bézier           outline of every figure; with F the area of each
//                    closed figure (tag 4), never an open one's
//   text             its four corners' area, unless neither F nor a pen
//                    width (a bare text is hit only through 0x20)
//   image            its four corners' area
//   anything else    its device box strictly overlaps the spot box
//                    (arcs, pie slices, flavour shapes)
// Areas are inside by the non-zero winding rule; a point on a vertex is
// inside.

#include <orvane/interaction/qvSelector.hpp>

#include <orvane/geometry/qvMathRect.hpp>

class qvSpotSelectorObject : public qvSelector {
public:
    // Spot and tolerance come with setup.
    qvSpotSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver = {});
    // Runs setup(point).
    qvSpotSelectorObject(qvCrdOf<double> const& point, Callback* callback,
                         qvISafePtr<qvDriverObject> const& driver = {});

    // The tolerance is the wrapped driver's added width, 5.0 without one.
    void setup(qvCrdOf<double> const& point);
    void setup(qvCrdOf<double> const& point, double tolerance);

    // (x - t, y - t, x + t, y + t), normalised.
    qvMathRectOf<double> bbox() const;
    qvCrdOf<double> const& point() const noexcept { return point_; }
    double tolerance() const noexcept { return tolerance_; }

    bool check_selection(qvShapeBase const* record, Info info) override;

private:
    struct Pens;

    bool check_box(qvShapeBase const& record, Info info) const;
    bool check_rectangle(qvShapeBase const& record, Info info, Pens const& pens) const;
    bool check_ellipse(qvShapeBase const& record, Info info, Pens const& pens) const;
    bool check_polymarker(qvShapeBase const& record, Info info) const;
    bool check_polyline(qvShapeBase const& record, Info info, Pens const& pens) const;
    bool check_polygon(qvShapeBase const& record, Info info, Pens const& pens) const;
    bool check_ext_nodeset(qvShapeBase const& record, Info info, Pens const& pens) const;
    bool check_text(qvShapeBase const& record, Info info, Pens const& pens, bool scaled) const;
    bool check_image(qvShapeBase const& record, Info info, bool scaled) const;

    qvCrdOf<double> point_{};
    double tolerance_ = 0.0;
};

class qvSpotSelector : public qvISafePtr<qvSpotSelectorObject> {
public:
    qvSpotSelector() noexcept = default;
    qvSpotSelector(qvSelector::Callback* callback, qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvSpotSelectorObject>(new qvSpotSelectorObject(callback, driver)) {}
    qvSpotSelector(qvCrdOf<double> const& point, qvSelector::Callback* callback,
                   qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvSpotSelectorObject>(new qvSpotSelectorObject(point, callback, driver)) {}

    operator qvISafePtr<qvDriverObject>() const { return qvISafePtr<qvDriverObject>(*this, get()); }
};
