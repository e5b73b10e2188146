#pragma once
// qvDragCircleSelectionManipulator: a drag circle whose end selects, into
// the host's graphic list (the graphic given to activate), the shapes of a
// scene layer that the circle's enclosing square covers. Limit: the square,
// not the circle, is what selects, so a shape in a corner of the square
// outside the circle is selected too.
//
// Keeps true: activation fails (false, inactive) for a graphic that is no
// graphic list, an empty scene layer or a gadget layer in no view; end
// always erases the circle after selecting; end with no circle raises
// "Cannot query the drag circle before it is initialized" and selects
// nothing; deactivate gives the manipulator a fresh empty list and leaves
// the host's list as it was.
// Errors: qvErrorFrom<qvDragCircleSelectionManipulator> "Manipulator was not
// initialized yet" with no list; the drag circle's own texts otherwise.

#include <orvane/interaction/qvDragCircleManipulator.hpp>
#include <orvane/shapes/qvGraphicList.hpp>

class qvDragCircleSelectionManipulator : public qvManipulator {
public:
    qvDragCircleSelectionManipulator() = default;
    qvDragCircleSelectionManipulator(qvDragCircleSelectionManipulator const& other) = default;
    qvDragCircleSelectionManipulator& operator=(qvDragCircleSelectionManipulator const& other) = default;
    ~qvDragCircleSelectionManipulator() override;

    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(scene_layer_); }
    void notify(unsigned) override {}

    void begin(qvCrdOf<double> crd);
    void move(qvCrdOf<double> crd);
    bool end(unsigned options);

    qvGraphicList const& list() const noexcept { return list_; }
    qvDragCircleManipulator& circle() noexcept { return circle_; }

private:
    void require_list() const;

    qvDragCircleManipulator circle_;
    qvGraphicList list_;
    qvViewSceneLayer scene_layer_;
};
