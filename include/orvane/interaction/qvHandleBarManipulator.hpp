#pragma once
// qvHandleBarManipulator: a row of handles (compact one-point poly-markers)
// on the gadget layer's companion of an edited scene layer, in that layer's
// model coordinates, and the pick of the handle under a device point. The
// bar gives its handles no style: the manipulator using it places them,
// styles them and decides what dragging one means.
//
// Picking renders the spot's box of the handle layer alone through a
// throw-away view manager (hollow background) whose device renderer drives
// a spot selector of tolerance 5, front to back: the topmost handle (the
// one created last) is reported first and ends the walk. What edits left
// invalid in the handle layer is dropped first, so a pick covers the spot's
// box only. A handle is drawn 4 units wide and hit within its marker test
// (diameter 5 plus tolerance 5: 10 device units), but its compact record's
// box runs up and right of its point only, while the spot's box, grown by
// the selector's added width 1, reaches 6 units: left of or below a handle
// it is picked within 6 device units only.
//
// Keeps true:
//  - the handles array holds the shape handles in index order, beside a
//    map from shape handle to index, so a pick is one lookup per record;
//  - copies share one array with shared ownership: the last holder frees
//    it, whichever is destroyed first;
//  - active exactly while the handle layer is held; every operation but
//    activate, active, handle_layer and deactivate raises
//    qvErrorFrom<qvHandleBarManipulator> "Manipulator was not initialized
//    yet" while inactive, and changes nothing on any error;
//  - deactivate destroys every handle shape whose scene still exists and
//    raises nothing once the gadget layer or view is gone, nor for a handle
//    whose shape other code destroyed (it is passed over).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvSelector.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class qvContainerScene;

// The shape handles of a bar's handles, in index order, and their index.
struct qvHandleBarHandles {
    std::vector<std::int32_t> order;
    std::unordered_map<std::int32_t, int> index;
};

// Stops the selector at the first record of the handle scene that is a
// handle, remembering its index; records of other scenes are passed over.
class qvHBM_Callback : public qvSelector::Callback {
public:
    qvHBM_Callback(qvHandleBarHandles const* handles, qvScene const* scene) noexcept
        : handles_(handles), scene_(scene) {}
    bool selected(qvShapeBase const* record, qvScene const* scene) override;
    // -1 until a handle was hit.
    int found() const noexcept { return found_; }

private:
    qvHandleBarHandles const* handles_;
    qvScene const* scene_;
    int found_ = -1;
};

class qvHandleBarManipulator : public qvManipulator {
public:
    qvHandleBarManipulator();
    qvHandleBarManipulator(qvHandleBarManipulator const& other) = default;
    // Drops this bar's own handles first unless the two share one row.
    qvHandleBarManipulator& operator=(qvHandleBarManipulator const& other);
    ~qvHandleBarManipulator() override;

    // The graphic is ignored. An empty scene layer gives false, inactive;
    // the gadget layer's "Gadget layer must be connected to a view" reaches
    // the caller.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer);
    void deactivate() override;
    bool active() override { return static_cast<bool>(handle_layer_); }
    // Bit 1 fetches the handle layer again (it takes the scene layer's
    // present mapping); other bits are ignored.
    void notify(unsigned what) override;

    int size();
    // A new handle at the model point p, unstyled, as the last index.
    qvGraphic add_handle(qvCrdOf<double> p);
    // "Illegal handle index requested" outside 0 .. size() - 1.
    qvGraphic operator[](int i);
    void remove_handle(int i);
    // The index of the topmost handle under the device point, -1 for none.
    int selected(qvCrdOf<double> crd);

    qvViewSceneLayer handle_layer() const { return handle_layer_; }

private:
    void require_active() const;
    void require_index(int i) const;
    qvContainerScene& handle_scene() const;

    std::shared_ptr<qvHandleBarHandles> handles_;
    qvViewGadgetLayer gadget_layer_;
    qvViewSceneLayer scene_layer_;
    qvViewSceneLayer handle_layer_;
};
