#pragma once
// qvPointSetEditManipulator: drags single points of an existing point set
// (any graphic with point-set data access) through one handle per point,
// styled "HandleBar", kept by an embedded handle bar. The host passes
// device points; moved points and handles are written in the model
// coordinates of the edited scene layer.
//
// Keeps true:
//  - active exactly while the target is held; handle i stands on point i
//    after activation and after every notify(2);
//  - a rebuild (notify(2)) updates handles in place, adds missing ones at
//    the top and removes surplus ones from the top, with the handle
//    scene's notification muted; it then sends one rectangle, the box of
//    every handle point before and after, so removed or moved handles leave
//    no pixels; the mute is undone on every exit, an error's included;
//  - deactivate destroys the handles the same way, sending their box;
//  - check and selected_point(crd) never change the selected point.
// Errors (qvErrorFrom<qvPointSetEditManipulator>): "Gadget layer is not
// initialized", "Manipulator was not initialized yet" (every operation but
// activate, active, deactivate, selected_point() and moving() while
// inactive), "Handle bar is not selected" (move with no selected point);
// and the base's "Invalid device point" when move's point, or its model
// form, is one no shape can hold.

#include <orvane/interaction/qvHandleBarManipulator.hpp>

class qvPointSetEditManipulator : public qvManipulator {
public:
    qvPointSetEditManipulator() = default;
    qvPointSetEditManipulator(qvPointSetEditManipulator const& other) = default;
    qvPointSetEditManipulator& operator=(qvPointSetEditManipulator const& other) = default;
    ~qvPointSetEditManipulator() override;

    // A graphic without point-set data access gives false, nothing shown.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(target_); }
    // Bit 2 rebuilds the handles from the target (bit 1 is then not passed
    // on); otherwise the bits go to the handle bar.
    void notify(unsigned what) override;

    // Whether a handle lies under the device point.
    bool check(qvCrdOf<double> crd);
    // The handle under the device point, -1 for none.
    int selected_point(qvCrdOf<double> crd);
    int selected_point() const noexcept { return selected_; }
    bool moving() const noexcept { return selected_ >= 0; }

    // Selects the handle under crd; whether one was hit.
    bool begin(qvCrdOf<double> crd);
    // Moves the selected point and its handle to crd.
    void move(qvCrdOf<double> crd);
    void end();

    qvHandleBarManipulator& handle_bar() noexcept { return bar_; }

private:
    void require_active() const;
    void rebuild();

    qvHandleBarManipulator bar_;
    qvGraphic target_;
    qvViewSceneLayer scene_layer_;
    int selected_ = -1;
};
