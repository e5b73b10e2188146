// Drawings: their reports, their hosts under copies, and their ownership
// counts in containers.

#include "qvDrawingTestSupport.hpp"

#include <orvane/drawings/qvDrawingList.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

}  // namespace

TEST(qvDrawing, Reports_reach_the_host_only_when_there_is_one) {
    qvTestDrawing d(Rect(1, 2, 3, 4));
    EXPECT_TRUE(d.visible());
    EXPECT_EQ(d.user_handle(), 0);
    d.invalidate();   // no host: nothing to report to
    d.box(Rect(1, 2, 3, 4));
    qvRecordingDrawingHost host;
    d.host(&host);
    d.visible(true);   // unchanged, still reported twice
    d.user_handle(7);  // never reported
    d.box(Rect(5, 5, 6, 6));
    EXPECT_EQ(host.rects, (std::vector<Rect>{Rect(1, 2, 3, 4), Rect(1, 2, 3, 4), Rect(1, 2, 3, 4), Rect(5, 5, 6, 6)}));
}

TEST(qvDrawing, A_copy_starts_without_host_and_an_assignment_keeps_the_targets) {
    qvRecordingDrawingHost a, b;
    qvTestDrawing source;
    source.host(&a);
    source.user_handle(3);
    const qvTestDrawing copy(source);
    EXPECT_EQ(copy.host(), nullptr);
    EXPECT_EQ(copy.user_handle(), 3);
    qvTestDrawing target;
    target.host(&b);
    target = source;
    EXPECT_EQ(target.host(), &b);
    EXPECT_EQ(target.user_handle(), 3);
}

TEST(qvDrawingContainer, Only_owning_containers_delete_and_the_last_owner_does) {
    int deaths = 0;
    auto* d = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    qvDrawingList plain(false), first(true), second(true);
    plain.add(d, qvOrderLast);
    plain.remove(d);
    first.add(d, qvOrderLast);
    second.add(d, qvOrderLast);
    first.remove(d);
    EXPECT_EQ(deaths, 0);
    second.remove(d);
    EXPECT_EQ(deaths, 1);
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
