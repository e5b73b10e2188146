// The composite drawing: its box and drawing, reports passed to its host,
// ownership of members, and the refusal to contain itself.

#include "qvDrawingTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvShapeTestSupport.hpp"

#include <orvane/drawings/qvCompositeDrawing.hpp>
#include <orvane/drawings/qvDrawingScene.hpp>

#include <gtest/gtest.h>

#include <string>

namespace {

using Rect = qvMathRectOf<double>;

template <class F>
void expect_refused_as_itself(F&& f) {
    try {
        f();
        ADD_FAILURE() << "no error";
    } catch (qvErrorFrom<qvCompositeDrawing> const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "A composite drawing cannot contain itself");
    }
}

}  // namespace

TEST(qvCompositeDrawing, Invisible_members_count_in_the_box_but_are_not_drawn) {
    qvCompositeDrawing c;
    shape_test::RecordingFlavorPort port;
    EXPECT_EQ(c.bbox(nullptr), Rect::make_empty());
    c.render(port, Rect(-100, -100, 100, 100));
    EXPECT_EQ(qvQueryInterface<qvCompositeDrawing>(static_cast<qvDrawing*>(&c)), &c);
    auto* a = new qvTestDrawing(Rect(0, 0, 10, 10));
    auto* b = new qvTestDrawing(Rect(-5, 20, 3, 30));
    auto* far = new qvTestDrawing(Rect(100, 100, 110, 110));
    c.items()->add(a, qvOrderLast);
    c.items()->add(b, qvOrderLast);
    c.items()->add(far, qvOrderLast);
    b->visible(false);
    EXPECT_EQ(c.bbox(nullptr), Rect(-5, 0, 110, 110));
    const qvRestrictedTransformation t(2, 2, 1, 1);
    port.transformation(t);
    c.render(port, Rect(-10, -10, 50, 50));
    EXPECT_EQ(a->renders.size(), 1u);
    EXPECT_TRUE(b->renders.empty());
    EXPECT_TRUE(far->renders.empty());
    EXPECT_EQ(a->renders[0].transformation, t);   // the port as found
    EXPECT_EQ(port.drawn.size(), 1u);
}

TEST(qvCompositeDrawing, Member_reports_reach_the_host_of_the_composite_only_once_it_has_one) {
    auto* c = new qvCompositeDrawing;
    auto* m = new qvTestDrawing(Rect(1, 2, 3, 4));
    c->items()->add(m, qvOrderLast);
    m->invalidate();   // no host above: nothing, and no crash
    qvRecordingDrawingHost host;
    c->host(&host);
    m->visible(false);
    EXPECT_EQ(host.rects, (std::vector<Rect>{Rect(1, 2, 3, 4), Rect(1, 2, 3, 4)}));
    c->host(nullptr);

    qvDrawingScene scene;
    scene.items()->auto_delete(true);
    scene.items()->add(c, qvOrderLast);
    qvNotificationLog log;
    qvRecordingReceiver<Rect> ears("scene", log);
    ears.connect(scene.rect_sender());
    m->invalidate();
    c->items()->remove(m);
    EXPECT_EQ(log, qvNotificationLog{"scene item"});
    EXPECT_EQ(ears.items, std::vector<Rect>{Rect(1, 2, 3, 4)});
    EXPECT_EQ(ears.flags, std::vector<int>{0});
}

TEST(qvCompositeDrawing, Removing_a_member_clears_its_host_before_deleting_it) {
    qvCompositeDrawing c;
    int deaths = 0;
    qvRecordingDrawingHost sentinel;
    qvDrawingHost* host_at_death = &sentinel;
    class Watched : public qvTestDrawing {
    public:
        Watched(int& deaths, qvDrawingHost*& host_at_death)
            : qvTestDrawing(Rect(0, 0, 1, 1), &deaths), host_at_death_(host_at_death) {}
        ~Watched() override { host_at_death_ = host(); }

    private:
        qvDrawingHost*& host_at_death_;
    };
    auto* m = new Watched(deaths, host_at_death);
    c.items()->add(m, qvOrderLast);
    EXPECT_NE(m->host(), nullptr);
    c.items()->remove(m);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(host_at_death, nullptr);
}

TEST(qvCompositeDrawing, Members_die_with_the_composite_unless_another_owner_holds_them) {
    int deaths = 0;
    qvDrawingScene keeper;
    keeper.items()->auto_delete(true);
    auto* shared = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    keeper.items()->add(shared, qvOrderLast);
    {
        qvCompositeDrawing c;
        c.items()->add(new qvTestDrawing(Rect(0, 0, 1, 1), &deaths), qvOrderLast);
        c.items()->add(shared, qvOrderLast);   // its host is the composite's now
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(shared->host(), nullptr);
    shared->visible(false);   // safe: no host left behind
}

TEST(qvCompositeDrawing, A_composite_never_contains_itself_at_any_depth) {
    auto* outer = new qvCompositeDrawing;
    auto* inner = new qvCompositeDrawing;
    auto* member = new qvTestDrawing(Rect(0, 0, 1, 1));
    outer->items()->add(inner, qvOrderLast);
    inner->items()->add(member, qvOrderLast);
    expect_refused_as_itself([&] { outer->items()->add(outer, qvOrderLast); });
    expect_refused_as_itself([&] { outer->items()->add(outer, qvOrderAfter, inner); });
    expect_refused_as_itself([&] { inner->items()->add(outer, qvOrderFirst); });
    expect_refused_as_itself([&] { inner->items()->add(inner, qvOrderBefore, member); });
    EXPECT_EQ(outer->items()->size(), 1);
    EXPECT_EQ(inner->items()->size(), 1);
    EXPECT_EQ(outer->host(), nullptr);
    EXPECT_EQ(outer->bbox(nullptr), Rect(0, 0, 1, 1));
    inner->items()->add(member, qvOrderLast);   // the same member twice is no cycle
    EXPECT_EQ(inner->items()->size(), 2);
    delete outer;   // an extra count would have aborted this
}
