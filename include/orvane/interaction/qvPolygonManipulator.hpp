#pragma once
// qvPolygonManipulator: an outline traced on a view, shown as an exact
// polyline in the "DashedRectangle" gadget style on the gadget layer's
// device-space gadget scene layer, and offered to the host as point-set
// data access in the device coordinates it was given.
// qvClickPolygonManipulator fixes a vertex per click while a rubber-band
// vertex follows the pointer; qvDragPolygonManipulator makes every reported
// position a vertex.
//
// Keeps true: activation on a gadget layer in no view returns false and
// leaves the manipulator inactive, so no outline is ever made in an empty
// layer; end and deactivate remove the outline from the gadget scene;
// copies share the outline and the layer; an outline whose gadget scene is
// gone is dropped without erasing, and nothing raises.
// Errors (qvErrorFrom<qvPolygonManipulator>): "Gadget layer is not
// initialized", "Manipulator was not initialized yet" (writing while
// inactive), "Cannot query the drag box before it is initialized" (reading
// or editing points while no outline exists); and the base's "Invalid
// device point" for a clicked, tracked or dragged point no shape can hold.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvPolygonManipulator : public qvPointSetDataAccess, public qvManipulator {
public:
    qvPolygonManipulator() = default;
    qvPolygonManipulator(qvPolygonManipulator const& other) = default;
    qvPolygonManipulator& operator=(qvPolygonManipulator const& other) = default;
    ~qvPolygonManipulator() override;

    using qvPointSetDataAccess::insert;
    // The first insertion makes the outline (`from` unused then).
    void insert(int from, int n, qvCrdOf<double> const* points) override;
    void remove(int from, int n) override;
    // 0 while no outline exists.
    int size() override;
    qvCrdOf<double> point(int i) override;
    void point(int i, qvCrdOf<double> p) override;
    qvMathRectOf<double> bbox() override;

    // The scene layer and graphic are ignored.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    bool activate(qvViewGadgetLayer gadget_layer);
    void deactivate() override;
    bool active() override { return active_; }
    void notify(unsigned) override {}

protected:
    // Removes the outline; the next insertion starts a new one.
    void destroy_gadget();
    friend class qvPolygonSelectionManipulator;

private:
    bool gadget_alive() const;
    qvExactPolylineProxy& outline();

    qvViewSceneLayer gadget_layer_;
    qvExactPolyline gadget_;
    bool active_ = false;
};

class qvClickPolygonManipulator : public qvPolygonManipulator {
public:
    bool begin() { return true; }
    // As add_point(p); true.
    bool begin(qvCrdOf<double> p);
    // The first click makes the fixed first vertex and the rubber-band
    // vertex at p; each later click fixes the rubber-band vertex where it
    // stands and appends a new one at p.
    void add_point(qvCrdOf<double> p);
    // The rubber-band vertex follows the pointer.
    void track(qvCrdOf<double> p);
    void end() { destroy_gadget(); }
};

class qvDragPolygonManipulator : public qvPolygonManipulator {
public:
    void begin(qvCrdOf<double> p) {
        require_device_point(p);
        push_back(p);
    }
    void move(qvCrdOf<double> p) {
        require_device_point(p);
        push_back(p);
    }
    void end() { destroy_gadget(); }
};
