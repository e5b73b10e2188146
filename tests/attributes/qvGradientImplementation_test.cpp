#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "attributes/qvLinearGradientImplementation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr char const* index_rule = "( index >= 0 ) && ( index < (int)_stops.size() )";

const qvRgbColor red(1, 0, 0), green(0, 1, 0), blue(0, 0, 1), white(1, 1, 1);

std::vector<double> positions(qvGradientDataAccess const& g) {
    std::vector<double> out;
    for (int i = 0; i < g.stop_count(); ++i)
        out.push_back(g.stop_position(i));
    return out;
}

template <class Call>
void expect_index_assertion(Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no assertion";
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(error, index_rule);
    }
}

qvLinearGradient plain() { return qvLinearGradient(qvCrdOf<double>(0, 0), qvCrdOf<double>(1, 0)); }

}  // namespace

TEST(qvGradientStops, Stay_in_ascending_order) {
    qvLinearGradient g = plain();
    g->add_stop(0.5, red);
    g->add_stop(0.2, green);
    g->add_stop(0.8, blue);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.2, 0.5, 0.8}));
    EXPECT_EQ(g->stop_color(0), green);
}

TEST(qvGradientStops, Equal_positions_keep_their_order_of_arrival_beyond_16_stops) {
    qvLinearGradient g = plain();
    for (int i = 0; i < 40; ++i)
        g->add_stop((i * 7) % 5 * 0.25, qvRgbColor(0.0, 0.0, i / 40.0));
    ASSERT_EQ(g->stop_count(), 40);
    for (int i = 1; i < 40; ++i) {
        ASSERT_LE(g->stop_position(i - 1), g->stop_position(i));
        if (g->stop_position(i - 1) == g->stop_position(i)) {
            EXPECT_LT(g->stop_color(i - 1).blue(), g->stop_color(i).blue()) << i;
        }
    }
}

TEST(qvGradientStops, A_stop_at_an_existing_position_goes_after_it) {
    qvLinearGradient g = plain();
    g->add_stop(0.5, red);
    g->add_stop(0.5, green);
    EXPECT_EQ(g->stop_color(0), red);
    EXPECT_EQ(g->stop_color(1), green);
}

TEST(qvGradientStops, NaN_positions_give_a_defined_order) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    qvLinearGradient g = plain();
    g->add_stop(0.5, red);
    g->add_stop(nan, green);  // nothing is greater than NaN: appended
    g->add_stop(0.2, blue);   // NaN is not greater than 0.2: goes after it
    ASSERT_EQ(g->stop_count(), 3);
    EXPECT_EQ(g->stop_position(0), 0.5);
    EXPECT_TRUE(std::isnan(g->stop_position(1)));
    EXPECT_EQ(g->stop_position(2), 0.2);
}

TEST(qvGradientStops, Remove_keeps_the_order_and_checks_the_index) {
    qvLinearGradient g = plain();
    for (double p : {0.1, 0.2, 0.3})
        g->add_stop(p, red);
    g->remove_stop(1);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.1, 0.3}));
    expect_index_assertion([&] { g->remove_stop(g->stop_count()); });
    expect_index_assertion([&] { g->remove_stop(-1); });
    expect_index_assertion([&] { g->stop_color(2); });
    expect_index_assertion([&] { g->stop_position(-1); });
}

TEST(qvGradientColours, Start_colour_replaces_only_a_first_stop_at_zero) {
    qvLinearGradient g = plain();
    g->add_stop(0.25, red);
    g->start_color(green);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.0, 0.25}));
    g->start_color(blue);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.0, 0.25}));
    EXPECT_EQ(g->start_color(), blue);
}

TEST(qvGradientColours, End_colour_inspects_only_the_last_stop) {
    qvLinearGradient g = plain();
    g->add_stop(0.0, red);
    g->add_stop(1.0, green);
    g->add_stop(1.0, blue);
    g->end_color(white);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.0, 1.0, 1.0}));
    EXPECT_EQ(g->stop_color(1), green);
    EXPECT_EQ(g->end_color(), white);
}

TEST(qvGradientColours, Reading_a_colour_without_stops_fails_the_index_assertion) {
    qvLinearGradient g = plain();
    expect_index_assertion([&] { g->end_color(); });
    expect_index_assertion([&] { g->start_color(); });
    qvRadialGradient r(qvCrdOf<double>(0, 0), 1.0, qvCrdOf<double>(0, 0));
    expect_index_assertion([&] { r->focal_color(); });
}

TEST(qvGradientColours, Colour_constructors_add_stops_at_0_and_1) {
    const qvRadialGradient r(qvCrdOf<double>(1, 2), red, 3.0, blue, qvCrdOf<double>(4, 5));
    EXPECT_EQ(positions(*r), (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(r->focal_color(), red);
    EXPECT_EQ(r->end_color(), blue);

    const qvConicalGradient c(qvCrdOf<double>(1, 2), green, -720.0, white);
    EXPECT_EQ(c->angle(), -720.0);  // stored as given
    EXPECT_EQ(c->start_color(), green);
    EXPECT_EQ(c->setting_a(), 0);
    EXPECT_EQ(c->transformation(), qvTransformation());
}

TEST(qvGradientImplementation, Copies_copy_everything_but_the_count) {
    qvLinearGradientImplementation a(qvCrdOf<double>(0, 0), red, qvCrdOf<double>(2, 3), blue);
    a.setting_a(7);
    a.transformation(qvTransformation(2, 0, 0, 2, 1, 1));
    a.bump();
    qvLinearGradientImplementation b(a);
    EXPECT_EQ(b.bump(), 1);  // the copy starts unshared
    b.dec();
    a.dec();
    b.add_stop(0.5, green);
    EXPECT_EQ(a.stop_count(), 2);
    EXPECT_EQ(b.stop_count(), 3);
    EXPECT_EQ(b.setting_a(), 7);
    EXPECT_EQ(b.end_point(), qvCrdOf<double>(2, 3));
    EXPECT_EQ(b.transformation(), a.transformation());
}

TEST(qvGradientImplementation, Answers_its_three_identities_only) {
    qvLinearGradient g = plain();
    qvDynamicInterface* object = g.get();
    EXPECT_NE(object->query_interface(qvInterfaceIdentity<qvCustomBrushDataAccess>()), nullptr);
    EXPECT_NE(object->query_interface(qvInterfaceIdentity<qvGradientDataAccess>()), nullptr);
    EXPECT_EQ(object->query_interface(qvInterfaceIdentity<qvLinearGradientDataAccess>()), g.get());
    EXPECT_EQ(object->query_interface(qvInterfaceIdentity<qvRadialGradientDataAccess>()), nullptr);
}
