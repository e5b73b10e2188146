// The two process-wide filters. Function-local statics: each is built by
// its first use (from any static initialiser too) and destroyed with the
// library, so no start-up registration is needed.

#include <orvane/views/qvViewFilter.hpp>
#include <orvane/views/qvViewOffFilter.hpp>
#include <orvane/views/qvViewOnFilter.hpp>

qvViewFilter* qvViewFilter::on() {
    static qvViewOnFilter filter;
    return &filter;
}

qvViewFilter* qvViewFilter::off() {
    static qvViewOffFilter filter;
    return &filter;
}
