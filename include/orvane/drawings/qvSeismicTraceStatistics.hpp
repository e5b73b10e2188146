#pragma once
// Statistics of one trace: count, minimum, maximum, mean absolute value and
// root mean square, taken in one pass. The base is virtual so that a
// normaliser derived beside a typed statistics class shares one set.
//
// Keeps true: the four values belong to the last calculation (zero before
// the first); an empty calculation (no samples, n <= 0) leaves count 0,
// minimum and maximum at their starting extremes and the two means 0.

class qvSeismicTraceStatisticsBase {
public:
    virtual ~qvSeismicTraceStatisticsBase() = default;
    virtual void calculate_trace_statistics(void const* samples, int n) = 0;

    int count = 0;
    double min_value = 0.0;
    double max_value = 0.0;
    double mean_abs = 0.0;
    double rms = 0.0;

protected:
    qvSeismicTraceStatisticsBase() = default;
    qvSeismicTraceStatisticsBase(qvSeismicTraceStatisticsBase const&) = default;
    qvSeismicTraceStatisticsBase& operator=(qvSeismicTraceStatisticsBase const&) = default;

    // Fills the statistics from values of T; null or n <= 0 is empty.
    template <class T>
    void calculate_typed(T const* samples, int n) noexcept;
};

// Provided for signed char, short, int, float and double.
template <class T>
class qvSeismicTraceStatistics : public virtual qvSeismicTraceStatisticsBase {
public:
    qvSeismicTraceStatistics() = default;
    qvSeismicTraceStatistics(qvSeismicTraceStatistics const&) = default;
    qvSeismicTraceStatistics& operator=(qvSeismicTraceStatistics const&) = default;

    void calculate_trace_statistics(void const* samples, int n) override;
};

extern template class qvSeismicTraceStatistics<signed char>;
extern template class qvSeismicTraceStatistics<short>;
extern template class qvSeismicTraceStatistics<int>;
extern template class qvSeismicTraceStatistics<float>;
extern template class qvSeismicTraceStatistics<double>;
