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

struct SceneBoundInTest;

}  // namespace

template <>
struct qvInterfaceName<SceneBoundInTest> {
    static constexpr char const* value = "qvScene";
};

namespace {

// Collects the failures of a child; the child reports them on standard
// error and exits with 1, or exits with 0 when there were none.
class ChildChecks {
public:
    void expect(bool ok, std::string const& what) {
        if (!ok)
            failures_.push_back(what);
    }
    [[noreturn]] void finish() {
        for (std::string const& failure : failures_)
            std::cerr << "child check failed: " << failure << "\n";
        std::exit(failures_.empty() ? 0 : 1);
    }

private:
    std::vector<std::string> failures_;
};

// The start-up names still registered. Asking creates no map when none is
// left; otherwise every use taken to look is given back.
std::vector<std::string> still_registered() {
    std::vector<std::string> found;
    if (qvUniquePtr() == nullptr)
        return found;
    auto ask = [&found](char const* name) {
        if (qvLookupRegistry(name) != nullptr) {
            found.push_back(name);
            qvRemoveRegistry(name);
        }
    };
    for (char const* name : startup_test::interface_names)
        ask(name);
    for (char const* name : startup_test::class_registry_names)
        ask(name);
    return found;
}

// The proxy classes' destructors run after the release of the
// "ProxyClass Registry" and re-create it, empty, to remove their ids: that
// late entry is the one registration allowed to outlive the unload.
void expect_nothing_but_a_late_proxy_registry(ChildChecks& checks) {
    const std::vector<std::string> left = still_registered();
    using ProxyClasses = qvClassRegistry<"ProxyClass Registry">;
    if (left.empty()) {
        checks.expect(qvUniquePtr() == nullptr, "the registry map outlives the unload");
        return;
    }
    checks.expect(left == std::vector<std::string>{ProxyClasses::get_name()},
                  "still registered after unload: " + left.front() + " ...");
    ProxyClasses* const late = ProxyClasses::holder().object;
    checks.expect(late != nullptr, "a late proxy-class registry outside the module's holder");
    for (long id = 1; late != nullptr && id <= 16; ++id)
        checks.expect(late->registry().lookup(id) == nullptr, "the late registry is not empty");
}

[[noreturn]] void unload_releases_every_registration() {
    ChildChecks checks;
    checks.expect(qvUniquePtr() != nullptr, "nothing registered at load");
    qvUnloadLibrary();
    expect_nothing_but_a_late_proxy_registry(checks);
    checks.expect(qvClassRegistry<"TextExtentClass Registry">::holder().object == nullptr,
                  "the text-extent registry holder was not emptied");
    checks.expect(qvClassRegistry<"FlavorClass Registry">::holder().object == nullptr,
                  "the flavour registry holder was not emptied");
    void* const map_after_first = qvUniquePtr();
    qvUnloadLibrary();
    checks.expect(qvUniquePtr() == map_after_first, "a second unload changed the registry");
    expect_nothing_but_a_late_proxy_registry(checks);
    checks.finish();
}

[[noreturn]] void second_holder_keeps_its_record_through_the_unload() {
    ChildChecks checks;
    qvUniqueObject<qvInterfaceInfoNested<SceneBoundInTest>>& second =
        qvInterfaceInfoInstantiation<SceneBoundInTest>::get_interface_info();
    void* const record = second.get();
    qvUnloadLibrary();
    checks.expect(second.object == record, "the second holder lost its record");
    checks.expect(qvUniquePtr() != nullptr, "the map went while a record was held");
    checks.expect(qvLookupRegistry("qvScene") == record, "the record left the registry");
    checks.expect(!qvRemoveRegistry("qvScene"), "the look-up's use was the last");
    checks.expect(qvLookupRegistry("qvSceneInterface") == nullptr, "another record survived");
    second.release();
    checks.expect(second.object == nullptr, "the second holder's release was not the last");
    checks.expect(qvUniquePtr() == nullptr, "the map outlives its last use");
    checks.finish();
}

class qvStartupUnloadDeathTest : public ::testing::Test {
protected:
    // Re-executes the test program for the child, so that it starts fresh.
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

}  // namespace

TEST_F(qvStartupUnloadDeathTest, Unload_releases_every_registration_once) {
    EXPECT_EXIT(unload_releases_every_registration(), ::testing::ExitedWithCode(0), "");
}

TEST_F(qvStartupUnloadDeathTest, Record_held_by_a_second_holder_outlives_the_unload) {
    EXPECT_EXIT(second_holder_keeps_its_record_through_the_unload(), ::testing::ExitedWithCode(0),
                "");
}
