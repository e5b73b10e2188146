#pragma once
// qvMappingControlImpl: the library's mapping control. It keeps one
// dimension per axis (either may be absent) with its own scroller linked
// into each; see qvMappingControlBaseObject for the model.
//
// Every change is a batch: begin_update on each present dimension
// (horizontal first), one public scroller operation per present axis
// (horizontal first), end_update in the same order. Each operation commits
// at once and reaches the control's own scroller, which pushes it into the
// linked layers, so mapping() read inside a batch shows the earlier steps.
// A batch is a scope: its end_update calls run also when an error passes.
//
// Keeps true:
//  - the control's own scrollers report to it weakly; the control pushes
//    into layers only, never back into the dimensions;
//  - a layer is driven only through entries of this control whose layer
//    is alive; dead layers' entries are skipped and stay;
//  - a walk over the table holds the table and each layer it calls into,
//    so neither can die under it.
//
// The copy constructor shares the dimensions, the table and the two own
// scrollers, which keep reporting to the source control: a copy reads and
// drives the same axes but pushes nothing of its own. clone() is the way
// to a second control that reacts to the dimensions by itself.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvMappingControlBase.hpp>

#include "views/qvScrollerInt.hpp"

class qvMappingControlImpl : public qvMappingControlObject {
public:
    qvMappingControlImpl();
    qvMappingControlImpl(qvMappingControlImpl const& other) = default;
    qvMappingControlImpl& operator=(qvMappingControlImpl const&) = delete;
    ~qvMappingControlImpl() override = default;

    // A new control with default settings and a table of its own, linked
    // to this control's two dimensions.
    qvMappingControlBase clone() const;
    // Answers qvMappingControlObject only.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMappingDimension vertical_dimension() const override { return vertical_; }
    void vertical_dimension(qvMappingDimension const& d) override;
    qvMappingDimension horizontal_dimension() const override { return horizontal_; }
    void horizontal_dimension(qvMappingDimension const& d) override;

    qvRestrictedTransformation const& mapping() const override;
    void mapping(qvRestrictedTransformation const& rt) override;
    void apply_left(qvRestrictedTransformation const& rt) override;
    void apply_right(qvRestrictedTransformation const& rt) override;
    qvMathRectOf<double> limits() const override;
    void limits(qvMathRectOf<double> const& rect) override;
    void resize(qvMathRectOf<double> const& rect) override;
    qvMathRectOf<double> const& window() const override;

    using qvMappingControlObject::mapping_table;
    void add(qvViewLayer const& layer, int link_type, qvCrdOf<double> const& offset) override;
    void remove(qvViewLayer const& layer) override;
    int link_type(qvViewLayer const& layer) const override;
    qvCrdOf<double> offset(qvViewLayer const& layer) const override;

    using qvMappingControlObject::round_off;
    void round_off(bool on) override;
    qvRestrictedTransformation layer_mapping(qvViewLayer const& layer) const override;
    qvCrdOf<double> model_to_device(qvCrdOf<double> const& p) const override;
    qvCrdOf<double> device_to_model(qvCrdOf<double> const& p) const override;

    void zoom(qvMathRectOf<double> const& rect, bool keep_aspect) override;
    void zoom(double zx, double zy, qvCrdOf<double> const& centre) override;
    void zoom(double factor, qvCrdOf<double> const& centre) override;
    void zoom(double zx, double zy) override;
    void zoom(double factor) override;
    void scroll(qvCrdOf<double> const& distance) override;
    void scroll(double dx, double dy) override;
    void show(qvMathRectOf<double> const& rect, int anchor) override;
    void show(qvCrdOf<double> const& point, int anchor) override;

    double x_position() const override;
    double y_position() const override;
    qvCrdOf<double> position() const override;
    double x_window_size() const override;
    double y_window_size() const override;
    qvCrdOf<double> window_size() const override;
    qvRangeOf<double> x_limits() const override;
    qvRangeOf<double> y_limits() const override;
    int limits_alignment() const override { return limits_alignment_; }
    void limits_alignment(int anchor) override;

    // Pushes `rt` into `layer` on the axes of `link` (bits: 1 vertical, 2
    // horizontal): a data layer takes those components into its mapping; a
    // view manager hands it on to the data layers and view managers it
    // lists; an active layer to each of its children. Anything else, and a
    // dead layer, is passed over.
    static void set_mapping(qvIWeakPtr<qvViewLayerObject> const& layer, qvRestrictedTransformation const& rt,
                            int link);

protected:
    qvCrdOf<double> anchor_pos() const override;
    void do_scroll(qvCrdOf<double> const& distance) override;
    void do_zoom(double zx, double zy, qvCrdOf<double> const& centre) override;
    void do_left(qvRestrictedTransformation const& rt) override;
    void do_right(qvRestrictedTransformation const& rt) override;
    void do_set_x(qvRTComponent c) override;
    void do_set_y(qvRTComponent c) override;

private:
    class Batch;

    // Bits 2 (horizontal) and 1 (vertical) of the present dimensions.
    int axis_mask() const noexcept;
    void set_dimension(qvMappingDimension& slot, qvMappingDimension const& d, qvISafePtr<qvScrollerInt> const& own);
    // do_left (device side, conjugated by each entry's offset) or do_right.
    void push_factor(qvRestrictedTransformation const& rt, bool device_side);
    void push_component(qvRestrictedTransformation const& t, int mask);

    qvMappingDimension vertical_;
    qvMappingDimension horizontal_;
    qvISafePtr<qvScrollerInt> vertical_scroller_;
    qvISafePtr<qvScrollerInt> horizontal_scroller_;
    mutable qvRestrictedTransformation mapping_;
    mutable qvMathRectOf<double> window_;
    int limits_alignment_ = 8;
};
