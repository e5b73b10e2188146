// qvCookieAccess and qvSharedCookie: one bake per (attribute, kind) until
// the cache drops it, the accessor and the cache holding one object, a
// cookie that outlives its entry while an accessor holds it, and cookies of
// the wrong type under a key (whoever stored them) replaced, never cast.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardCook.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"

#include <gtest/gtest.h>

#include <vector>

using attribute_object_test::assertion_text;

namespace {

const qvRgbColor red(1.0f, 0.0f, 0.0f), green(0.0f, 1.0f, 0.0f);

// Counts its deaths; says nothing of its kind.
struct ForeignCookie : qvCookie {
    static inline int alive = 0;
    ForeignCookie() { ++alive; }
    ~ForeignCookie() override { --alive; }
};

// Bakes with the standard cook and counts its bakes.
struct CountingCook : qvCook {
    orvane::auto_ptr<qvCookie> bake(qvPalette& palette, qvCookieHandle key) override {
        ++bakes;
        return standard.bake(palette, key);
    }
    qvStandardCook standard;
    int bakes = 0;
};

// A second family of cookies, kinds 5 and up, as a subsystem above would
// add one: its cook records the attribute it baked for.
struct TestFamilyCookie : qvCookie {
    static constexpr int kind = 5;
    static qvCook& cook();
    int cookie_kind() const noexcept override { return kind; }
    long baked_for = 0;
};

struct TestFamilyCook : qvCook {
    orvane::auto_ptr<qvCookie> bake(qvPalette&, qvCookieHandle key) override {
        if (key.kind != TestFamilyCookie::kind) return {};
        ++bakes;
        auto* cookie = new TestFamilyCookie;
        cookie->baked_for = key.handle;
        return orvane::auto_ptr<qvCookie>(cookie);
    }
    int bakes = 0;
};

TestFamilyCook test_family_cook;
qvCook& TestFamilyCookie::cook() { return test_family_cook; }

class qvCookieAccessTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(ForeignCookie::alive, 0); }
};

}  // namespace

TEST(qvCookie, Standard_cookies_report_their_kind_and_a_silent_cookie_reports_unknown) {
    EXPECT_EQ(qvCookie().cookie_kind(), qvCookie::unknown_kind);
    EXPECT_EQ(ForeignCookie().cookie_kind(), qvCookie::unknown_kind);
    qvStandardPenCookie pen;
    qvStandardBrushCookie brush;
    qvStandardMarkerCookie marker;
    qvStandardFontCookie font;
    qvCookie const* const cookies[] = {&pen, &brush, &marker, &font};
    for (int kind = 0; kind < 4; ++kind) EXPECT_EQ(cookies[kind]->cookie_kind(), kind);
}

// A new user's first try used to be a misaligned access and a crash: the
// accessor took whatever sat under kind 0 for its private wrapper.
TEST_F(qvCookieAccessTest, Cookies_stored_through_the_palette_under_a_standard_kind_never_crash_an_accessor) {
    qvStandardPalette sp;
    qvAttributeProxy p(sp, 0);
    p.line_style(qvLineStyle(2));
    const long h2 = sp.alloc(false);
    auto* stored = new qvStandardPenCookie();
    sp.cookie({h2, 0}, orvane::auto_ptr<qvCookie>(stored));
    qvCookieAccess<qvStandardPenCookie> b(sp, h2);
    EXPECT_EQ(b.cookie.get(), stored);   // a pen cookie under kind 0 is one
    EXPECT_EQ(sp.cookie({h2, 0}), b.cookie.get());
    EXPECT_EQ(b.cookie->line_style, 1);  // what h2, which has no pen, bakes
    EXPECT_TRUE(b.cookie->empty);

    // Cookies of other types under kind 0: a fresh bake takes the entry.
    const long h3 = p.attribute_handle();
    sp.cookie({h3, 0}, orvane::auto_ptr<qvCookie>(new ForeignCookie));
    qvCookieAccess<qvStandardPenCookie> c(sp, h3);
    EXPECT_EQ(ForeignCookie::alive, 0);
    EXPECT_EQ(c.cookie->line_style, 1);   // style 2 without colours falls back to 1
    EXPECT_EQ(sp.cookie({h3, 0}), c.cookie.get());
    sp.replace_cookie({h3, 0}, qvSafePtr<qvCookie>(new qvStandardBrushCookie));
    qvCookieAccess<qvStandardPenCookie> d(sp, h3);
    EXPECT_NE(d.cookie.get(), c.cookie.get());
    EXPECT_EQ(sp.cookie({h3, 0})->cookie_kind(), qvStandardPenCookie::kind);
}

