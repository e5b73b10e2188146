// The proxy site and the proxy classes: one live proxy per record, what a
// failed instantiate leaves behind, which entries each deassociate removes,
// who keeps an id in the "ProxyClass Registry", and proxies that outlive
// their scene.

#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvEllipseData.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>

using TestRect = shape_test::TestShapeProxy<qvRectangleData, 101>;
using TestEllipse = shape_test::TestShapeProxy<qvEllipseData, 102>;
using SecondRect = shape_test::TestShapeProxy<qvEllipseData, 101>;
QV_INTERFACE_NAME(TestRect);
QV_INTERFACE_NAME(TestEllipse);
QV_INTERFACE_NAME(SecondRect);

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using Log = std::vector<std::string>;

int count_of(qvGraphicInterface const* g) {
    const int n = g->bump() - 1;
    g->dec();
    return n;
}

// A record of `kind` stamped with proxy class `id`, stored in the scene.
long stored(RecordingScene& scene, long id, long kind = qvRectangleKind) {
    qvShapeBase* const record = qvNewShapeRecord(48);
    record->proxy_class_id = static_cast<std::int32_t>(id);
    record->kind = static_cast<std::int32_t>(kind);
    return scene.adopt(record);
}

std::string text(char const* what, long handle) { return std::string(what) + " " + std::to_string(handle); }

class ProxySite : public ::testing::Test {
protected:
    qvGenericProxyClass<TestRect> rect_class;
    qvGenericProxyClass<TestEllipse> ellipse_class;
    RecordingScene scene;
};

}  // namespace

TEST_F(ProxySite, A_handle_has_one_live_proxy_and_a_new_one_once_every_handle_is_gone) {
    const long h = stored(scene, 101);
    const int deaths = shape_test::proxy_deaths;
    {
        const qvGraphic a = scene.instantiate(h);
        const qvGraphic b = scene.instantiate(h);
        EXPECT_EQ(a.get(), b.get());
        EXPECT_EQ(count_of(a.get()), 2);
        EXPECT_EQ(scene.entries(), 1u);
        EXPECT_EQ(scene.take_log(), (Log{text("connect", h)}));
    }
    EXPECT_EQ(shape_test::proxy_deaths, deaths + 1);
    EXPECT_EQ(scene.take_log(), (Log{text("disconnect", h)}));
    EXPECT_EQ(scene.entries(), 0u);
    EXPECT_NE(scene.records[h], nullptr);   // releasing a shape never deletes it

    const qvGraphic again = scene.instantiate(h);
    EXPECT_EQ(scene.take_log(), (Log{text("connect", h)}));
    EXPECT_EQ(count_of(again.get()), 1);
    EXPECT_EQ(static_cast<TestRect*>(again->query_interface(qvInterfaceIdentity<TestRect>()))->record(),
              scene.records[h]);
}

TEST_F(ProxySite, A_failed_instantiate_changes_no_entry_and_keeps_no_connection) {
    const qvGraphic live = scene.instantiate(stored(scene, 101));
    scene.take_log();
    expect_raises<qvErrorFrom<qvProxySite>>([&] { scene.instantiate(99); }, "Shape handle not found");
    EXPECT_EQ(scene.take_log(), (Log{"connect 99 none"}));
    const long orphan = stored(scene, 999);
    expect_raises<qvErrorFrom<qvProxySite>>([&] { scene.instantiate(orphan); }, "Proxy class not found");
    EXPECT_EQ(scene.take_log(), (Log{text("connect", orphan), text("disconnect", orphan)}));
    EXPECT_EQ(scene.entries(), 1u);
}

TEST_F(ProxySite, Deassociating_a_handle_removes_its_first_entry_and_a_proxy_all_of_its_own) {
    auto* const first = new TestRect(scene);
    auto* const second = new TestRect(scene);
    const qvGraphic p(first), q(second);
    scene.associate(first, 5);
    scene.associate(second, 5);
    scene.associate(first, 6);
    scene.associate(first, 5);
    EXPECT_EQ(scene.instantiate(5).get(), p.get());
    scene.deassociate(5L);
    EXPECT_EQ(scene.entries(), 3u);
    EXPECT_EQ(scene.instantiate(5).get(), q.get());
    scene.deassociate(first);
    EXPECT_EQ(scene.entries(), 1u);
    EXPECT_EQ(scene.instantiate(5).get(), q.get());
    expect_raises<qvErrorFrom<qvProxySite>>([&] { scene.instantiate(6); }, "Shape handle not found");
    scene.deassociate(7L);   // nothing under it
    scene.deassociate(second);
    EXPECT_EQ(scene.entries(), 0u);
}

TEST_F(ProxySite, Proxies_made_and_destroyed_through_their_records_enter_and_leave) {
    auto* const proxy = new TestRect(scene);
    const qvGraphic g(proxy);
    EXPECT_EQ(scene.entries(), 0u);
    proxy->user_handle(12);   // the first change makes the record
    const long h = proxy->shape_handle();
    EXPECT_EQ(scene.take_log(), (Log{"allocate 48 -> " + std::to_string(h)}));
    EXPECT_EQ(scene.instantiate(h).get(), g.get());
    EXPECT_EQ(proxy->proxy_class_id(), 101);
    EXPECT_EQ(proxy->user_handle(), 12);
    proxy->destroy_shape();
    EXPECT_EQ(scene.entries(), 0u);
    EXPECT_EQ(scene.records.count(h), 0u);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->shape_handle(); },
                                                      "Attempt to query uninitialized shape");
}

TEST_F(ProxySite, A_proxy_that_outlives_its_scene_forgets_it) {
    auto doomed = std::make_unique<RecordingScene>();
    const long h = stored(*doomed, 101);
    qvGraphic g = doomed->instantiate(h);
    auto* const proxy = static_cast<TestRect*>(g->query_interface(qvInterfaceIdentity<TestRect>()));
    doomed.reset();
    EXPECT_EQ(proxy->record(), nullptr);
    expect_raises<qvAssertionError>([&] { proxy->scene(); }, "_scene");
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->user_handle(); },
                                                      "Attempt to query uninitialized shape");
    const int deaths = shape_test::proxy_deaths;
    g.release();   // touches nothing of the dead scene
    EXPECT_EQ(shape_test::proxy_deaths, deaths + 1);
}

TEST(qvProxyClass, The_first_class_under_an_id_keeps_it) {
    EXPECT_EQ(qvProxyClass::find(101), nullptr);
    {
        qvGenericProxyClass<TestRect> first;
        EXPECT_TRUE(first.registered());
        EXPECT_EQ(first.handle(), 101);
        {
            qvGenericProxyClass<SecondRect> second;
            EXPECT_FALSE(second.registered());
            EXPECT_TRUE(second == first);
            EXPECT_EQ(qvProxyClass::find(101), &first);
        }
        EXPECT_EQ(qvProxyClass::find(101), &first);
    }
    EXPECT_EQ(qvProxyClass::find(101), nullptr);
    EXPECT_EQ(qvProxyClass::find(0), nullptr);
    // The classes live in the start-up's unique object of that name.
    void* const registered = qvLookupRegistry("ProxyClass Registry");
    EXPECT_EQ(registered, qvProxyClass::registry().get());
    EXPECT_FALSE(qvRemoveRegistry("ProxyClass Registry"));
}
