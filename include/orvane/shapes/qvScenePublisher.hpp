#pragma once
// qvScenePublisher: the notification of a scene, the base every scene has.
//
// Two senders: rectangles (a model area and its scene layer, -1 for every
// layer) and handles (attribute handles and their shared flag). The scene
// sends through them, and sends nothing while notification is suspended;
// the senders themselves forward whatever they are given.
// Keeps true: both senders' enabled flags equal update_notification().
// Destruction tells the receivers of the handle sender, then those of the
// rectangle sender, that their sender is gone.

#include <orvane/core/qvSenderInvalidate.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvScenePublisher {
public:
    qvScenePublisher();
    qvScenePublisher(qvScenePublisher const&) = delete;
    qvScenePublisher& operator=(qvScenePublisher const&) = delete;
    virtual ~qvScenePublisher();

    qvSenderInvalidate<qvMathRectOf<double>>& rect_sender() noexcept { return rect_sender_; }
    qvSenderInvalidate<long>& handle_sender() noexcept { return handle_sender_; }

    // Whether the scene notifies (true unless suspended).
    bool update_notification() const noexcept { return !suspended_; }
    // Suspends or resumes notification. Resuming without `quiet` sends one
    // invalidate() on the rectangle sender, then one on the handle sender,
    // so every receiver refreshes completely after the suspension.
    void update_notification(bool enable, bool quiet);

private:
    // Destroyed in reverse order: the handle sender first.
    qvSenderInvalidate<qvMathRectOf<double>> rect_sender_;
    qvSenderInvalidate<long> handle_sender_;
    bool suspended_ = false;
};
