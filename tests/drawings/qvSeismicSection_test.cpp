// Seismic section geometry, trace handles, statistics and normalisation.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/drawings/qvSeismicSection.hpp>
#include <orvane/drawings/qvSeismicTraceStatistics.hpp>
#include <orvane/drawings/qvTraceNormalizerBase.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SeismicStubTrace : qvSeismicTraceInterface {
    qvTraceType trace_type() override { return static_cast<qvTraceType>(7); }
    qvSampleType sample_type() override { return static_cast<qvSampleType>(3); }
    int size() override { return 11; }
    void const* sample(int, int) override { return nullptr; }
};

struct SeismicStubSection : qvSeismicSection {
    int traces = 0, samples = 0, acquired = 0, released = 0;
    double step = 0.004, tstep = 1.0;
    SeismicStubTrace stub;
    qvSeismicTraceInterface* acquire_trace(int) override { ++acquired; return &stub; }
    void release_trace(qvSeismicTraceInterface*) override { ++released; }
    int trace_count() override { return traces; }
    int sample_count() override { return samples; }
    void reserved_1() override {}
    void reserved_2() override {}
    double sample_step() override { return step; }
    void reserved_3() override {}
    double trace_step() override { return tstep; }
    void reserved_4() override {}
};

template <class T>
struct SeismicNormalizer : qvTraceNormalizerBase, qvSeismicTraceStatistics<T> {
    void reserved() override {}
};

void expect_rect(qvMathRectOf<double> const& r, double x1, double y1, double x2, double y2) {
    EXPECT_EQ(r.x1, x1);
    EXPECT_EQ(r.y1, y1);
    EXPECT_EQ(r.x2, x2);
    EXPECT_EQ(r.y2, y2);
}

template <class T>
std::unique_ptr<SeismicNormalizer<T>> normalised(std::vector<T> const& v) {
    auto n = std::make_unique<SeismicNormalizer<T>>();
    n->calculate_trace_statistics(v.data(), static_cast<int>(v.size()));
    return n;
}

}  // namespace

TEST(qvSeismicSection, Limits_are_empty_without_traces_or_samples) {
    SeismicStubSection s;
    s.samples = 11;
    expect_rect(s.model_limits_vertical(), 1, 1, 0, 0);
    expect_rect(s.model_limits_horizontal(), 1, 1, 0, 0);
    s.traces = 5;
    s.samples = 0;
    expect_rect(s.model_limits(), 1, 1, 0, 0);
    expect_rect(s.model_limits_horizontal(), 1, 1, 0, 0);
}

TEST(qvSeismicSection, Limits_span_traces_and_samples_both_ways) {
    SeismicStubSection s;
    s.traces = 5;
    s.samples = 11;
    expect_rect(s.model_limits_vertical(), 0, 0, 4, 10 * 0.004);
    expect_rect(s.model_limits_horizontal(), 0, 0, 10 * 0.004, 4);
    s.tstep = -2.0;
    expect_rect(s.model_limits_vertical(), -8, 0, 0, 10 * 0.004);
}

TEST(qvSeismicSection, A_trace_is_released_once_by_whichever_handle_holds_it) {
    SeismicStubSection s;
    {
        qvSeismicTrace a = s.trace(2);
        qvSeismicTrace b(std::move(a));
        EXPECT_TRUE(a.empty());
        EXPECT_EQ(b.size(), 11);
        qvSeismicTrace c = s.trace(3);
        c = std::move(b);   // c gives its own trace back first
        EXPECT_EQ(s.released, 1);
    }
    EXPECT_EQ(s.acquired, 2);
    EXPECT_EQ(s.released, 2);
    EXPECT_EQ(s.get_trace_type(0), static_cast<qvTraceType>(7));
    EXPECT_EQ(s.released, 3);
}

TEST(qvSeismicSection, An_empty_handle_fails_the_trace_assertion) {
    qvSeismicTrace t;
    auto expect_trace_assertion = [](auto&& op) {
        try {
            op();
            ADD_FAILURE() << "no error";
        } catch (qvAssertionError const& e) {
            EXPECT_EQ(std::string(static_cast<char const*>(e)), "trace");
        }
    };
    expect_trace_assertion([&] { t.trace_type(); });
    expect_trace_assertion([&] { t.sample_type(); });
    expect_trace_assertion([&] { t.size(); });
    expect_trace_assertion([&] { t.sample(0, 1); });
    expect_trace_assertion([&] { t.trace_interface(); });
}