TEST_F(qvCookieAccessTest, A_second_family_uses_the_same_cache_the_same_way) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    const int bakes_before = test_family_cook.bakes;
    palette.cookie({h, 5}, orvane::auto_ptr<qvCookie>(new ForeignCookie));
    qvCookieAccess<TestFamilyCookie> first(palette, h);
    EXPECT_EQ(ForeignCookie::alive, 0);
    EXPECT_EQ(first.cookie->baked_for, h);
    EXPECT_EQ(palette.cookie({h, 5}), first.cookie.get());
    qvCookieAccess<TestFamilyCookie> second(palette, h);
    EXPECT_EQ(second.cookie.get(), first.cookie.get());
    EXPECT_EQ(test_family_cook.bakes, bakes_before + 1);

    // A standard pen cookie is as foreign to the family as the other way round.
    palette.replace_cookie({h, 5}, qvSafePtr<qvCookie>(new qvStandardPenCookie));
    EXPECT_EQ(qvCookieAccess<TestFamilyCookie>(palette, h).cookie->baked_for, h);
    palette.cookie({h, 0}, orvane::auto_ptr<qvCookie>(new TestFamilyCookie));
    EXPECT_EQ(qvCookieAccess<qvStandardPenCookie>(palette, h).cookie->cookie_kind(), 0);
    EXPECT_EQ(test_family_cook.bakes, bakes_before + 2);
}

TEST(qvCookieAccess, Bakes_once_and_holds_the_cached_object_until_the_attribute_changes) {
    qvStandardPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.line_style(qvLineStyle{2});
    proxy.line_color(red);
    const long h = proxy.attribute_handle();
    CountingCook cook;
    const qvCookieHandle key(h, qvStandardPenCookie::kind);
    const qvSafePtr<qvCookie> first = qvSharedCookie(palette, key, cook);
    EXPECT_EQ(qvSharedCookie(palette, key, cook), first);
    EXPECT_EQ(cook.bakes, 1);
    EXPECT_EQ(first->time_stamp, palette.time_stamp());
    qvCookieAccess<qvStandardPenCookie> held(palette, h);
    EXPECT_EQ(held.cookie.get(), first.get());
    EXPECT_EQ(palette.cookie(key), held.cookie.get());

    proxy.line_color(green);   // drops the cached cookie; the holders keep it
    EXPECT_EQ(palette.cookie(key), nullptr);
    EXPECT_EQ(held.cookie->color, red);
    qvCookieAccess<qvStandardPenCookie> next(palette, h);
    EXPECT_NE(next.cookie.get(), held.cookie.get());
    EXPECT_EQ(next.cookie->color, green);
    EXPECT_EQ(palette.cookie(key), next.cookie.get());
}

TEST(qvCookieAccess, Accessor_keeps_its_cookie_through_eviction_and_release) {
    qvStandardPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.font_name("Held");
    const qvCookieHandle key(proxy.attribute_handle(), qvStandardFontCookie::kind);
    qvCookieAccess<qvStandardFontCookie> held(palette, proxy.attribute_handle());
    std::vector<qvAttributeProxy> others;   // alive, so their keys stay distinct
    for (int i = 0; i < qvStandardPalette::cookie_capacity; ++i) {
        others.emplace_back(palette, 0);
        others.back().font_size(static_cast<float>(i));
        qvCookieAccess<qvStandardFontCookie> evicting(palette, others.back().attribute_handle());
    }
    EXPECT_EQ(palette.cookie(key), nullptr);   // the 65th key evicted the first
    EXPECT_STREQ(held.cookie->font_name, "Held");
    proxy.disconnect_attribute();              // the attribute is gone too
    EXPECT_STREQ(held.cookie->font_name, "Held");
}

TEST(qvCookieAccess, Goes_through_a_matching_palette_to_its_base_cache) {
    qvMatchingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.fill_style(qvFillStyle{2});
    qvCookieAccess<qvStandardBrushCookie> brush(palette, proxy.attribute_handle());
    EXPECT_EQ(palette.cookie({proxy.attribute_handle(), 1}), brush.cookie.get());
}

TEST_F(qvCookieAccessTest, A_cook_that_gives_no_cookie_of_the_kind_fails_and_caches_nothing) {
    struct WrongCook : qvCook {
        orvane::auto_ptr<qvCookie> bake(qvPalette&, qvCookieHandle key) override {
            switch (key.kind) {
                case 0: return {};
                case 1: return orvane::auto_ptr<qvCookie>(new ForeignCookie);
                default: {
                    orvane::auto_ptr<qvCookie> kept(&unowned);
                    kept.release();
                    return kept;
                }
            }
        }
        qvStandardMarkerCookie unowned;   // kind 2, but not the caller's to own
    } cook;
    qvStandardPalette palette;
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_EQ(assertion_text([&] { qvSharedCookie(palette, qvCookieHandle(1, kind), cook); }),
                  "this->cookie.get()")
            << kind;
        EXPECT_EQ(palette.cookie(qvCookieHandle(1, kind)), nullptr);
    }
}
