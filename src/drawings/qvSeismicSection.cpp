// Geometry of a seismic section and the trace handle's give-back rule: the
// handle that holds an acquisition is the one that releases it, once.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/drawings/qvSeismicSection.hpp>

#include <utility>

// ---------------------------------------------------------------- handle

qvSeismicTrace::qvSeismicTrace(qvSeismicTrace&& other) noexcept
    : section_(std::exchange(other.section_, nullptr)),
      trace_(std::exchange(other.trace_, nullptr)) {}

qvSeismicTrace& qvSeismicTrace::operator=(qvSeismicTrace&& other) noexcept {
    if (this != &other) {
        give_back();
        section_ = std::exchange(other.section_, nullptr);
        trace_ = std::exchange(other.trace_, nullptr);
    }
    return *this;
}

qvSeismicTrace::~qvSeismicTrace() { give_back(); }

void qvSeismicTrace::give_back() noexcept {
    if (trace_ != nullptr && section_ != nullptr) section_->release_trace(trace_);
    trace_ = nullptr;
    section_ = nullptr;
}

qvSeismicTraceInterface& qvSeismicTrace::trace_interface() {
    QV_ASSERT_TEXT(trace_ != nullptr, "trace");
    return *trace_;
}

qvTraceType qvSeismicTrace::trace_type() {
    QV_ASSERT_TEXT(trace_ != nullptr, "trace");
    return trace_->trace_type();
}

qvSampleType qvSeismicTrace::sample_type() {
    QV_ASSERT_TEXT(trace_ != nullptr, "trace");
    return trace_->sample_type();
}

int qvSeismicTrace::size() {
    QV_ASSERT_TEXT(trace_ != nullptr, "trace");
    return trace_->size();
}

void const* qvSeismicTrace::sample(int index, int count) {
    QV_ASSERT_TEXT(trace_ != nullptr, "trace");
    return trace_->sample(index, count);
}

// ---------------------------------------------------------------- section

qvMathRectOf<double> qvSeismicSection::model_limits_vertical() {
    const int traces = trace_count();
    const int samples = sample_count();
    if (traces <= 0 || samples <= 0) return qvMathRectOf<double>::make_empty();
    const double x0 = trace_origin();
    const double y0 = sample_origin();
    const double x1 = x0 + static_cast<double>(traces - 1) * trace_step();
    const double y1 = y0 + static_cast<double>(samples - 1) * sample_step();
    return qvMathRectOf<double>(x0, y0, x1, y1);   // normalises each axis
}

qvMathRectOf<double> qvSeismicSection::model_limits_horizontal() {
    const qvMathRectOf<double> v = model_limits_vertical();
    if (v.empty()) return v;
    return qvMathRectOf<double>(v.y1, v.x1, v.y2, v.x2);
}

qvSeismicTrace qvSeismicSection::trace(int index) {
    qvSeismicTraceInterface* t = acquire_trace(index);
    if (t == nullptr) return qvSeismicTrace();
    return qvSeismicTrace(*this, *t);
}

qvTraceType qvSeismicSection::get_trace_type(int index) {
    qvSeismicTrace t = trace(index);
    return t.trace_type();
}
