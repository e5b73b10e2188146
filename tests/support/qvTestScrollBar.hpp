#pragma once
// A scroll bar whose device range the test sets, standing in for the bar
// of a host's window system.

#include <orvane/views/qvScrollBarObject.hpp>

class qvTestScrollBar : public qvScrollBarObject {
public:
    explicit qvTestScrollBar(qvRangeOf<double> range = {}) : range_(range) {}

    qvRangeOf<double> device_range() const override { return range_; }
    // Fields as given: a test may pass a range of length 0.
    void set_device_range(double start, double end) {
        range_.lo = start;
        range_.hi = end;
    }

private:
    qvRangeOf<double> range_;
};
