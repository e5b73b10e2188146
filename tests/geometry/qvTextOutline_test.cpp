#include <orvane/geometry/qvTextOutline.hpp>

#include <gtest/gtest.h>

namespace {

class FixedOutline : public qvTextOutline {
public:
    static void install(qvTextOutline* provider) { instance(provider); }
    int point_count(std::string_view text) const override { return int(text.size()); }
    int get_points(std::string_view, qvCrdOf<double>*, qvPointTag*) const override { return 0; }
};

TEST(qvTextOutline, Instance_is_null_until_installed_and_a_destroyed_provider_uninstalls_itself) {
    EXPECT_EQ(qvTextOutline::instance(), nullptr);
    {
        FixedOutline scoped;
        FixedOutline::install(&scoped);
        const FixedOutline copy(scoped);  // copies share no installation
        ASSERT_EQ(qvTextOutline::instance(), &scoped);
    }
    EXPECT_EQ(qvTextOutline::instance(), nullptr);
}

}  // namespace
