#pragma once
// qvDragBoxManipulator: a rubber-band rectangle in device space, drawn on
// the gadget layer's device-space gadget scene layer (identity mapping) in
// the "DashedRectangle" gadget style.
//
// States: inactive -> activate -> active, no gadget -> begin or move ->
// gadget shown (each move reshapes it) -> end -> active, no gadget.
// deactivate from any state erases the gadget; the destructor deactivates.
// Activating an active drag box deactivates it first.
//
// Errors (qvErrorFrom<qvDragBoxManipulator>): "Gadget layer is not
// initialized" (activation with an empty gadget layer), "Manipulator was not
// initialized yet" (drawing before activation), "Cannot query the drag box
// before it is initialized" (rectangle() while no gadget is shown); and
// the base's "Invalid device point" for a point no shape can hold, before
// the band changes.
//
// Keeps true: a rectangle spanned by two points is normalised (first
// corner the smaller x and y); activation on a gadget layer in no view
// returns false and leaves the drag box inactive, so no gadget is ever made
// in an empty layer; copies share the gadget shape and layer.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRectangleDataAccess.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvDragBoxManipulator : public qvRectangleDataAccess, public qvManipulator {
public:
    qvDragBoxManipulator() = default;
    qvDragBoxManipulator(qvDragBoxManipulator const& other) = default;
    qvDragBoxManipulator& operator=(qvDragBoxManipulator const& other) = default;
    ~qvDragBoxManipulator() override;

    qvMathRectOf<double> rectangle() override;
    void rectangle(qvMathRectOf<double> const& r) override;
    qvMathRectOf<double> bbox() override { return rectangle(); }

    // The scene layer and graphic are ignored.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    bool activate(qvViewGadgetLayer gadget_layer);
    void deactivate() override;
    bool active() override { return active_; }
    void notify(unsigned) override {}

    void begin(qvCrdOf<double> crd);
    // Without a gadget, begin(crd).
    void move(qvCrdOf<double> crd);
    // The band move(crd) would show; nothing changes.
    qvMathRectOf<double> band_for_move(qvCrdOf<double> crd) const;
    // Erases the gadget, if one is shown.
    void end();

private:
    // Whether a gadget is shown in a scene that still exists.
    bool gadget_alive() const;

    qvViewSceneLayer gadget_layer_;
    qvRectangle gadget_;
    bool active_ = false;
    qvCrdOf<double> start_{};
};
