#pragma once
// qvRenderingHelper: the flavour port a layer draws through. It stands in
// front of the layer's target port, checks every record it is given, sends
// flavour records (kind > 0) and standard records whose attribute names a
// flavour to that flavour's renderer, and passes everything else on.
//
// draw_shape, per record:
//   kind 0         raises qvErrorFrom<qvRenderingHelper> "Attempt to render
//                  a malformed shape"; nothing is drawn;
//   kind > 0       a record the record check refuses raises the same; else
//                  the renderer of the flavour class registered under the
//                  kind draws it (false, nothing drawn, when none is);
//   kind < 0       a record the record check refuses is skipped (false,
//                  nothing drawn), as the drivers answer, so one damaged
//                  record never breaks every redraw of its area; else, when
//                  the target's palette gives the record's attribute an
//                  "attribute_flavor" value, that value is read as a
//                  flavour class id and, when that class's renderer answers
//                  true, so does draw_shape. An id without a registered
//                  class falls through; a null palette skips the look-up.
//                  The rest goes to the target's draw_shape.
//
// Keeps true:
//  - the target and the layer are borrowed, never owned; a target lives
//    only as long as the render that set it, so its user clears it when
//    the render ends (clear_target); forwarding without a target fails the
//    assertion "target";
//  - flavour renderers get the helper itself as their port, so what they
//    draw passes the same checks;
//  - draw_shape allocates nothing; it runs the record check once and makes
//    at most one palette look-up per record.

#include <orvane/views/qvViewLayerFlavorPort.hpp>

class qvRenderingHelper : public virtual qvViewLayerFlavorPort {
public:
    // No target and no layer.
    qvRenderingHelper() noexcept = default;
    qvRenderingHelper(qvFlavorPort& target, qvViewDataLayerObject* layer) noexcept
        : target_(&target), layer_(layer) {}
    qvRenderingHelper(qvRenderingHelper const& other) noexcept = default;
    qvRenderingHelper& operator=(qvRenderingHelper const& other) noexcept = default;
    ~qvRenderingHelper() override;

    // Points the helper at another port and layer, for the next render.
    void retarget(qvFlavorPort& target, qvViewDataLayerObject* layer) noexcept {
        target_ = &target;
        layer_ = layer;
    }
    // Forgets the target (the layer stays); see the file comment.
    void clear_target() noexcept { target_ = nullptr; }
    qvFlavorPort* target() const noexcept { return target_; }
    qvViewDataLayerObject* layer() const override { return layer_; }

    // ---- forwarded to the target unchanged -----------------------------------
    qvDrawObject& draw() override;
    qvRestrictedTransformation const& transformation() const override;
    void transformation(qvRestrictedTransformation const& t) override;
    qvRestrictedTransformation const& inverse_transformation() const override;
    qvMathRectOf<double> const& device_bbox() const override;
    void device_bbox(qvMathRectOf<double> const& box) override;
    qvMathRectOf<double> const& model_bbox() const override;
    void scene(qvScene* scene) override;
    qvScene* scene() const override;
    void palette(qvPalette* palette) override;
    qvPalette* palette() const override;
    qvExtent text_metrics(long attribute, char const* text, unsigned length) override;

    bool draw_shape(qvShapeBase const& record) override;

    // qvViewLayerFlavorPort and qvFlavorPort: the helper; anything else null.
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvFlavorPort& checked_target() const;

private:
    qvFlavorPort* target_ = nullptr;
    qvViewDataLayerObject* layer_ = nullptr;
};
