#pragma once
// qvDragBoxSelectionManipulator: a drag box whose end selects the shapes of
// a scene layer that the box covers, into the host's graphic list (the
// graphic given to activate). Coordinates are device coordinates of the
// scene layer's view.
//
// Keeps true: activation fails (false, inactive) for a graphic that is no
// graphic list, an empty scene layer or a gadget layer in no view; end
// always erases the rubber band after selecting; deactivate gives the
// manipulator a fresh empty list and leaves the host's list as it was.
// Errors: qvErrorFrom<qvDragBoxSelectionManipulator> "Manipulator was not
// initialized yet" with no list; the drag box's own texts otherwise.

#include <orvane/interaction/qvDragBoxManipulator.hpp>
#include <orvane/shapes/qvGraphicList.hpp>

class qvDragBoxSelectionManipulator : public qvManipulator {
public:
    qvDragBoxSelectionManipulator() = default;
    qvDragBoxSelectionManipulator(qvDragBoxSelectionManipulator const& other) = default;
    qvDragBoxSelectionManipulator& operator=(qvDragBoxSelectionManipulator const& other) = default;
    ~qvDragBoxSelectionManipulator() override;

    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(scene_layer_); }
    void notify(unsigned) override {}

    void begin(qvCrdOf<double> crd);
    void move(qvCrdOf<double> crd);
    // Selects with `options` (the selection flags) what the box covers;
    // the result of the selection.
    bool end(unsigned options);

    qvGraphicList const& list() const noexcept { return list_; }

private:
    void require_list() const;

    qvDragBoxManipulator box_;
    qvGraphicList list_;
    qvViewSceneLayer scene_layer_;
};
