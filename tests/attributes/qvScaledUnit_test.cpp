#include <orvane/attributes/qvLengthUnit.hpp>
#include <orvane/attributes/qvTimeUnit.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <gtest/gtest.h>

#include <cmath>

TEST(qvTimeUnit, Converts_between_units_of_time) {
    EXPECT_EQ(qvTimeUnit::getMinute()->convertTo(90, qvTimeUnit::getHour()), 1.5);
    EXPECT_EQ(qvTimeUnit::getHour()->convertFrom(90, qvTimeUnit::getMinute()), 1.5);
    EXPECT_EQ(qvTimeUnit::getDay()->convertTo(1, qvTimeUnit::getSecond()), 86400);
}

TEST(qvLengthUnit, A_foot_is_twelve_inches) {
    EXPECT_NEAR(qvLengthUnit::getInch()->convertFrom(1, qvLengthUnit::getFoot()), 12, 1e-12);
    EXPECT_NEAR(qvLengthUnit::getCentimeter()->convertTo(1, qvLengthUnit::getMillimeter()), 10,
                1e-12);
}

TEST(qvScaledUnit, Kinds_do_not_mix) {
    const qvUnit* second = qvTimeUnit::getSecond();
    const qvUnit* meter = qvLengthUnit::getMeter();
    EXPECT_FALSE(second->canConvertTo(meter));
    EXPECT_FALSE(meter->canConvertFrom(second));
    EXPECT_FALSE(second->canConvertTo(nullptr));
    try {
        second->convertTo(1, meter);
        ADD_FAILURE();
    } catch (qvErrorFrom<qvTimeUnit> const& error) {
        EXPECT_STREQ(error, "Unit is not supported!");
    }
    EXPECT_THROW(meter->convertFrom(1, second), qvErrorFrom<qvLengthUnit>);
}

TEST(qvScaledUnit, Equal_abbreviations_of_other_kinds_are_not_equal) {
    const qvUnit* minute = qvTimeUnit::getMinute();
    const qvUnit* meter = qvLengthUnit::getMeter();
    EXPECT_EQ(minute->getAbbreviation(), meter->getAbbreviation());
    EXPECT_FALSE(minute->equals(meter));
    EXPECT_FALSE(meter->equals(minute));
    EXPECT_FALSE(minute->canConvertTo(meter));
    EXPECT_FALSE(minute->equals(nullptr));
}

TEST(qvScaledUnit, Equality_needs_name_abbreviation_and_scale) {
    const qvTimeUnit minute("Minute", "m", 60);
    EXPECT_TRUE(minute.equals(qvTimeUnit::getMinute()));
    EXPECT_FALSE(qvTimeUnit("Minute", "min", 60).equals(qvTimeUnit::getMinute()));
    EXPECT_FALSE(qvTimeUnit("Minute", "m", 60.5).equals(qvTimeUnit::getMinute()));
}

TEST(qvScaledUnit, Null_unit_fails_the_assertion_unit) {
    for (auto convert : {&qvUnit::convertTo, &qvUnit::convertFrom}) {
        try {
            (qvTimeUnit::getSecond()->*convert)(1, nullptr);
            ADD_FAILURE();
        } catch (qvAssertionError const& error) {
            EXPECT_STREQ(error, "unit");
        }
    }
    EXPECT_THROW(qvLengthUnit::getMeter()->convertTo(1, nullptr), qvAssertionError);
}

TEST(qvScaledUnit, Getters_return_one_object_each_with_the_table_values) {
    EXPECT_EQ(qvTimeUnit::getSecond(), qvTimeUnit::getSecond());
    EXPECT_EQ(qvLengthUnit::getFoot(), qvLengthUnit::getFoot());
    EXPECT_NE(static_cast<const void*>(qvTimeUnit::getMinute()),
              static_cast<const void*>(qvLengthUnit::getMeter()));
    EXPECT_EQ(qvLengthUnit::getMillimeter()->getName(), "Millimeter");
    EXPECT_EQ(qvLengthUnit::getInch()->getAbbreviation(), "in");
    EXPECT_EQ(qvLengthUnit::getFoot()->getScale(), 0.3048);
    EXPECT_EQ(qvTimeUnit::getDay()->getScale(), 86400);
}

TEST(qvScaledUnit, Answers_only_its_own_kind) {
    qvTimeUnit hour = *qvTimeUnit::getHour();
    EXPECT_EQ(hour.query_interface(qvInterfaceIdentity<qvTimeUnit>()), &hour);
    EXPECT_EQ(hour.query_interface(qvInterfaceIdentity<qvUnit>()), nullptr);
    EXPECT_EQ(hour.query_interface(qvInterfaceIdentity<qvLengthUnit>()), nullptr);
}
