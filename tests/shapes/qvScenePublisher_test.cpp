// The scene publisher: its switch, the refresh it sends on resuming, and
// the order its two senders die in.

#include <orvane/shapes/qvScenePublisher.hpp>

#include <qvNotificationProbe.hpp>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Log = qvNotificationLog;

class Publisher : public ::testing::Test {
protected:
    void SetUp() override {
        areas.connect(publisher->rect_sender());
        handles.connect(publisher->handle_sender());
    }
    // The switch and both senders' flags all read `on`.
    bool notifying(bool on) const {
        return publisher->update_notification() == on && publisher->rect_sender().enabled() == on &&
               publisher->handle_sender().enabled() == on;
    }

    Log log;
    std::unique_ptr<qvScenePublisher> publisher = std::make_unique<qvScenePublisher>();
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    qvRecordingReceiver<long> handles{"handle", log};
};

TEST_F(Publisher, Suspending_sends_nothing_and_resuming_refreshes_rectangles_then_handles_unless_quiet) {
    publisher->update_notification(false, false);
    EXPECT_TRUE(notifying(false));
    EXPECT_TRUE(log.empty());
    publisher->update_notification(true, false);
    EXPECT_TRUE(notifying(true));
    EXPECT_EQ(log, (Log{"rect all", "handle all"}));
    publisher->update_notification(false, false);
    publisher->update_notification(true, true);
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Publisher, Layers_pass_unchanged_and_handles_die_first) {
    publisher->rect_sender().invalidate(qvMathRectOf<double>(1, 2, 5, 7), -1);
    publisher->handle_sender().invalidate(9, 1);
    EXPECT_EQ(areas.flags, (std::vector<int>{-1}));
    EXPECT_EQ(handles.items, (std::vector<long>{9}));
    log.clear();
    publisher.reset();
    EXPECT_EQ(log, (Log{"handle sender gone", "rect sender gone"}));
}

}  // namespace
