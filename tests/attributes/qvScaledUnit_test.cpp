#include <orvane/attributes/qvLengthUnit.hpp>
#include <orvane/attributes/qvTimeUnit.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

using qv_file_test::raises;

TEST(qvScaledUnit, Converts_within_a_kind) {
    EXPECT_EQ(qvTimeUnit::getMinute()->convertTo(90, qvTimeUnit::getHour()), 1.5);
    EXPECT_EQ(qvTimeUnit::getHour()->convertFrom(90, qvTimeUnit::getMinute()), 1.5);
}

TEST(qvScaledUnit, Kinds_do_not_mix_and_a_null_unit_fails_unit) {
    const qvUnit* second = qvTimeUnit::getSecond();
    const qvUnit* meter = qvLengthUnit::getMeter();
    EXPECT_TRUE(raises<qvErrorFrom<qvTimeUnit>>([&] { second->convertTo(1, meter); }, "Unit is not supported!"));
    EXPECT_TRUE(
        raises<qvErrorFrom<qvLengthUnit>>([&] { meter->convertFrom(1, second); }, "Unit is not supported!"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { second->convertTo(1, nullptr); }, "unit"));
}

TEST(qvScaledUnit, Equality_needs_kind_name_abbreviation_and_scale) {
    const qvUnit* minute = qvTimeUnit::getMinute();
    const qvUnit* meter = qvLengthUnit::getMeter();
    EXPECT_FALSE(minute->equals(meter));  // both abbreviated "m"
    EXPECT_TRUE(qvTimeUnit("Minute", "m", 60).equals(minute));
    EXPECT_FALSE(qvTimeUnit("Minute", "min", 60).equals(minute));
    EXPECT_FALSE(qvTimeUnit("Minute", "m", 60.5).equals(minute));
}

