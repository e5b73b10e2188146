#pragma once
// qvPolygonSelection: the proxy selection of what lies inside a polygon (or
// touches it, 0x08); always every hit. A null data access, a count <= 0 or a
// null array gives false at once: nothing rendered, the list unchanged even
// with 0x10. A polygon of zero area selects nothing.

#include <orvane/interaction/qvPolygonSelector.hpp>
#include <orvane/interaction/qvSelectionBase.hpp>

class qvGraphicList;
class qvPointSetDataAccess;

class qvPolygonSelection : public qvSelectionBase {
public:
    explicit qvPolygonSelection(qvContainerScene& scene);
    explicit qvPolygonSelection(qvViewSceneLayer& layer);
    qvPolygonSelection(qvPolygonSelection const& other);
    qvPolygonSelection& operator=(qvPolygonSelection const& other);
    ~qvPolygonSelection();

    bool select(qvGraphicList& list, qvPointSetDataAccess* polygon, unsigned flags);
    bool select(qvGraphicList& list, int count, qvCrdOf<double>* points, unsigned flags);

private:
    bool run(qvGraphicList& list, unsigned flags);
    qvPolygonSelector selector_;
};