TEST(qvSeismicSection, Objects_deleted_through_their_bases_are_freed) {
    std::unique_ptr<qvSeismicSection> s = std::make_unique<SeismicStubSection>();
    std::unique_ptr<qvSeismicTraceStatisticsBase> st =
        std::make_unique<qvSeismicTraceStatistics<short>>();
    std::unique_ptr<qvTraceNormalizerBase> n = std::make_unique<SeismicNormalizer<float>>();
    EXPECT_EQ(st->count, 0);
    EXPECT_EQ(st->rms, 0.0);
    EXPECT_EQ(n->norm_mode(), qvSeismicNormMode::none);
    EXPECT_EQ(n->norm_factor(), 1.0);
    EXPECT_EQ(n->norm_offset(), 0.0);
}

TEST(qvSeismicStatistics, Values_and_min_max_factor_of_a_straddling_trace) {
    auto n = normalised<int>({-3, 1, 2});
    EXPECT_EQ(n->count, 3);
    EXPECT_EQ(n->min_value, -3.0);
    EXPECT_EQ(n->max_value, 2.0);
    EXPECT_EQ(n->mean_abs, 2.0);
    EXPECT_EQ(n->rms, std::sqrt(14.0 / 3.0));
    n->norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(n->norm_factor(), 3.0);
    EXPECT_EQ(n->norm_offset(), 0.0);
}

TEST(qvSeismicStatistics, One_sided_ranges_are_centred) {
    auto p = normalised<double>({2, 4, 10});
    p->norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(p->norm_factor(), 4.0);
    EXPECT_EQ(p->norm_offset(), 6.0);
    p->norm_mode(qvSeismicNormMode::mean_abs);
    EXPECT_EQ(p->norm_factor(), 16.0 / 3.0 - 6.0);
    EXPECT_EQ(p->norm_offset(), 6.0);
    p->norm_mode(qvSeismicNormMode::rms);
    EXPECT_EQ(p->norm_factor(), std::sqrt(120.0 / 3.0) - 6.0);

    auto m = normalised<short>({-10, -2});
    m->norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(m->norm_factor(), 4.0);
    EXPECT_EQ(m->norm_offset(), -6.0);

    auto z = normalised<float>({0, 5});   // min 0 counts as straddling
    z->norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(z->norm_factor(), 5.0);
    EXPECT_EQ(z->norm_offset(), 0.0);
}

TEST(qvSeismicStatistics, Zero_and_empty_traces) {
    auto z = normalised<signed char>({0, 0, 0});
    EXPECT_EQ(z->min_value, 0.0);
    EXPECT_EQ(z->max_value, 0.0);
    EXPECT_EQ(z->mean_abs, 0.0);
    EXPECT_EQ(z->rms, 0.0);
    z->norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(z->norm_factor(), 0.0);
    EXPECT_EQ(z->norm_offset(), 0.0);

    SeismicNormalizer<int> e;
    e.calculate_trace_statistics(nullptr, 5);   // null samples: empty
    EXPECT_EQ(e.count, 0);
    e.calculate_trace_statistics(z.get(), -4);
    EXPECT_EQ(e.count, 0);
    EXPECT_EQ(e.mean_abs, 0.0);
    e.norm_mode(qvSeismicNormMode::min_max);
    EXPECT_EQ(e.norm_factor(), 1.7976931348623157e308);
    EXPECT_EQ(e.norm_offset(), 0.0);
}

TEST(qvSeismicStatistics, The_five_sample_types_agree_and_NaN_is_harmless) {
    const std::vector<double> values{-7, 3, 0, 12, -1, 5};
    auto d = normalised<double>(values);
    auto check = [&](qvSeismicTraceStatisticsBase const& s) {
        EXPECT_EQ(s.min_value, d->min_value);
        EXPECT_EQ(s.max_value, d->max_value);
        EXPECT_EQ(s.mean_abs, d->mean_abs);
        EXPECT_EQ(s.rms, d->rms);
    };
    check(*normalised<signed char>({-7, 3, 0, 12, -1, 5}));
    check(*normalised<short>({-7, 3, 0, 12, -1, 5}));
    check(*normalised<int>({-7, 3, 0, 12, -1, 5}));
    check(*normalised<float>({-7, 3, 0, 12, -1, 5}));

    auto nan = normalised<double>({1, std::numeric_limits<double>::quiet_NaN(), 3});
    EXPECT_EQ(nan->min_value, 1.0);
    EXPECT_EQ(nan->max_value, 3.0);
    EXPECT_TRUE(std::isnan(nan->rms));
}
