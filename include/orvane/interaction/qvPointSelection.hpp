#pragma once
// qvPointSelection: the proxy selection under a spot (see qvSelectionBase).
// Without 0x01 it takes the topmost shape under the spot. A tolerance of 0
// renders over the point grown by 0.5, so the shapes under it are found.

#include <orvane/interaction/qvSelectionBase.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>

class qvGraphicList;

class qvPointSelection : public qvSelectionBase {
public:
    // Model coordinates of `scene`; default tolerance 5.0.
    explicit qvPointSelection(qvContainerScene& scene);
    // Device coordinates of `layer`'s view; tolerance from its driver.
    explicit qvPointSelection(qvViewSceneLayer& layer);
    qvPointSelection(qvPointSelection const& other);
    qvPointSelection& operator=(qvPointSelection const& other);
    ~qvPointSelection();

    bool select(qvGraphicList& list, qvCrdOf<double> point, unsigned flags);
    bool select(qvGraphicList& list, qvCrdOf<double> point, double tolerance, unsigned flags);

private:
    bool run(qvGraphicList& list, unsigned flags);
    qvSpotSelector selector_;
};
