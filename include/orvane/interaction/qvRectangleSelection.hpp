#pragma once
// qvRectangleSelection: the proxy selection of what lies inside a box (or
// touches it, 0x08); always every hit. A box of zero area selects nothing.

#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSelectionBase.hpp>

class qvGraphicList;

class qvRectangleSelection : public qvSelectionBase {
public:
    explicit qvRectangleSelection(qvContainerScene& scene);
    explicit qvRectangleSelection(qvViewSceneLayer& layer);
    qvRectangleSelection(qvRectangleSelection const& other);
    qvRectangleSelection& operator=(qvRectangleSelection const& other);
    ~qvRectangleSelection();

    bool select(qvGraphicList& list, qvMathRectOf<double> const& box, unsigned flags);

private:
    qvBoxSelector selector_;
};
