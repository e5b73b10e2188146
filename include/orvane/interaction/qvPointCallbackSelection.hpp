#pragma once
// qvPointCallbackSelection: every record under a spot goes to the callback
// (see qvSelectionCallbackBase). A tolerance of 0 renders over the point
// grown by 0.5.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvSelectionCallback.hpp>
#include <orvane/interaction/qvSelectionCallbackBase.hpp>

class qvPointCallbackSelection : public qvSelectionCallbackBase {
public:
    explicit qvPointCallbackSelection(qvScene& scene) { mirror_view(scene); }
    explicit qvPointCallbackSelection(qvViewSceneLayer& layer) { mirror_view(layer); }

    void select(qvSelectionCallback& callback, qvCrdOf<double> point, double tolerance);
};
