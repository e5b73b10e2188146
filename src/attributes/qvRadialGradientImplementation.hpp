#pragma once
// qvRadialGradientImplementation: a gradient around a centre, with a focal
// point and a radius stored as given. Answers the identities of
// qvCustomBrushDataAccess, qvGradientDataAccess and
// qvRadialGradientDataAccess, and no other.

#include "attributes/qvGradientImplementation.hpp"

#include <orvane/attributes/qvRadialGradientDataAccess.hpp>

class qvRadialGradientImplementation : public qvGradientImplementation,
                                       public qvRadialGradientDataAccess {
public:
    qvRadialGradientImplementation(qvCrdOf<double> center, double radius, qvCrdOf<double> focal);
    qvRadialGradientImplementation(qvCrdOf<double> center, qvRgbColor focal_color, double radius,
                                   qvRgbColor end_color, qvCrdOf<double> focal);

    qvCrdOf<double> center() const override { return center_; }
    void center(qvCrdOf<double> point) override { center_ = point; }
    qvCrdOf<double> focal_point() const override { return focal_; }
    void focal_point(qvCrdOf<double> point) override { focal_ = point; }
    double radius() const override { return radius_; }
    void radius(double value) override { radius_ = value; }
    qvRgbColor focal_color() const override { return first_color(); }
    void focal_color(qvRgbColor color) override { replace_first_color(color); }
    qvRgbColor end_color() const override { return last_color(); }
    void end_color(qvRgbColor color) override { replace_last_color(color); }

    void* query_interface(qvInterfaceInfo const& info) override;

private:
    qvCrdOf<double> center_;
    qvCrdOf<double> focal_;
    double radius_;
};
