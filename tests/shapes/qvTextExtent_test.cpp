// Text extents and their providers: the four measures and their conversions,
// the registry of numbered providers (first one keeps a number, a dying
// provider leaves nothing behind), the default provider and the first use
// that makes it current, and what reaches a host's provider.
//
// The process-wide settings change here: cases that need a process where no
// text was measured yet run in a fresh child; the others restore the
// default provider when they end.

#include <orvane/attributes/qvFontEnums.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvTextExtent.hpp>
#include <orvane/shapes/qvTextExtentClass.hpp>

#include "startup/qvLibraryStatics.hpp"

#include "qvAttributeStreams.hpp"
#include "qvTextTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

using text_test::DefaultMetricScope;
using text_test::HostProvider;
using Calls = std::vector<std::string>;

qvTextExtent measure(char const* text, float size) {
    return qvTextExtent(text, QV_FF_DONT_CARE, nullptr, size, QV_FS_UPRIGHT, QV_FW_NORMAL, QV_FT_DEFAULT);
}

qvTextExtentClass* registered(long number) { return qvTextExtentClass::find(number); }

// A child's checks: each failure goes to standard error and makes the exit
// code 1.
int failures = 0;
void check(bool ok, char const* what) {
    if (!ok) {
        std::cerr << "child check failed: " << what << "\n";
        ++failures;
    }
}
[[noreturn]] void finish() { std::exit(failures == 0 ? 0 : 1); }

// Re-executes the test program for the child, so that it starts fresh.
class qvTextExtentFirstUse : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Values

TEST(qvTextExtent, Four_measures_come_width_ascent_descent_extra_and_convert_to_three) {
    const qvTextExtent e(1, 2, 3, 4);
    EXPECT_EQ(e.width, 1.0);
    EXPECT_EQ(e.descent, 3.0);
    EXPECT_EQ(e.ascent, 2.0);
    EXPECT_EQ(e.extra, 4.0);
    EXPECT_EQ(qvExtent(e), (qvExtent{1, 3, 2}));

    const qvTextExtent from(qvExtent{5, 6, 7});
    EXPECT_EQ(from, qvTextExtent(5, 7, 6, 0));
    EXPECT_EQ(qvTextExtent(), qvTextExtent(0, 0, 0, 0));
}

// ---------------------------------------------------------------------------
// First use, each in a fresh process

namespace {

[[noreturn]] void default_provider_takes_over_at_the_first_measurement() {
    check(qvTextExtent::current_metric() == QV_TM_ILLEGAL, "a metric was current before any use");
    check(registered(-4) == nullptr, "the default provider exists before any use");
    const qvTextExtent abc = measure("abc", 10);
    check(abc == qvTextExtent(30, 10, 0, 0), "abc at size 10 is not (30, 0, 10, 0)");
    check(qvTextExtent::current_metric() == -4, "-4 is not current after the first measurement");
    check(qvTextExtent::font_size_mode() == QV_FSM_NONE, "the default provider accepted a size mode");
    check(registered(-4) == qvTextExtentClass::get_default_extent(), "-4 is not the default provider");
    check(measure("", 10) == qvTextExtent(0, 10, 0, 0), "the empty text is not (0, 0, 10, 0)");
    qvTextExtent::current_metric(5);
    check(qvTextExtent::current_metric() == -4, "an unregistered number became current");
    finish();
}

[[noreturn]] void building_the_default_provider_selects_it_whatever_was_current() {
    static HostProvider host(3, qvTextExtent(7, 1, 1, 0), 7);
    qvTextExtent::current_metric(3);
    check(qvTextExtent::current_metric() == 3, "the host provider did not become current");
    check(measure("ab", 10) == qvTextExtent(7, 1, 1, 0), "the host provider did not measure");
    qvTextExtentClass::get_default_extent();
    check(qvTextExtent::current_metric() == -4, "-4 is not current after the default provider was built");
    check(qvTextExtent::font_size_mode() == QV_FSM_NONE, "the size mode was not asked of the default provider");
    check(host.calls == Calls{"text ab family 0 name (null) size 10 slant 0 weight 4 technology 0"},
          "the host provider was asked for more than its one measurement");
    finish();
}

[[noreturn]] void a_host_provider_under_minus_4_keeps_its_number() {
    static HostProvider host(-4, qvTextExtent(1, 1, 1, 1), 3);
    qvTextExtentClass* const made = qvTextExtentClass::get_default_extent();
    check(made != &host, "the host provider was taken for the default one");
    check(registered(-4) == &host, "the default provider replaced the host's registration");
    check(qvTextExtent::current_metric() == -4, "-4 is not current");
    check(qvTextExtent::font_size_mode() == QV_FSM_ALL - QV_FSM_EXTRA, "the host was not asked for mode 7");
    check(measure("abc", 10) == qvTextExtent(1, 1, 1, 1), "the host provider did not measure");
    finish();
}

[[noreturn]] void a_provider_outliving_the_unload_brings_no_registry_back() {
    auto host = std::make_unique<HostProvider>(6);
    measure("a", 1);   // the default provider too
    qvUnloadLibrary();
    check(qvTextExtentClass::registry().object == nullptr, "the unload kept the registry");
    host.reset();
    check(qvTextExtentClass::registry().object == nullptr, "a dying provider made the registry again");
    check(qvLookupRegistry("TextExtentClass Registry") == nullptr, "the registry is registered again");
    finish();
}

}  // namespace

TEST_F(qvTextExtentFirstUse, The_first_measurement_makes_the_default_provider_current) {
    EXPECT_EXIT(default_provider_takes_over_at_the_first_measurement(), ::testing::ExitedWithCode(0), "");
}

