#pragma once
// qvCountingPort: a flavour port that only counts what a scene hands it.
//
// Shared by tests, benchmarks and fuzz targets that draw a scene and need
// to know how many records arrived (and, so every byte of a record is
// touched, how many bytes). It keeps the palette a scene sets, so a caller
// can check that drawing set it first; nothing else is drawn or kept.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvExtent.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstdlib>

class qvCountingPort : public qvFlavorPort {
public:
    long drawn = 0;       // records handed to draw_shape
    long long bytes = 0;  // the sum of their size fields

    qvDrawObject& draw() override { std::abort(); }
    qvRestrictedTransformation const& transformation() const override { return transformation_; }
    void transformation(qvRestrictedTransformation const&) override {}
    qvRestrictedTransformation const& inverse_transformation() const override { return transformation_; }
    qvMathRectOf<double> const& device_bbox() const override { return box_; }
    void device_bbox(qvMathRectOf<double> const&) override {}
    qvMathRectOf<double> const& model_bbox() const override { return box_; }
    void scene(qvScene*) override {}
    qvScene* scene() const override { return nullptr; }
    void palette(qvPalette* palette) override { palette_ = palette; }
    qvPalette* palette() const override { return palette_; }
    bool draw_shape(qvShapeBase const& record) override {
        ++drawn;
        bytes += record.size;
        return true;
    }
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

private:
    qvRestrictedTransformation transformation_;
    qvMathRectOf<double> box_;
    qvPalette* palette_ = nullptr;
};
