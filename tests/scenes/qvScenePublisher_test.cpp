// The scene publisher: its switch, the refresh it sends on resuming, and
// the order its two senders die in.

#include <orvane/scenes/qvScenePublisher.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Log = qvNotificationLog;
using RectReceiver = qvRecordingReceiver<qvMathRectOf<double>>;
using HandleReceiver = qvRecordingReceiver<long>;

class Publisher : public ::testing::Test {
protected:
    Log log;
    std::unique_ptr<qvScenePublisher> publisher = std::make_unique<qvScenePublisher>();
    RectReceiver areas{"rect", log};
    HandleReceiver handles{"handle", log};

    void SetUp() override {
        areas.connect(publisher->rect_sender());
        handles.connect(publisher->handle_sender());
    }
};

TEST_F(Publisher, Notifies_after_construction) {
    EXPECT_TRUE(publisher->update_notification());
    EXPECT_TRUE(publisher->rect_sender().enabled());
    EXPECT_TRUE(publisher->handle_sender().enabled());
}

TEST_F(Publisher, Suspending_clears_the_switch_and_both_sender_flags_and_sends_nothing) {
    publisher->update_notification(false, false);
    EXPECT_FALSE(publisher->update_notification());
    EXPECT_FALSE(publisher->rect_sender().enabled());
    EXPECT_FALSE(publisher->handle_sender().enabled());
    EXPECT_TRUE(log.empty());
}

TEST_F(Publisher, Resuming_refreshes_rectangles_then_handles_once_each) {
    publisher->update_notification(false, false);
    publisher->update_notification(true, false);
    EXPECT_TRUE(publisher->update_notification());
    EXPECT_TRUE(publisher->rect_sender().enabled());
    EXPECT_EQ(log, (Log{"rect all", "handle all"}));
}

TEST_F(Publisher, Resuming_quietly_sends_nothing) {
    publisher->update_notification(false, false);
    publisher->update_notification(true, true);
    EXPECT_TRUE(publisher->update_notification());
    EXPECT_TRUE(log.empty());
}

TEST_F(Publisher, The_senders_pass_rectangles_and_layers_unchanged) {
    publisher->rect_sender().invalidate(qvMathRectOf<double>(5, 7, 1, 2), -1);
    ASSERT_EQ(areas.items.size(), 1u);
    const qvMathRectOf<double>& r = areas.items[0];
    EXPECT_EQ(r.x1, 1.0);
    EXPECT_EQ(r.y1, 2.0);
    EXPECT_EQ(r.x2, 5.0);
    EXPECT_EQ(r.y2, 7.0);
    EXPECT_EQ(areas.flags, (std::vector<int>{-1}));
}

TEST_F(Publisher, Destruction_tells_the_handle_receivers_before_the_rectangle_receivers) {
    publisher.reset();
    EXPECT_EQ(log, (Log{"handle sender gone", "rect sender gone"}));
    EXPECT_TRUE(areas.empty());
    EXPECT_TRUE(handles.empty());
}

}  // namespace
