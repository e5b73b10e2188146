#pragma once
// qvViewTransformation: the transformation mixin of layers and renderers.
// Changes of the view's transformation arrive here; what an object does
// with them (forward to a sink, compose a mapping, scroll a window) is its
// implementation's.
//
// Keeps true: no state; the sink is not owned.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvViewTransformation {
public:
    virtual ~qvViewTransformation() = default;

    // The object that receives this one's transformation changes; null: none.
    virtual void transformation_sink(qvViewTransformation* sink) = 0;
    virtual qvViewTransformation* transformation_sink() const = 0;

    // Composes t after (left) or before (right) the present transformation.
    virtual void apply_left(qvRestrictedTransformation const& t) = 0;
    virtual void apply_right(qvRestrictedTransformation const& t) = 0;
    // Zooms about the device point `centre`.
    virtual void zoom(qvCrdOf<double> centre, double factor) = 0;
    virtual void zoom(qvCrdOf<double> centre, double x_factor, double y_factor) = 0;
    virtual void scroll(double dx, double dy) = 0;

protected:
    qvViewTransformation() noexcept = default;
    qvViewTransformation(qvViewTransformation const&) noexcept = default;
    qvViewTransformation& operator=(qvViewTransformation const&) noexcept = default;
};
