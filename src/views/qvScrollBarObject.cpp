// The scroll bar: conversions between bar positions and model values.
//
// With r the bar's device range, ms the model size and S the mapping scale:
//   dev2mod(d) = limits.lo + v (limits.hi - v when S < 0),
//                v = (floor(d) - r.lo) / (r.hi - r.lo) · ms
//   mod2dev(m) = floor(u / ms · (r.hi - r.lo)) + r.lo,
//                u = m - limits.lo (limits.hi - m when S < 0)
// Without limits (ms = 0) or on a bar of length 0 the quotients are not
// formed: dev2mod answers the model value at the bar's start and mod2dev the
// bar's start, which is what the formulas give at v = 0 and u = 0.

#include <orvane/views/qvScrollBarObject.hpp>

#include <cmath>

void* qvScrollBarObject::query_interface(qvInterfaceInfo const& info) {
    if (void* p = qvOfferInterfaces<qvScrollBarObject>(this, info)) return p;
    return qvScrollerObject::query_interface(info);
}

double qvScrollBarObject::dev2mod(double d) const {
    const qvRangeOf<double> r = device_range();
    const qvRangeOf<double> l = limits();
    const double ms = model_size();
    const double bar = r.hi - r.lo;
    const double v = ms == 0 || bar == 0 ? 0.0 : (std::floor(d) - r.lo) / bar * ms;
    return A() < 0 ? l.hi - v : l.lo + v;
}

double qvScrollBarObject::mod2dev(double m) const {
    const qvRangeOf<double> r = device_range();
    const qvRangeOf<double> l = limits();
    const double ms = model_size();
    if (ms == 0) return r.lo;
    const double u = A() < 0 ? l.hi - m : m - l.lo;
    return std::floor(u / ms * (r.hi - r.lo)) + r.lo;
}
