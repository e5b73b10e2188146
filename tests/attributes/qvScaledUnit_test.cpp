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

// Each standard length unit by its definition in metres (the inch is 25.4 mm
// and the foot 12 inches, exactly). One unit to or from the metre only
// multiplies or divides by 1, or divides a scale by itself, none of which
// rounds, so the comparisons are exact.
TEST(qvScaledUnit, One_of_each_length_unit_is_exactly_its_defined_length_in_metres) {
    const qvLengthUnit* meter = qvLengthUnit::getMeter();
    const struct { const qvLengthUnit* unit; double metres; } rows[] = {
        {qvLengthUnit::getMeter(), 1},         {qvLengthUnit::getInch(), 0.0254},
        {qvLengthUnit::getFoot(), 0.3048},     {qvLengthUnit::getMillimeter(), 0.001},
        {qvLengthUnit::getCentimeter(), 0.01}};
    for (auto const& r : rows) {
        SCOPED_TRACE(static_cast<char const*>(r.unit->getName()));
        EXPECT_EQ(r.unit->convertTo(1, meter), r.metres);
        EXPECT_EQ(meter->convertFrom(1, r.unit), r.metres);
        EXPECT_EQ(r.unit->convertFrom(r.metres, meter), 1.0);
        EXPECT_EQ(meter->convertTo(r.metres, r.unit), 1.0);
    }
}

// Lengths other than one unit, also between two units neither of which is
// the metre, so that both scales and the value count. The scales are the
// doubles nearest decimal fractions, so a result carries a few roundings:
// these rows are off by at most one unit in the last place, well inside the
// four EXPECT_DOUBLE_EQ allows, while a wrong scale is off by far more.
TEST(qvScaledUnit, Length_units_convert_known_lengths_both_ways) {
    const qvLengthUnit* m = qvLengthUnit::getMeter();
    const qvLengthUnit* in = qvLengthUnit::getInch();
    const qvLengthUnit* ft = qvLengthUnit::getFoot();
    const qvLengthUnit* mm = qvLengthUnit::getMillimeter();
    const qvLengthUnit* cm = qvLengthUnit::getCentimeter();
    const struct { const qvLengthUnit* from; double amount; const qvLengthUnit* to; double converted; } rows[] = {
        {in, 5, m, 0.127},  {ft, 3, m, 0.9144}, {mm, 250, m, 0.25}, {cm, 40, m, 0.4},
        {m, 2, mm, 2000},   {ft, 1, in, 12},    {in, 10, cm, 25.4}, {cm, 7, mm, 70}};
    for (auto const& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.amount << " " << static_cast<char const*>(r.from->getAbbreviation())
                                          << " in " << static_cast<char const*>(r.to->getAbbreviation()));
        EXPECT_DOUBLE_EQ(r.from->convertTo(r.amount, r.to), r.converted);
        EXPECT_DOUBLE_EQ(r.to->convertFrom(r.amount, r.from), r.converted);
        EXPECT_DOUBLE_EQ(r.to->convertTo(r.converted, r.from), r.amount);
        EXPECT_DOUBLE_EQ(r.from->convertFrom(r.converted, r.to), r.amount);
    }
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