TEST_F(qvTextExtentFirstUse, Building_the_default_provider_makes_minus_4_current_over_a_host_provider) {
    EXPECT_EXIT(building_the_default_provider_selects_it_whatever_was_current(), ::testing::ExitedWithCode(0), "");
}

TEST_F(qvTextExtentFirstUse, A_host_provider_registered_under_minus_4_first_keeps_that_number) {
    EXPECT_EXIT(a_host_provider_under_minus_4_keeps_its_number(), ::testing::ExitedWithCode(0), "");
}

TEST_F(qvTextExtentFirstUse, A_provider_destroyed_after_the_unload_leaves_the_registry_gone) {
    EXPECT_EXIT(a_provider_outliving_the_unload_brings_no_registry_back(), ::testing::ExitedWithCode(0), "");
}

// ---------------------------------------------------------------------------
// The registry of providers

TEST(qvTextExtentClass, The_first_provider_of_a_number_keeps_it_until_another_registers_itself) {
    HostProvider first(11);
    {
        HostProvider second(11);
        EXPECT_EQ(registered(11), &first);
        second.registerMetric();
        EXPECT_EQ(registered(11), &second);
        first.registerMetric();
        EXPECT_EQ(registered(11), &first);
        EXPECT_TRUE(first == second);
        EXPECT_EQ(second.handle(), 11);
    }
    // The second, no longer registered, took nothing with it.
    EXPECT_EQ(registered(11), &first);
}

TEST(qvTextExtentClass, Copies_take_the_number_but_no_registration_and_leave_none_dangling) {
    auto original = std::make_unique<HostProvider>(12);
    {
        const HostProvider copy(*original);
        EXPECT_EQ(copy.handle(), 12);
        EXPECT_EQ(registered(12), original.get());
    }
    EXPECT_EQ(registered(12), original.get());

    // A provider given another number no longer answers to its old one.
    HostProvider other(13);
    *original = other;
    EXPECT_EQ(original->handle(), 13);
    EXPECT_EQ(registered(12), nullptr);
    EXPECT_EQ(registered(13), &other);
    original.reset();
    EXPECT_EQ(registered(13), &other);
}

TEST(qvTextExtentClass, A_provider_destroyed_while_registered_and_current_leaves_the_default_to_measure) {
    const DefaultMetricScope restore;
    auto host = std::make_unique<HostProvider>(14, qvTextExtent(99, 9, 9, 9), 3);
    qvTextExtent::current_metric(14);
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    EXPECT_EQ(qvTextExtent::font_size_mode(), 3);
    EXPECT_EQ(measure("ab", 4), qvTextExtent(99, 9, 9, 9));
    host.reset();
    EXPECT_EQ(registered(14), nullptr);
    // Still the current number, now measured by the default provider.
    EXPECT_EQ(qvTextExtent::current_metric(), 14);
    EXPECT_EQ(measure("ab", 4), qvTextExtent(8, 4, 0, 0));
    EXPECT_EQ(qvTextExtent::font_size_mode(), 3);
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    EXPECT_EQ(qvTextExtent::font_size_mode(), QV_FSM_NONE);
}

// ---------------------------------------------------------------------------
// Measuring

TEST(qvTextExtent, The_current_provider_gets_every_call_with_its_arguments_unchanged) {
    const DefaultMetricScope restore;
    HostProvider host(15, qvTextExtent(40, 12, 2, 2), 3);
    qvTextExtent::current_metric(15);
    const qvTextExtent e("hello", QV_FF_SWISS, "Arial", 12.5f, QV_FS_ITALIC, QV_FW_BOLD, QV_FT_DEFAULT);
    EXPECT_EQ(e, qvTextExtent(40, 12, 2, 2));
    measure("hello", 12.5f);   // nothing is cached between calls
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    EXPECT_EQ(host.calls, (Calls{"text hello family 2 name Arial size 12.5 slant 1 weight 7 technology 0",
                                 "text hello family 0 name (null) size 12.5 slant 0 weight 4 technology 0",
                                 "mode 7"}));
    EXPECT_EQ(qvTextExtent::font_size_mode(), 3);
}

TEST(qvTextExtent, A_provider_without_an_interface_measures_nothing_and_keeps_the_size_mode) {
    const DefaultMetricScope restore;
    HostProvider silent(16, qvTextExtent(5, 5, 5, 5), 7, false);
    qvTextExtent::current_metric(16);
    EXPECT_EQ(measure("abc", 10), qvTextExtent());
    qvTextExtent::font_size_mode(QV_FSM_ASCENT);
    EXPECT_EQ(qvTextExtent::font_size_mode(), QV_FSM_NONE);
    EXPECT_TRUE(silent.calls.empty());
}

TEST(qvTextExtent, A_null_text_fails_the_assertion_before_any_provider_is_asked) {
    const DefaultMetricScope restore;
    HostProvider host(17);
    qvTextExtent::current_metric(17);
    EXPECT_EQ(attribute_test::assertion_text([] { measure(nullptr, 10); }), "text");
    EXPECT_TRUE(host.calls.empty());

    qvTextExtentInterface* const direct = qvTextExtentClass::get_default_extent()->extent_interface();
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(attribute_test::assertion_text([&] {
                  direct->text_extent(nullptr, QV_FF_DONT_CARE, nullptr, 10.0f, QV_FS_UPRIGHT, QV_FW_NORMAL,
                                      QV_FT_DEFAULT);
              }),
              "text");
}
