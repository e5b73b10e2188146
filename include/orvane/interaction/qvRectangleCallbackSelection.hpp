#pragma once
// qvRectangleCallbackSelection: every record inside a box (or touching it)
// goes to the callback (see qvSelectionCallbackBase).

#include <orvane/interaction/qvSelectionCallback.hpp>
#include <orvane/interaction/qvSelectionCallbackBase.hpp>

class qvRectangleCallbackSelection : public qvSelectionCallbackBase {
public:
    explicit qvRectangleCallbackSelection(qvScene& scene) { mirror_view(scene); }
    explicit qvRectangleCallbackSelection(qvViewSceneLayer& layer) { mirror_view(layer); }

    void select(qvSelectionCallback& callback, qvMathRectOf<double> const& box, bool touch);
};
