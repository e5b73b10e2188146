// Normalisation rules. A range that lies on one side of zero is centred
// (offset the middle, factor half the range); one that straddles zero
// (exactly one of max > 0 and min > 0) keeps offset 0 and scales by the
// larger magnitude.

#include <orvane/drawings/qvTraceNormalizerBase.hpp>

#include <cmath>

void qvTraceNormalizerBase::norm_mode(qvSeismicNormMode mode) {
    norm_mode_ = mode;
    switch (mode) {
    case qvSeismicNormMode::min_max: {
        const bool straddles = (max_value > 0.0) != (min_value > 0.0);
        if (straddles) {
            norm_factor_ = std::fmax(std::fabs(min_value), std::fabs(max_value));
            norm_offset_ = 0.0;
        } else {
            norm_factor_ = 0.5 * std::fabs(std::fabs(max_value) - std::fabs(min_value));
            norm_offset_ = 0.5 * (max_value + min_value);
        }
        break;
    }
    case qvSeismicNormMode::mean_abs: norm_factor_ = mean_abs - norm_offset_; break;
    case qvSeismicNormMode::rms: norm_factor_ = rms - norm_offset_; break;
    default: break;
    }
}
