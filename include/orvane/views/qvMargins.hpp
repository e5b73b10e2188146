#pragma once
// qvMargins: the four margins of a sheet of paper, in points. A plain value:
// the setters store what they are given; valid() tells whether the result
// can describe a sheet.

#include <orvane/views/qvHardcopyUnits.hpp>

class qvMargins : public qvHardcopyUnits {
public:
    // Half an inch (36 points) on every side.
    qvMargins() noexcept = default;
    qvMargins(double left, double right, double bottom, double top) noexcept
        : left_(left), right_(right), bottom_(bottom), top_(top) {}
    qvMargins(qvMargins const&) noexcept = default;
    qvMargins& operator=(qvMargins const&) noexcept = default;
    virtual ~qvMargins() = default;

    double left_margin() const noexcept { return left_; }
    double right_margin() const noexcept { return right_; }
    double bottom_margin() const noexcept { return bottom_; }
    double top_margin() const noexcept { return top_; }
    // Stored without any check.
    void left_margin(double v) noexcept { left_ = v; }
    void right_margin(double v) noexcept { right_ = v; }
    void bottom_margin(double v) noexcept { bottom_ = v; }
    void top_margin(double v) noexcept { top_ = v; }

    // Every margin >= 0 (a NaN margin is not).
    virtual bool valid() const;

private:
    double left_ = 36.0;
    double right_ = 36.0;
    double bottom_ = 36.0;
    double top_ = 36.0;
};
