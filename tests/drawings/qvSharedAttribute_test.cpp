// The counted attribute handle of drawings and painters.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvSharedAttribute.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include <gtest/gtest.h>

namespace {

int shared_attribute_count(qvSharedAttribute const& a) {
    qvRefBase* c = a.counter();
    if (c == nullptr) return 0;
    c->bump();
    return c->dec();
}

}  // namespace

TEST(qvSharedAttribute, Copies_share_one_count_and_the_last_release_frees_once) {
    qvStandardPalette palette;
    qvSharedAttribute a(qvCreateAttributeProxy(&palette, 0));
    ASSERT_TRUE(a);
    EXPECT_EQ(shared_attribute_count(a), 1);
    {
        qvSharedAttribute b(a);
        EXPECT_EQ(b.counter(), a.counter());
        EXPECT_EQ(shared_attribute_count(a), 2);
        b = a;   // the same count: nothing changes
        EXPECT_EQ(shared_attribute_count(a), 2);
    }
    EXPECT_EQ(shared_attribute_count(a), 1);
    a = qvSharedAttribute();   // frees the proxy and its separate count (ASan)
    EXPECT_FALSE(a);
}

TEST(qvSharedAttribute, A_null_attribute_leaves_count_and_flag_clear) {
    qvSharedAttribute n(static_cast<qvAttributeInterface*>(nullptr));
    EXPECT_EQ(n.counter(), nullptr);
    EXPECT_FALSE(n.invasive());
    qvStandardPalette palette;
    qvSharedAttribute a(qvCreateAttributeProxy(&palette, 0));
    a = n;
    EXPECT_EQ(a.counter(), nullptr);
    EXPECT_FALSE(a.invasive());
}
