#pragma once
// qvTraceNormalizerBase: turns a trace's statistics into a scale factor and
// an offset. Factor and offset follow the statistics present when
// norm_mode(mode) was last called; a later calculation leaves them alone.

#include <orvane/drawings/qvSeismicTraceStatistics.hpp>
#include <orvane/drawings/qvSeismicTypes.hpp>

class qvTraceNormalizerBase : public virtual qvSeismicTraceStatisticsBase {
public:
    ~qvTraceNormalizerBase() override = default;

    // The application's own; the library never calls it.
    virtual void reserved() = 0;
    // Stores the mode and recomputes factor and offset from the statistics:
    // none keeps both; min_max centres the range (or, when it straddles
    // zero, scales by the larger magnitude); mean_abs and rms set the
    // factor to that value less the offset. Other values are only stored.
    virtual void norm_mode(qvSeismicNormMode mode);

    qvSeismicNormMode norm_mode() const noexcept { return norm_mode_; }
    double norm_factor() const noexcept { return norm_factor_; }
    void norm_factor(double f) noexcept { norm_factor_ = f; }
    double norm_offset() const noexcept { return norm_offset_; }
    void norm_offset(double o) noexcept { norm_offset_ = o; }

protected:
    qvTraceNormalizerBase() = default;
    qvTraceNormalizerBase(qvTraceNormalizerBase const&) = default;
    qvTraceNormalizerBase& operator=(qvTraceNormalizerBase const&) = default;

private:
    qvSeismicNormMode norm_mode_ = qvSeismicNormMode::none;
    double norm_factor_ = 1.0;
    double norm_offset_ = 0.0;
};
