#pragma once
// qvSelectionCallback: the application's callback of a callback selection.
// By default it counts the hit records of the selection's scene and goes
// on; an application overrides selected to see each record.

#include <orvane/interaction/qvSelector.hpp>

class qvSelectionCallback : public qvSelector::Callback {
public:
    bool selected(qvShapeBase const*, qvScene const* scene) override {
        if (scene != nullptr)
            ++count_;
        return true;
    }
    int count() const noexcept { return count_; }

private:
    int count_ = 0;
};
