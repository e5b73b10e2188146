#pragma once
// qvPolygonCallbackSelection: every record inside a polygon (or touching
// it) goes to the callback (see qvSelectionCallbackBase). A null data
// access, a count <= 0 or a null array selects nothing and renders nothing.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/interaction/qvSelectionCallback.hpp>
#include <orvane/interaction/qvSelectionCallbackBase.hpp>

class qvPointSetDataAccess;

class qvPolygonCallbackSelection : public qvSelectionCallbackBase {
public:
    explicit qvPolygonCallbackSelection(qvScene& scene) { mirror_view(scene); }
    explicit qvPolygonCallbackSelection(qvViewSceneLayer& layer) { mirror_view(layer); }

    void select(qvSelectionCallback& callback, qvPointSetDataAccess* polygon, bool touch);
    void select(qvSelectionCallback& callback, int count, qvCrdOf<double>* points, bool touch);
};
