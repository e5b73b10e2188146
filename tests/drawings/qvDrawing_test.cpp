// Drawings and their ownership counts in containers.

#include "qvDrawingTestSupport.hpp"

#include <orvane/drawings/qvDrawingList.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

}  // namespace

TEST(qvDrawing, A_new_drawing_is_visible_without_host_and_reports_nothing) {
    qvTestDrawing d;
    EXPECT_TRUE(d.visible());
    EXPECT_EQ(d.host(), nullptr);
    EXPECT_EQ(d.user_handle(), 0);
    d.invalidate();
    d.invalidate(Rect(0, 0, 1, 1));
    d.visible(false);   // nothing to report to
    EXPECT_FALSE(d.visible());
}

TEST(qvDrawing, Visibility_reports_the_box_twice_and_the_user_handle_never) {
    qvRecordingDrawingHost host;
    qvTestDrawing d(Rect(1, 2, 3, 4));
    d.host(&host);
    d.visible(true);
    EXPECT_EQ(host.rects, (std::vector<Rect>{Rect(1, 2, 3, 4), Rect(1, 2, 3, 4)}));
    host.rects.clear();
    d.user_handle(7);
    EXPECT_EQ(d.user_handle(), 7);
    EXPECT_TRUE(host.rects.empty());
    d.invalidate(Rect(5, 5, 6, 6));
    EXPECT_EQ(host.rects, std::vector<Rect>{Rect(5, 5, 6, 6)});
}

TEST(qvDrawing, A_change_guard_reports_the_old_and_the_new_box) {
    qvRecordingDrawingHost host;
    qvTestDrawing d(Rect(0, 0, 1, 1));
    d.box(Rect(2, 2, 3, 3));   // no host: nothing
    d.host(&host);
    d.box(Rect(4, 4, 5, 5));
    EXPECT_EQ(host.rects, (std::vector<Rect>{Rect(2, 2, 3, 3), Rect(4, 4, 5, 5)}));
    const qvDrawingChangeGuard none(nullptr);
}

TEST(qvDrawing, A_copy_starts_without_host_and_an_assignment_keeps_the_targets) {
    qvRecordingDrawingHost a, b;
    qvTestDrawing source(Rect(0, 0, 1, 1));
    source.host(&a);
    source.user_handle(3);
    source.visible(false);
    const qvTestDrawing copy(source);
    EXPECT_EQ(copy.host(), nullptr);
    EXPECT_EQ(copy.user_handle(), 3);
    EXPECT_FALSE(copy.visible());

    qvTestDrawing target;
    target.host(&b);
    target = source;
    EXPECT_EQ(target.host(), &b);
    EXPECT_EQ(target.user_handle(), 3);
}

TEST(qvDrawingContainer, Only_an_owning_container_deletes_and_the_last_owner_does) {
    int deaths = 0;
    auto* d = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    {
        qvDrawingList plain(false);
        plain.add(d, qvOrderLast);
        plain.remove(d);
        EXPECT_EQ(deaths, 0);
    }
    {
        qvDrawingList first(true), second(true);
        first.add(d, qvOrderLast);
        second.add(d, qvOrderLast);
        first.remove(d);
        EXPECT_EQ(deaths, 0);
        second.remove(d);
        EXPECT_EQ(deaths, 1);
    }
}

TEST(qvDrawingContainer, Switching_ownership_on_a_filled_list_keeps_the_counts_balanced) {
    int deaths = 0;
    auto* shared = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    auto* own = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    {
        qvDrawingList owner(true);
        owner.add(shared, qvOrderLast);
        {
            qvDrawingList late(false);
            late.add(shared, qvOrderLast);
            late.add(own, qvOrderLast);
            late.auto_delete(true);
            late.auto_delete(false);   // gives its counts back, deletes nothing
            EXPECT_EQ(deaths, 0);
            late.auto_delete(true);
            late.remove(own);          // its only owner lets it go
            EXPECT_EQ(deaths, 1);
        }
        EXPECT_EQ(deaths, 1);          // the owner still holds the shared one
    }
    EXPECT_EQ(deaths, 2);
}
