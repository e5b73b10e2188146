#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvCustomBrushIO.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvLinearGradientIO.hpp>
#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "attributes/qvLinearGradientImplementation.hpp"
#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

using namespace attribute_test;

namespace {

const qvRgbColor red(1, 0, 0), blue(0.0, 0.0, 1.0, 0.5);

// Counts its deletions, to pin down who deletes a gradient and how often.
class ProbeGradient : public qvLinearGradientImplementation {
public:
    explicit ProbeGradient(int* deletions)
        : qvLinearGradientImplementation(qvCrdOf<double>(0, 0), qvCrdOf<double>(1, 1)),
          deletions_(deletions) {}
    ~ProbeGradient() override { ++*deletions_; }

private:
    int* deletions_;
};

qvLinearGradient two_colour_linear() {
    qvLinearGradient g(qvCrdOf<double>(1.5, -2), red, qvCrdOf<double>(10, 20), blue);
    g->setting_a(3);
    g->setting_b(-4);
    g->transformation(qvTransformation(1, 2, 3, 4, 5, 6));
    return g;
}

std::string saved(qvVersion const& version, qvCustomBrush const& brush) {
    return written(version, [&](qvOutputStream& os) { brush.save(os); });
}

qvCustomBrush loaded(qvVersion const& version, std::string const& body) {
    Input in(version, body);
    qvCustomBrush brush;
    brush.load(in.stream());
    EXPECT_EQ(in.remaining(), 0u);
    return brush;
}

void expect_same_common_part(qvGradientDataAccess const& a, qvGradientDataAccess const& b) {
    EXPECT_EQ(a.setting_a(), b.setting_a());
    EXPECT_EQ(a.setting_b(), b.setting_b());
    EXPECT_EQ(a.transformation(), b.transformation());
    ASSERT_EQ(a.stop_count(), b.stop_count());
    for (int i = 0; i < a.stop_count(); ++i) {
        EXPECT_EQ(a.stop_position(i), b.stop_position(i));
        EXPECT_EQ(a.stop_color(i), b.stop_color(i));
    }
}

template <class T>
std::string raw(T value) {
    std::string out(sizeof value, '\0');
    std::memcpy(out.data(), &value, sizeof value);
    return out;
}

// A linear body (after version and kind) with the given stop count and stops.
std::string linear_body(std::int32_t count, std::string const& stops) {
    return std::string(32, '\0') + raw<std::int32_t>(0) + raw<std::int32_t>(0) +
           std::string(48, '\0') + raw(count) + stops;
}

std::string stop341(qvRgbColor const& c, double position) {
    return raw(c.red()) + raw(c.green()) + raw(c.blue()) + raw(c.alpha()) + raw(position);
}

}  // namespace

// ---------------------------------------------------------------------------
// Sharing and lifetime

TEST(qvCustomBrush, Default_brush_is_empty) {
    const qvCustomBrush brush;
    EXPECT_EQ(brush.get(), nullptr);
    EXPECT_FALSE(qvLinearGradient(brush));
}

TEST(qvCustomBrush, Copies_share_one_gradient) {
    const qvCustomBrush first = two_colour_linear();
    const qvCustomBrush copy = first;
    qvLinearGradient(copy)->add_stop(0.5, red);
    EXPECT_EQ(qvLinearGradient(first)->stop_count(), 3);
    EXPECT_EQ(first.get(), copy.get());
}

TEST(qvCustomBrush, Handles_of_another_kind_are_empty) {
    const qvCustomBrush brush = two_colour_linear();
    EXPECT_FALSE(qvRadialGradient(brush));
    EXPECT_FALSE(qvConicalGradient(brush));
    const qvLinearGradient linear(brush);
    ASSERT_TRUE(linear);
    EXPECT_TRUE(linear == brush);  // one counter
    EXPECT_TRUE(qvCustomBrush(linear, linear.get()) == brush);
    EXPECT_EQ(static_cast<qvCustomBrush>(qvRadialGradient()).get(), nullptr);
}

