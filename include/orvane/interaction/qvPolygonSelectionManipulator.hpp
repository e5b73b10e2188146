#pragma once
// qvPolygonSelectionManipulator: a polygon manipulator whose end selects,
// into the host's graphic list (the graphic given to activate), the shapes
// of a scene layer that the outline encloses, through a polygon selection
// with "report every hit" (0x01) always added to the caller's flags.
// qvClickPolygonSelectionManipulator and qvDragPolygonSelectionManipulator
// embed the click and the drag outline.
//
// Keeps true: activation fails (false, inactive) for an empty graphic, one
// that is no graphic list, an empty scene layer or a gadget layer in no
// view; end(options) always empties the outline once it has read it; with
// no outline it raises the outline's "Cannot query the drag box before it
// is initialized" and leaves the list as it was; deactivate gives the
// manipulator a fresh empty list and leaves the host's list as it was.
// Errors: qvErrorFrom of the variant, "Manipulator was not initialized yet"
// while inactive; the outline's own texts otherwise.

#include <orvane/interaction/qvPolygonManipulator.hpp>
#include <orvane/shapes/qvGraphicList.hpp>

class qvPolygonSelectionManipulator : public qvManipulator {
public:
    ~qvPolygonSelectionManipulator() override = default;

    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return manipulator().active(); }
    void notify(unsigned) override {}

    qvGraphicList const& list() const noexcept { return list_; }

protected:
    qvPolygonSelectionManipulator() = default;
    qvPolygonSelectionManipulator(qvPolygonSelectionManipulator const& other) = default;
    qvPolygonSelectionManipulator& operator=(qvPolygonSelectionManipulator const& other) = default;

    virtual qvPolygonManipulator& manipulator() = 0;
    // Selects with what the outline encloses, then ends the outline.
    // `raise_inactive` throws the variant's own error.
    bool select_and_end(unsigned options, void (*raise_inactive)());

private:
    qvViewSceneLayer scene_layer_;
    qvGraphicList list_;
};

class qvClickPolygonSelectionManipulator : public qvPolygonSelectionManipulator {
public:
    qvClickPolygonSelectionManipulator() = default;
    qvClickPolygonSelectionManipulator(qvClickPolygonSelectionManipulator const& other) = default;
    qvClickPolygonSelectionManipulator& operator=(qvClickPolygonSelectionManipulator const& other) = default;
    ~qvClickPolygonSelectionManipulator() override;

    bool begin() { return true; }
    bool begin(qvCrdOf<double> p);
    void add_point(qvCrdOf<double> p);
    void track(qvCrdOf<double> p);
    bool end(unsigned options);

    qvClickPolygonManipulator& outline() noexcept { return click_; }

protected:
    qvPolygonManipulator& manipulator() override { return click_; }

private:
    void require_active();
    qvClickPolygonManipulator click_;
};

class qvDragPolygonSelectionManipulator : public qvPolygonSelectionManipulator {
public:
    qvDragPolygonSelectionManipulator() = default;
    qvDragPolygonSelectionManipulator(qvDragPolygonSelectionManipulator const& other) = default;
    qvDragPolygonSelectionManipulator& operator=(qvDragPolygonSelectionManipulator const& other) = default;
    ~qvDragPolygonSelectionManipulator() override;

    void begin(qvCrdOf<double> p);
    void move(qvCrdOf<double> p);
    bool end(unsigned options);

    qvDragPolygonManipulator& outline() noexcept { return drag_; }

protected:
    qvPolygonManipulator& manipulator() override { return drag_; }

private:
    void require_active();
    qvDragPolygonManipulator drag_;
};
