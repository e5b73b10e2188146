#pragma once
// qvLinearGradientImplementation: a gradient from a start point to an end
// point. Answers the identities of qvCustomBrushDataAccess,
// qvGradientDataAccess and qvLinearGradientDataAccess, and no other.

#include "attributes/qvGradientImplementation.hpp"

#include <orvane/attributes/qvLinearGradientDataAccess.hpp>

class qvLinearGradientImplementation : public qvGradientImplementation,
                                       public qvLinearGradientDataAccess {
public:
    qvLinearGradientImplementation(qvCrdOf<double> start, qvCrdOf<double> end);
    qvLinearGradientImplementation(qvCrdOf<double> start, qvRgbColor start_color,
                                   qvCrdOf<double> end, qvRgbColor end_color);

    qvCrdOf<double> start_point() const override { return start_; }
    void start_point(qvCrdOf<double> point) override { start_ = point; }
    qvCrdOf<double> end_point() const override { return end_; }
    void end_point(qvCrdOf<double> point) override { end_ = point; }
    qvRgbColor start_color() const override { return first_color(); }
    void start_color(qvRgbColor color) override { replace_first_color(color); }
    qvRgbColor end_color() const override { return last_color(); }
    void end_color(qvRgbColor color) override { replace_last_color(color); }

    void* query_interface(qvInterfaceInfo const& info) override;

private:
    qvCrdOf<double> start_;
    qvCrdOf<double> end_;
};