TEST(qvCustomBrush, Last_release_deletes_the_gradient_once) {
    int deletions = 0;
    {
        qvCustomBrush brush(static_cast<qvCustomBrushDataAccess*>(new ProbeGradient(&deletions)));
        qvLinearGradient handle(brush);
        qvCustomBrush other = handle;
        brush = qvCustomBrush();
        handle = qvLinearGradient();
        EXPECT_EQ(deletions, 0);
        const qvCustomBrush same = other;
        other = same;  // one counter: counts nothing
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(qvCustomBrush, Loading_repoints_the_brush_and_leaves_the_old_gradient_alone) {
    int deletions = 0;
    qvCustomBrush brush(static_cast<qvCustomBrushDataAccess*>(new ProbeGradient(&deletions)));
    const qvCustomBrush keeper = brush;
    const std::string body = saved(v341, two_colour_linear());
    Input in(v341, body);
    brush.load(in.stream());
    EXPECT_NE(brush.get(), keeper.get());
    EXPECT_EQ(qvLinearGradient(keeper)->stop_count(), 0);
    EXPECT_EQ(deletions, 0);
}

// ---------------------------------------------------------------------------
// Stream form

TEST(qvCustomBrushStream, Linear_two_stop_sizes_per_version) {
    const qvCustomBrush brush = two_colour_linear();
    const std::string body = saved(v341, brush);
    EXPECT_EQ(body.size(), 148u);
    EXPECT_EQ(body.substr(0, 8), stream_test::bytes("00 00 00 00 00 00 00 00"));
    EXPECT_EQ(body.substr(8, 8), raw(1.5));                    // start x
    EXPECT_EQ(body.substr(40, 8), raw<std::int32_t>(3) + raw<std::int32_t>(-4));
    EXPECT_EQ(body.substr(48, 8), raw(1.0));                   // m0
    EXPECT_EQ(body.substr(96, 4), raw<std::int32_t>(2));       // stop count
    EXPECT_EQ(body.substr(100, 24), stop341(red, 0.0));
    EXPECT_EQ(saved(v000, brush).size(), 140u);
}

TEST(qvCustomBrushStream, Each_kind_round_trips) {
    qvRadialGradient radial(qvCrdOf<double>(1, 2), red, 0.75, blue, qvCrdOf<double>(3, 4));
    radial->setting_b(9);
    radial->add_stop(0.5, qvRgbColor(0, 1, 0));
    const qvConicalGradient conical(qvCrdOf<double>(-1, -2), red, 45.0, blue);
    const qvLinearGradient linear = two_colour_linear();

    const qvCustomBrush back_linear = loaded(v341, saved(v341, linear));
    const qvLinearGradient l(back_linear);
    ASSERT_TRUE(l);
    EXPECT_NE(l.get(), linear.get());
    EXPECT_EQ(l->start_point(), linear->start_point());
    EXPECT_EQ(l->end_point(), linear->end_point());
    expect_same_common_part(*l, *linear);

    const qvRadialGradient r(loaded(v341, saved(v341, radial)));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->center(), radial->center());
    EXPECT_EQ(r->focal_point(), radial->focal_point());
    EXPECT_EQ(r->radius(), 0.75);
    expect_same_common_part(*r, *radial);

    const qvConicalGradient c(loaded(v000, saved(v000, conical)));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->center(), conical->center());
    EXPECT_EQ(c->angle(), 45.0);
    EXPECT_EQ(c->end_color(), qvRgbColor(0, 0, 1));  // alpha is not in the old form
}

TEST(qvCustomBrushStream, Empty_brush_writes_kind_minus_one_and_loads_empty) {
    const std::string body = saved(v341, qvCustomBrush());
    EXPECT_EQ(body, stream_test::bytes("00 00 00 00 FF FF FF FF"));
    qvCustomBrush brush = two_colour_linear();
    Input in(v341, body);
    brush.load(in.stream());
    EXPECT_EQ(brush.get(), nullptr);
}

