#pragma once
// qvManipulator: the interface of every interactive editing tool. A
// manipulator takes no window events: the host calls it with device
// coordinates, and it draws its feedback as gadget shapes on a gadget layer.
//
// notify bits: 1 the view or mapping changed (a companion gadget scene
// layer must be fetched again); 2 the edited shape changed (the gadgets
// must be rebuilt).
//
// A manipulator may outlive its gadget layer: once the gadget scene it drew
// on is gone, deactivate (so its destructor) drops its gadgets without
// erasing them and raises nothing.
//
// Device points: before it changes anything, a manipulator refuses a
// device point no shape could hold (NaN, an infinity, beyond the float
// range), and one whose model form under the edited layer's mapping no
// shape could hold (a mapping of scale 0 sends every point to an infinity
// or NaN), with qvErrorFrom<qvManipulator> "Invalid device point". The
// scale manipulator keeps its own rule for drags to an infinity.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvGraphic;
class qvViewGadgetLayer;
class qvViewSceneLayer;

class qvManipulator {
public:
    virtual ~qvManipulator() = default;

    // Attaches to a gadget layer, the scene layer being edited and the
    // graphic to work on; true when the manipulator is ready.
    virtual bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) = 0;
    // Erases every gadget and drops the attachments.
    virtual void deactivate() = 0;
    virtual bool active() = 0;
    virtual void notify(unsigned what) = 0;

protected:
    qvManipulator() noexcept = default;

    // The device point itself, refused unless a shape could hold it.
    static void require_device_point(qvCrdOf<double> device);
    // The scene point (rectangle) of a device point (rectangle) under the
    // layer's mapping, both refused unless a shape could hold them.
    static qvCrdOf<double> scene_point(qvViewSceneLayer const& layer, qvCrdOf<double> device);
    static qvMathRectOf<double> scene_rect(qvViewSceneLayer const& layer, qvMathRectOf<double> const& device);
    // The one raise of "Invalid device point".
    [[noreturn]] static void raise_invalid_device_point();

    // Whether the graphic is a shape in a scene that has its record now.
    static bool has_record(qvGraphic const& graphic);
    // A target that had its record (had_record) and has none now was
    // destroyed by the application: raises "Attempt to query uninitialized
    // shape" (of the shape's proxy base) instead of letting the next write
    // make the shape again. A target that never had one (a new, empty
    // shape) passes: its first write makes it.
    static void require_live_target(qvGraphic const& target, bool had_record);

    qvManipulator(qvManipulator const&) noexcept = default;
    qvManipulator& operator=(qvManipulator const&) noexcept = default;
};
