#pragma once
// Receivers that write what they are told into a log the test owns, so a
// test can state the exact sequence of calls of a broadcast. A receiver may
// be given an action to run inside its next event (disconnect itself, delete
// another receiver, nest a broadcast ...), which is how the tests reach the
// changes made while a list is walked.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using qvNotificationLog = std::vector<std::string>;

template <class T>
class qvRecordingReceiver : public qvBroadcastReceiver<qvInvalidateEvent<T>> {
public:
    qvRecordingReceiver(std::string name, qvNotificationLog& log, bool ordered = true)
        : qvBroadcastReceiver<qvInvalidateEvent<T>>(ordered), name_(std::move(name)), log_(log) {}
    // The event operations die with this part, before the base disconnects.
    ~qvRecordingReceiver() override { this->disconnect_all(); }

    void invalidate() override { record(name_ + " all"); }
    void invalidate(T const& item, int flag) override {
        items.push_back(item);
        flags.push_back(flag);
        record(name_ + " item");
    }

    // Runs once, inside the next event, after the event is logged.
    void on_next_event(std::function<void()> action) { action_ = std::move(action); }

    std::vector<T> items;
    std::vector<int> flags;

protected:
    void partner_destroyed(qvSenderBase*) override { log_.push_back(name_ + " sender gone"); }

private:
    void record(std::string line) {
        log_.push_back(std::move(line));
        if (action_) {
            auto action = std::move(action_);
            action_ = nullptr;
            action();
        }
    }

    std::string name_;
    qvNotificationLog& log_;
    std::function<void()> action_;
};