TEST(qvCustomBrushStream, Negative_stop_count_reads_no_stops) {
    const std::string body = raw<std::int32_t>(0) + raw<std::int32_t>(0) + linear_body(-3, "");
    Input in(v341, body + "tail");
    qvCustomBrush brush;
    brush.load(in.stream());
    EXPECT_EQ(qvLinearGradient(brush)->stop_count(), 0);
    EXPECT_EQ(in.remaining(), 4u);
}

TEST(qvCustomBrushStream, Stops_stored_descending_load_ascending) {
    const std::string stops = stop341(red, 0.9) + stop341(blue, 0.5) + stop341(red, 0.1);
    const qvCustomBrush brush =
        loaded(v341, raw<std::int32_t>(0) + raw<std::int32_t>(0) + linear_body(3, stops));
    const qvLinearGradient g(brush);
    EXPECT_EQ(g->stop_position(0), 0.1);
    EXPECT_EQ(g->stop_position(1), 0.5);
    EXPECT_EQ(g->stop_position(2), 0.9);
}

TEST(qvCustomBrushStream, NaN_and_infinite_stops_load_without_a_crash) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const qvRgbColor odd = qvRgbColor::unchecked(std::numeric_limits<float>::quiet_NaN(), inf, -inf, 2);
    const std::string stops = stop341(odd, nan) + stop341(red, inf) + stop341(red, -inf);
    const qvLinearGradient g(
        loaded(v341, raw<std::int32_t>(0) + raw<std::int32_t>(0) + linear_body(3, stops)));
    ASSERT_EQ(g->stop_count(), 3);
    // Nothing is greater than NaN, and NaN is greater than nothing, so the
    // stops after it order among themselves.
    EXPECT_TRUE(std::isnan(g->stop_position(0)));
    EXPECT_EQ(g->stop_position(1), -inf);
    EXPECT_EQ(g->stop_position(2), inf);
    EXPECT_TRUE(std::isnan(g->stop_color(0).red()));
}

TEST(qvCustomBrushStream, Version_and_kind_words_are_checked) {
    Input version1(v341, raw<std::int32_t>(1) + raw<std::int32_t>(0) + std::string(200, '\0'));
    qvCustomBrush brush;
    try {
        brush.load(version1.stream());
        ADD_FAILURE();
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(error, "false");
    }
    EXPECT_EQ(version1.remaining(), 208u - 4u);

    Input kind3(v341, raw<std::int32_t>(0) + raw<std::int32_t>(3) + std::string(200, '\0'));
    try {
        brush.load(kind3.stream());
        ADD_FAILURE();
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(error, "false");
    }
    EXPECT_EQ(kind3.remaining(), 200u);
    EXPECT_EQ(brush.get(), nullptr);
}

TEST(qvCustomBrushStream, A_cut_at_any_byte_keeps_the_previous_gradient) {
    const qvCustomBrush previous = two_colour_linear();
    for (const qvVersion& version : {v000, v341}) {
        for (const qvCustomBrush& source :
             {qvCustomBrush(two_colour_linear()),
              qvCustomBrush(qvRadialGradient(qvCrdOf<double>(0, 0), red, 1.0, blue, qvCrdOf<double>(1, 1))),
              qvCustomBrush(qvConicalGradient(qvCrdOf<double>(0, 0), red, 1.0, blue))}) {
            const std::string full = saved(version, source);
            for (std::size_t n = 0; n < full.size(); ++n) {
                qvCustomBrush brush = previous;
                Input in(version, full.substr(0, n));
                try {
                    brush.load(in.stream());
                    ADD_FAILURE() << "no error at " << n;
                } catch (qvErrorFrom<qvInputStream> const& error) {
                    const std::string message = static_cast<char const*>(error);
                    EXPECT_TRUE(message == "Incomplete data on input" ||
                                message == "Invalid input stream")
                        << message;
                }
                EXPECT_EQ(brush.get(), previous.get()) << n;
            }
        }
    }
}

TEST(qvLinearGradientIO, Empty_handle_fails_the_assertion) {
    EXPECT_THROW(written(v341, [](qvOutputStream& os) { qvLinearGradientIO::save(os, qvLinearGradient()); }),
                 qvAssertionError);
}
