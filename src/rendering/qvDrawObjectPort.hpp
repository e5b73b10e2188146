#pragma once
// qvDrawObjectPort: the flavour-port state a draw object keeps for the
// records it is handed: the transformation and boxes (qvDrawObjectGeometry
// derives the inverse and the model box), the scene and the palette, none
// of them owned. A port whose transformation setter does more overrides it,
// sets geometry_ first and brings the getter back with a using-declaration.
// Drawing the records (draw, draw_shape, text_metrics) stays with the
// port.

#include <orvane/shapes/qvFlavorPort.hpp>

#include "rendering/qvDrawObjectGeometry.hpp"

class qvDrawObjectPort : public virtual qvFlavorPort {
public:
    qvRestrictedTransformation const& transformation() const override { return geometry_.transformation(); }
    void transformation(qvRestrictedTransformation const& t) override { geometry_.transformation(t); }
    qvRestrictedTransformation const& inverse_transformation() const override {
        return geometry_.inverse_transformation();
    }
    qvMathRectOf<double> const& device_bbox() const override { return geometry_.device_bbox(); }
    void device_bbox(qvMathRectOf<double> const& box) override { geometry_.device_bbox(box); }
    qvMathRectOf<double> const& model_bbox() const override { return geometry_.model_bbox(); }
    void scene(qvScene* scene) override { scene_ = scene; }
    qvScene* scene() const override { return scene_; }
    void palette(qvPalette* palette) override { palette_ = palette; }
    qvPalette* palette() const override { return palette_; }

protected:
    qvDrawObjectPort() noexcept = default;

    qvDrawObjectGeometry geometry_;
    qvScene* scene_ = nullptr;
    qvPalette* palette_ = nullptr;
};
