#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvAttributeStreams.hpp"

#include <gtest/gtest.h>

#include <string>

using namespace attribute_test;

TEST(qvGrayColor, Out_of_range_values_fail_the_exact_rules) {
    EXPECT_EQ(assertion_text([] { qvGrayColor(1.5f); }), "0 <= xi && xi <= 1 || xi == -1");
    EXPECT_EQ(assertion_text([] { qvGrayColor(0.5f, -1.0f); }),
              "0 <= xi && xi <= 1 && 0 <= xa && xa <= 1 || xi == -1 && xa == -1");
    EXPECT_NO_THROW(qvGrayColor(-1.0f));
    EXPECT_NO_THROW(qvGrayColor(-1.0f, -1.0f));
}

TEST(qvGrayColor, Grey_of_an_rgb_colour_weighs_in_double) {
    EXPECT_EQ(qvGrayColor(qvRgbColor(0, 1, 0)).intensity(), 0.59f);
    EXPECT_EQ(qvGrayColor(qvRgbColor(1, 0, 0)).intensity(), 0.3f);
    EXPECT_EQ(qvGrayColor(qvRgbColor(0.0f, 0.0f, 1.0f, 0.25f)),
              qvGrayColor::unchecked(static_cast<float>(0.11), 0.25f));
}

TEST(qvGrayColor, Empty_only_when_both_components_are_negative) {
    EXPECT_FALSE(qvGrayColor(-1.0f).is_empty());  // alpha is 1
    EXPECT_TRUE(qvGrayColor(-1.0f, -1.0f).is_empty());
    qvGrayColor g(0.5f);
    g.make_empty();
    EXPECT_EQ(g, qvGrayColor(-1.0f, -1.0f));
    EXPECT_EQ(static_cast<float>(qvGrayColor(0.75f)), 0.75f);
}

TEST(qvGrayColorStream, Sizes_and_round_trips_per_version) {
    const qvGrayColor g(0.5f, 0.25f);
    const std::string old_body = written(v000, [&](qvOutputStream& os) { os << g; });
    const std::string new_body = written(v341, [&](qvOutputStream& os) { os << g; });
    EXPECT_EQ(old_body.size(), 4u);
    EXPECT_EQ(new_body.size(), 8u);

    qvGrayColor back;
    Input old_in(v000, old_body);
    old_in.stream() >> back;
    EXPECT_EQ(back, qvGrayColor(0.5f));
    Input new_in(v341, new_body);
    new_in.stream() >> back;
    EXPECT_EQ(back, g);
}

TEST(qvGrayColorStream, Short_input_keeps_the_old_grey) {
    const qvGrayColor old(0.5f, 0.5f);
    qvGrayColor value = old;
    Input old_in(v000, std::string(3, '\0'));
    try {
        old_in.stream() >> value;
        ADD_FAILURE();
    } catch (qvErrorFrom<qvInputStream> const& error) {
        EXPECT_STREQ(error, "Invalid input stream");
    }
    Input new_in(v341, std::string(7, '\0'));
    try {
        new_in.stream() >> value;
        ADD_FAILURE();
    } catch (qvErrorFrom<qvInputStream> const& error) {
        EXPECT_STREQ(error, "Incomplete data on input");
    }
    EXPECT_EQ(value, old);
}

TEST(qvGrayColorStream, Version_0_read_checks_the_range_and_negative_versions_fail) {
    qvGrayColor value;
    Input in(v000, std::string("\x00\x00\x00\x40", 4));  // 2.0f
    EXPECT_THROW(in.stream() >> value, qvAssertionError);
    Input negative(qvVersion(0xFF, 0, 0), std::string(8, '\0'));
    EXPECT_THROW(negative.stream() >> value, qvErrorFrom<qvVersion>);
}
