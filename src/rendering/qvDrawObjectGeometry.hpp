#pragma once
// qvDrawObjectGeometry: the transformation and boxes a draw object keeps as
// a flavour port. Keeps true: the inverse and the model box (the device box
// seen through the inverse) are derived on first use and forgotten whenever
// the transformation or the device box they derive from changes.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvDrawObjectGeometry {
public:
    qvRestrictedTransformation const& transformation() const noexcept { return transformation_; }
    void transformation(qvRestrictedTransformation const& t) noexcept {
        transformation_ = t;
        inverse_valid_ = false;
        model_box_valid_ = false;
    }
    qvRestrictedTransformation const& inverse_transformation() const noexcept {
        if (!inverse_valid_) {
            inverse_ = qvInvert(transformation_);
            inverse_valid_ = true;
        }
        return inverse_;
    }

    qvMathRectOf<double> const& device_bbox() const noexcept { return device_box_; }
    void device_bbox(qvMathRectOf<double> const& box) noexcept {
        device_box_ = box;
        model_box_valid_ = false;
    }
    qvMathRectOf<double> const& model_bbox() const noexcept {
        if (!model_box_valid_) {
            model_box_ = qvTransformRect(device_box_, inverse_transformation());
            model_box_valid_ = true;
        }
        return model_box_;
    }

private:
    qvRestrictedTransformation transformation_;
    mutable qvRestrictedTransformation inverse_;
    mutable bool inverse_valid_ = false;
    qvMathRectOf<double> device_box_{0, 0, 0, 0};
    mutable qvMathRectOf<double> model_box_{0, 0, 0, 0};
    mutable bool model_box_valid_ = false;
};
