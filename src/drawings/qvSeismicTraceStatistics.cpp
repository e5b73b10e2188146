// One pass with four running values. The sums are kept in double whatever
// the sample type, so every type gives the same answer for the same values;
// NaN samples pass through the comparisons (never chosen as extremes) and
// make the sums NaN, without undefined behaviour.

#include <orvane/drawings/qvSeismicTraceStatistics.hpp>

#include <cmath>
#include <limits>

template <class T>
void qvSeismicTraceStatisticsBase::calculate_typed(T const* samples, int n) noexcept {
    if (samples == nullptr || n < 0) n = 0;
    count = n;
    min_value = std::numeric_limits<double>::max();
    max_value = -std::numeric_limits<double>::max();
    double sum_abs = 0.0;
    double sum_squares = 0.0;
    for (int i = 0; i < n; ++i) {
        const double v = static_cast<double>(samples[i]);
        if (v < min_value) min_value = v;
        if (v > max_value) max_value = v;
        sum_abs += std::fabs(v);
        sum_squares += v * v;
    }
    if (n == 0) {
        mean_abs = 0.0;
        rms = 0.0;
        return;
    }
    mean_abs = sum_abs / n;
    rms = std::sqrt(sum_squares / n);
}

template <class T>
void qvSeismicTraceStatistics<T>::calculate_trace_statistics(void const* samples, int n) {
    this->calculate_typed(static_cast<T const*>(samples), n);
}

template class qvSeismicTraceStatistics<signed char>;
template class qvSeismicTraceStatistics<short>;
template class qvSeismicTraceStatistics<int>;
template class qvSeismicTraceStatistics<float>;
template class qvSeismicTraceStatistics<double>;
