#pragma once
// qvRectangleCreationManipulator: gives an existing graphic its rectangle
// from a box dragged on a view. A dashed drag box follows the pointer in
// device space; the graphic's rectangle (its own qvRectangleDataAccess)
// follows at once, turned into model coordinates by the scene layer the
// graphic is shown in.
//
// States: inactive (no target) -> activate -> active -> begin -> dragging
// -> move* -> end (the band is erased; the target keeps its last rectangle
// and stays the target). Each begin starts a new drag.
//
// Keeps true: activation refuses, returning false and staying inactive, a
// graphic without rectangle access, an empty scene layer and a gadget
// layer in no view; errors (qvErrorFrom<qvRectangleCreationManipulator>
// "Gadget layer is not initialized", "Manipulator was not initialized
// yet"; "Invalid device point" of the base; "Attempt to query
// uninitialized shape" for a target the application destroyed) change
// nothing; the target is never destroyed or made again here.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvDragBoxManipulator.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvRectangleCreationManipulator : public qvManipulator {
public:
    qvRectangleCreationManipulator() = default;
    qvRectangleCreationManipulator(qvRectangleCreationManipulator const& other) = default;
    qvRectangleCreationManipulator& operator=(qvRectangleCreationManipulator const& other) = default;
    ~qvRectangleCreationManipulator() override;

    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(target_); }
    // The band is set to the target's rectangle as the view now maps it.
    void notify(unsigned what) override;

    // Device coordinates.
    void begin(qvCrdOf<double> p);
    void move(qvCrdOf<double> p);
    void end();

private:
    void require_active() const;
    // begin (start) or move: the band follows p and the target's rectangle
    // becomes the band's model form.
    void drag(qvCrdOf<double> p, bool start);

    qvDragBoxManipulator box_;
    qvGraphic target_;
    qvViewSceneLayer layer_;
    // The target had its record when last seen (see require_live_target).
    bool target_had_record_ = false;
};
