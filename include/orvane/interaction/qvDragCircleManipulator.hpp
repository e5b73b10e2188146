#pragma once
// qvDragCircleManipulator: a rubber-band circle in device space, dragged
// from its centre outwards, drawn on the gadget layer's device-space gadget
// scene layer in the "DashedRectangle" gadget style. The centre lives in
// the gadget ellipse itself.
//
// States as the drag box: inactive -> activate -> active, no gadget ->
// begin or move -> circle shown, its radius following the cursor -> end ->
// no gadget; deactivate and the destructor erase the circle.
//
// Errors (qvErrorFrom<qvDragCircleManipulator>): "Gadget layer is not
// initialized", "Manipulator was not initialized yet" (drawing before
// activation), "Cannot query the drag circle before it is initialized"
// (reading or setting the centre, radii or box while no circle is shown;
// rectangle(r) alone is then ignored); and the base's "Invalid device
// point" for a point, or a circle's box, no shape can hold, before the
// centre or a radius changes.
//
// Keeps true: activation on a gadget layer in no view returns false and
// leaves the manipulator inactive; the ellipse-access radius slots forward
// to the gadget as center does; copies share the gadget shape and layer; a
// circle whose gadget scene is gone is dropped without erasing, and nothing
// raises.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvEllipseDataAccess.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvDragCircleManipulator : public qvEllipseDataAccess, public qvManipulator {
public:
    qvDragCircleManipulator() = default;
    qvDragCircleManipulator(qvDragCircleManipulator const& other) = default;
    qvDragCircleManipulator& operator=(qvDragCircleManipulator const& other) = default;
    ~qvDragCircleManipulator() override;

    qvCrdOf<double> center() override;
    void center(qvCrdOf<double> c) override;
    double x_radius() override;
    void x_radius(double r) override;
    double y_radius() override;
    void y_radius(double r) override;
    // The box enclosing the circle.
    qvMathRectOf<double> rectangle() override;
    // Fills r with the ellipse (it may stop being a circle); ignored while
    // no circle is shown.
    void rectangle(qvMathRectOf<double> const& r) override;
    qvMathRectOf<double> bbox() override { return rectangle(); }

    // The scene layer and graphic are ignored.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    bool activate(qvViewGadgetLayer gadget_layer);
    void deactivate() override;
    bool active() override { return active_; }
    void notify(unsigned) override {}

    // Shows the circle of centre c and radius r, or moves the shown one.
    void circle(qvCrdOf<double> const& c, double r);
    void begin(qvCrdOf<double> crd) { circle(crd, 0.0); }
    // The circle through crd about the centre begin put; without a circle,
    // begin(crd).
    void move(qvCrdOf<double> crd);
    void end();
    // Both radii.
    void radius(double r);
    // The horizontal radius.
    double radius();

private:
    qvEllipseProxy& shown();
    // "Invalid device point" unless the circle's box fits a shape.
    static void require_circle(qvCrdOf<double> const& c, double r);

    qvViewSceneLayer gadget_layer_;
    qvEllipse gadget_;
    bool active_ = false;
};
