#pragma once
// qvScaleManipulator: resizes one graphic by dragging one of eight handles
// placed on its box, through the graphic's scale interaction (its own, or
// an adapter from the adapter list; the extended one, for texts, first
// given the edited layer's mapping). Every move changes the graphic at
// once; end only ends the drag.
//
// Handles, in creation order (x0 <= x1, y0 <= y1 the box's edges, cx, cy
// its middles), with the signs of the growth they give:
//   0 (x0, y0) corner -1 -1    1 (cx, y0) y edge  0 -1    2 (x1, y0) corner +1 -1
//   3 (x0, cy) x edge -1  0    4 (x1, cy) x edge +1  0
//   5 (x0, y1) corner -1 +1    6 (cx, y1) y edge  0 +1    7 (x1, y1) corner +1 +1
// Style bit 1 keeps the aspect ratio for edge handles, bit 2 for corner
// handles (default 2). A box is never made smaller than 20 x 20 device
// units at the mapping in force at activation; an axis of zero extent is
// left alone (no growth, no minimum, no aspect step), so a vertical line
// still stretches vertically and nothing divides by zero.
//
// Keeps true: active exactly while a graphic is held; every operation but
// activate, deactivate, active and moving raises
// qvErrorFrom<qvScaleManipulator> "Manipulator was not initialized yet"
// while inactive, move without a selected handle "Handle bar is not
// selected", and neither changes anything; move raises the base's "Invalid
// device point" for a NaN point or a box no shape can hold (an infinity
// dragged outwards, a mapping of scale 0) before the graphic changes,
// while a drag to an infinity past the opposite side stops at the minimum
// as any far drag does. A graphic that lost both scale
// interactions fails the assertion "r || xr" in move and notify.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/interaction/qvHandleBarManipulator.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <cstdint>

class qvScaleInteraction;

class qvScaleManipulator : public qvManipulator {
public:
    explicit qvScaleManipulator(unsigned style = 2) noexcept : style_(style) {}
    qvScaleManipulator(qvScaleManipulator const& other) = default;
    qvScaleManipulator& operator=(qvScaleManipulator const& other) = default;
    ~qvScaleManipulator() override;

    // False, inactive, for an empty scene layer or a graphic without a
    // scale interaction.
    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(graphic_); }
    // Bit 2 moves the handles onto the graphic's present box; other flags
    // go to the handle bar.
    void notify(unsigned what) override;

    // Whether a handle lies under the device point; nothing changes.
    bool check(qvCrdOf<double> crd);
    // Selects the handle under the device point; whether there is one.
    bool begin(qvCrdOf<double> crd);
    // The selected handle follows the device point.
    void move(qvCrdOf<double> crd);
    void end();
    bool moving() const noexcept { return selected_ >= 0; }

    unsigned style() const noexcept { return style_; }
    qvHandleBarManipulator& handle_bar() noexcept { return bar_; }

    // Handle n's position on a box; n outside 0 .. 7 fails the assertion
    // "n".
    static qvCrdOf<double> handle_position(int n, qvMathRectOf<double> const& box);

private:
    void require_active() const;
    // The index of the scale handle (0 .. 7) under the device point, -1
    // for none.
    int scale_handle_at(qvCrdOf<double> crd);
    // Runs f with the graphic's scale interaction (extended one first).
    template <class F>
    void with_interaction(F&& f);
    void place_handles(qvMathRectOf<double> const& box);
    void resize(qvScaleInteraction& s, qvCrdOf<double> crd);

    qvHandleBarManipulator bar_;
    qvGraphic graphic_;
    qvViewSceneLayer layer_;
    std::uint32_t style_ = 2;
    int selected_ = -1;
    double min_width_ = 0;
    double min_height_ = 0;
};
