#pragma once
// qvViewTransformationImplementation: forwards every transformation change
// of a layer or renderer to its sink, and turns zoom and scroll into
// transformations for apply_left.
//
// Keeps true: the sink is not owned; without one nothing changes anywhere.
// apply_left and apply_right refuse a transformation with NaN or an
// infinity (require_finite: qvErrorFrom<qvViewTransformation> "Invalid
// scroller argument") before anything moves, with or without a sink: such
// a transformation would reach every layer's mapping and the driver. An
// override that changes anything before it calls this class's calls
// require_finite first.
// zoom and scroll reach apply_left through the virtual table, so an object
// that composes its own mapping there (data layers, renderers) sees them.
// scroll moves by whole units only, truncated toward zero in double (no
// conversion to an integer type, so no amount overflows); a NaN or
// infinite amount does nothing. zoom refuses a factor of 0, NaN or an
// infinity ("Invalid zoom factor") and a centre, or a composed
// transformation, that is not finite ("Invalid scroller argument"), both
// qvErrorFrom<qvViewTransformation>, before anything moves.

#include <orvane/views/qvViewTransformation.hpp>

class qvViewTransformationImplementation : public virtual qvViewTransformation {
public:
    void transformation_sink(qvViewTransformation* sink) override { sink_ = sink; }
    qvViewTransformation* transformation_sink() const override { return sink_; }

    void apply_left(qvRestrictedTransformation const& t) override;
    void apply_right(qvRestrictedTransformation const& t) override;
    void zoom(qvCrdOf<double> centre, double factor) override;
    void zoom(qvCrdOf<double> centre, double x_factor, double y_factor) override;
    void scroll(double dx, double dy) override;

    // The one check of every transformation change; also for the mapping
    // control, whose two axes would otherwise move one without the other.
    static void require_finite(qvRestrictedTransformation const& t);

protected:
    qvViewTransformationImplementation() noexcept = default;
    qvViewTransformationImplementation(qvViewTransformationImplementation const&) noexcept = default;
    qvViewTransformationImplementation& operator=(qvViewTransformationImplementation const&) noexcept =
        default;

private:
    qvViewTransformation* sink_ = nullptr;
};
