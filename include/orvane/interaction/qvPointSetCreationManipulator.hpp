#pragma once
// qvPointSetCreationManipulator: builds a polygon, polyline or marker set
// point by point. add_point appends a device point, turned into the edited
// scene layer's model coordinates, to the target; track moves a rubber band
// (or marker) after the cursor between clicks; end removes the band. The
// band lives in the gadget layer's companion scene of the edited layer
// (same mapping), so it is kept in model coordinates too.
//
// Styles: MARKERS a one-point "NewPoint" marker at the last point that
// follows track; POLYGON a "DashedLine" polyline (last, cursor, first);
// POLYLINE (the default) a "DashedLine" polyline (last, cursor).
//
// Keeps true: active exactly while a target is held; activation asks for
// the companion layer before it stores anything, so a gadget layer in no
// view raises its "Gadget layer must be connected to a view" and leaves the
// manipulator inactive; an empty scene layer or a graphic without
// point-set access gives false. Errors (qvErrorFrom
// <qvPointSetCreationManipulator>): "Gadget layer is not initialized",
// "Manipulator was not initialized yet" (nothing changes), "Wrong
// manipulator style is specified" (raised when the first band would be
// made: the new point stays, no band is shown); "Invalid device point" of
// the base and "Attempt to query uninitialized shape" for a target the
// application destroyed change nothing. The target is never destroyed or
// made again here.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvManipulator.hpp>
#include <orvane/interaction/qvViewGadgetLayer.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

class qvPointSetCreationManipulator : public qvManipulator {
public:
    // A fixed underlying type: a value outside the three is representable
    // and refused by add_point, never undefined.
    enum Style : int { MARKERS = 0, POLYGON = 1, POLYLINE = 2 };

    explicit qvPointSetCreationManipulator(Style style = POLYLINE) noexcept : style_(style) {}
    qvPointSetCreationManipulator(qvPointSetCreationManipulator const& other) = default;
    qvPointSetCreationManipulator& operator=(qvPointSetCreationManipulator const& other) = default;
    ~qvPointSetCreationManipulator() override;

    bool activate(qvViewGadgetLayer gadget_layer, qvViewSceneLayer scene_layer, qvGraphic graphic) override;
    void deactivate() override;
    bool active() override { return static_cast<bool>(target_); }
    // Bit 1 fetches the companion layer again; bit 2 resets a shown band to
    // the target's present last (and first) point. Bit 1 comes first.
    void notify(unsigned what) override;

    bool begin() { return true; }
    // add_point(crd).
    bool begin(qvCrdOf<double> crd);
    void add_point(qvCrdOf<double> crd);
    // Without a band does nothing.
    void track(qvCrdOf<double> crd);
    void end();

    Style style() const noexcept { return style_; }
    // The band or marker, empty when none is shown.
    qvGraphic gadget() const { return gadget_; }

private:
    void require_active() const;
    void make_gadget();
    void reset_gadget();
    void drop_gadget();

    qvViewGadgetLayer gadget_layer_;
    qvViewSceneLayer layer_;
    qvViewSceneLayer companion_;
    qvGraphic target_;
    qvGraphic gadget_;
    Style style_ = POLYLINE;
    // The target had its record when last seen (see require_live_target).
    bool target_had_record_ = false;
};
