#pragma once
// qvConicalGradientImplementation: a gradient swept around a centre from an
// angle stored as given. Answers the identities of qvCustomBrushDataAccess,
// qvGradientDataAccess and qvConicalGradientDataAccess, and no other.

#include "attributes/qvGradientImplementation.hpp"

#include <orvane/attributes/qvConicalGradientDataAccess.hpp>

class qvConicalGradientImplementation : public qvGradientImplementation,
                                        public qvConicalGradientDataAccess {
public:
    qvConicalGradientImplementation(qvCrdOf<double> center, double angle);
    qvConicalGradientImplementation(qvCrdOf<double> center, qvRgbColor start_color, double angle,
                                    qvRgbColor end_color);

    qvCrdOf<double> center() const override { return center_; }
    void center(qvCrdOf<double> point) override { center_ = point; }
    double angle() const override { return angle_; }
    void angle(double value) override { angle_ = value; }
    qvRgbColor start_color() const override { return first_color(); }
    void start_color(qvRgbColor color) override { replace_first_color(color); }
    qvRgbColor end_color() const override { return last_color(); }
    void end_color(qvRgbColor color) override { replace_last_color(color); }

    void* query_interface(qvInterfaceInfo const& info) override;

private:
    qvCrdOf<double> center_;
    double angle_;
};
