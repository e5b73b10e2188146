// The library's unload, each case in a fresh child process that ran no
// other test, so that nothing but the start-up registrations is in the
// registry when it begins. The child exits normally, so leak checking of
// everything left after the unload runs there too.

#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include "startup/qvLibraryStatics.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "qvStartupRegistrations.hpp"

namespace {

// A child's checks: each failure goes to standard error and makes the exit code 1.
int failures = 0;
void check(bool ok, char const* what) {
    if (!ok) {
        std::cerr << "child check failed: " << what << "\n";
        ++failures;
    }
}
[[noreturn]] void finish() { std::exit(failures == 0 ? 0 : 1); }

using ProxyClasses = qvClassRegistry<"ProxyClass Registry">;

// The proxy classes' destructors run after the release of the
// "ProxyClass Registry" and re-create it, empty, to remove their ids: that
// late entry is the one registration allowed to outlive the unload. Asking
// creates no map when none is left, and gives back every use it takes.
void expect_nothing_but_a_late_proxy_registry() {
    std::vector<std::string> left;
    if (qvUniquePtr() != nullptr) {
        auto ask = [&left](char const* name) {
            if (qvLookupRegistry(name) != nullptr) {
                left.push_back(name);
                qvRemoveRegistry(name);
            }
        };
        for (char const* name : startup_test::interface_names) ask(name);
        for (char const* name : startup_test::class_registry_names) ask(name);
    }
    if (left.empty()) return check(qvUniquePtr() == nullptr, "the registry map outlives the unload");
    check(left == std::vector<std::string>{ProxyClasses::get_name()}, "a registration survived the unload");
    ProxyClasses* const late = ProxyClasses::holder().object;
    check(late != nullptr, "a late proxy-class registry outside the module's holder");
    for (long id = 1; late != nullptr && id <= 16; ++id)
        check(late->registry().lookup(id) == nullptr, "the late registry is not empty");
}

[[noreturn]] void unload_releases_every_registration() {
    check(qvUniquePtr() != nullptr, "nothing registered at load");
    qvUnloadLibrary();
    expect_nothing_but_a_late_proxy_registry();
    check(qvClassRegistry<"TextExtentClass Registry">::holder().object == nullptr, "text-extent holder kept");
    check(qvClassRegistry<"FlavorClass Registry">::holder().object == nullptr, "flavour holder kept");
    void* const map_after_first = qvUniquePtr();
    qvUnloadLibrary();
    check(qvUniquePtr() == map_after_first, "a second unload changed the registry");
    expect_nothing_but_a_late_proxy_registry();
    finish();
}

[[noreturn]] void second_holder_keeps_its_record_through_the_unload() {
    auto& second = qvInterfaceInfoInstantiation<SceneBoundInTest>::get_interface_info();
    void* const record = second.get();
    qvUnloadLibrary();
    startup_test::release_late_proxy_registry();
    check(second.object == record, "the second holder lost its record");
    check(qvLookupRegistry("qvScene") == record, "the record left the registry");
    check(!qvRemoveRegistry("qvScene"), "the look-up's use was the last");
    check(qvLookupRegistry("qvSceneInterface") == nullptr, "another record survived");
    second.release();
    check(second.object == nullptr, "the second holder's release was not the last");
    check(qvUniquePtr() == nullptr, "the map outlives its last use");
    finish();
}

// Re-executes the test program for the child, so that it starts fresh.
class qvStartupUnloadDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

}  // namespace

TEST_F(qvStartupUnloadDeathTest, Unload_releases_every_registration_once) {
    EXPECT_EXIT(unload_releases_every_registration(), ::testing::ExitedWithCode(0), "");
}

TEST_F(qvStartupUnloadDeathTest, Record_held_by_a_second_holder_outlives_the_unload) {
    EXPECT_EXIT(second_holder_keeps_its_record_through_the_unload(), ::testing::ExitedWithCode(0), "");
}
