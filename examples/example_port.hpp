#pragma once
// ExamplePort: the part of a flavour port that the examples' ports share.
//
// A scene hands a port its palette and then each record to draw; a port
// that only looks at the records (to count or collect them) answers the
// rest with fixed values, as here, and overrides draw_shape alone.

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvExtent.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

class ExamplePort : public qvFlavorPort {
public:
    qvDrawObject& draw() override { throw qvError("no draw object"); }
    qvRestrictedTransformation const& transformation() const override { return identity_; }
    void transformation(qvRestrictedTransformation const&) override {}
    qvRestrictedTransformation const& inverse_transformation() const override { return identity_; }
    qvMathRectOf<double> const& device_bbox() const override { return box_; }
    void device_bbox(qvMathRectOf<double> const&) override {}
    qvMathRectOf<double> const& model_bbox() const override { return box_; }
    void scene(qvScene*) override {}
    qvScene* scene() const override { return nullptr; }
    void palette(qvPalette* p) override { palette_ = p; }
    qvPalette* palette() const override { return palette_; }
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

private:
    qvRestrictedTransformation identity_;
    qvMathRectOf<double> box_;
    qvPalette* palette_ = nullptr;
};
