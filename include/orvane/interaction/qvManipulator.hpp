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
    qvManipulator(qvManipulator const&) noexcept = default;
    qvManipulator& operator=(qvManipulator const&) noexcept = default;
};
