// qvTextOutline: the installed provider and its lifetime.

#include <orvane/geometry/qvTextOutline.hpp>

#include <gtest/gtest.h>

namespace {

class FixedOutline : public qvTextOutline {
public:
    void install() { instance(this); }
    static void uninstall() { instance(nullptr); }

    int point_count(std::string_view text) const override { return int(text.size()); }
    int get_points(std::string_view text, qvCrdOf<double>* points,
                   qvPointTag* tags) const override {
        for (std::size_t i = 0; i < text.size(); ++i) {
            points[i] = {double(i), 0};
            tags[i] = qvPointOnCurve;
        }
        return int(text.size());
    }
};

TEST(qvTextOutline, Instance_is_null_until_a_provider_is_installed) {
    EXPECT_EQ(qvTextOutline::instance(), nullptr);
    FixedOutline provider;
    provider.install();
    EXPECT_EQ(qvTextOutline::instance(), &provider);
    FixedOutline::uninstall();
    EXPECT_EQ(qvTextOutline::instance(), nullptr);
}

TEST(qvTextOutline, Destroyed_provider_uninstalls_itself) {
    {
        FixedOutline provider;
        provider.install();
        const FixedOutline copy(provider);  // copies share no installation
        ASSERT_EQ(qvTextOutline::instance(), &provider);
    }
    EXPECT_EQ(qvTextOutline::instance(), nullptr);
}

}  // namespace
