#pragma once
// qvPolygonSelectorObject: the selector that hits what lies inside a
// polygon given in device coordinates (touch clear), or what touches it
// (touch set); and qvPolygonSelector, its counted handle.
//
// A shape is judged by its device points p0..pn-1 (as a figure: line when
// its segments count, closed when its last point joins its first):
//   containment  every point inside the selection (a point on a selection
//                vertex is inside) and, for lines, no segment crossing a
//                selection edge;
//   touch        a point inside, or a segment crossing an edge, or, for a
//                closed figure, the selection's first vertex inside it.
// Kinds: ellipses by their flattened outline; compact and exact polymarkers
// by their points, polylines as open lines, polygons as closed ones;
// Béziers figure by figure (a figure ended by tag 4 closed, any other
// open; touch: the first figure that hits, containment: every figure);
// texts and images by their four corners; everything else (rectangles,
// arcs, pie slices, flavour shapes) by its device box's corners. Neither
// fill, line width (but as flattening tolerance) nor option 0x20 counts.
//
// The selection comes from a point-set data access or from a point array,
// whichever setup was last given (neither is owned; both must outlive the
// selections made with them). An array of count <= 0, or null, is empty:
// its box is (1, 1, 0, 0) and it misses everything. The box of the
// selection's vertices is taken at setup: call setup again after changing
// the points.

#include <orvane/interaction/qvSelector.hpp>

#include <orvane/core/qvIterator.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <vector>

class qvPointSetDataAccess;

class qvPolygonSelectorObject : public qvSelector {
public:
    qvPolygonSelectorObject(Callback* callback, qvISafePtr<qvDriverObject> const& driver = {});
    qvPolygonSelectorObject(qvPointSetDataAccess* points, Callback* callback, bool touch,
                            qvISafePtr<qvDriverObject> const& driver = {});
    qvPolygonSelectorObject(int count, qvCrdOf<double>* points, Callback* callback, bool touch,
                            qvISafePtr<qvDriverObject> const& driver = {});

    void setup(qvPointSetDataAccess* points, bool touch);
    void setup(int count, qvCrdOf<double>* points, bool touch);

    // The data access's own box, or the array's points' box; raises the
    // assertion "area" with no source at all.
    qvMathRectOf<double> bbox() const;
    bool touch() const noexcept { return touch_; }
    qvPointSetDataAccess* data_access() const noexcept { return access_; }
    int count() const noexcept { return count_; }
    qvCrdOf<double>* points() const noexcept { return points_; }

    bool check_selection(qvShapeBase const* record, Info info) override;

    // ---- the workers, in device coordinates --------------------------------------
    // Whether the figure of n points passes (see above).
    bool check_pointset(int n, qvCrdOf<double> const* points, bool line, bool closed) const;
    // The same over a generator of the figure's points.
    bool check_generator(qvIterator<qvCrdOf<double>>& points, bool line, bool closed) const;
    // Whether q is inside the selection (on a vertex counts).
    bool check_point(qvCrdOf<double> const& q) const;
    // Whether segment a-b crosses an edge of the selection.
    bool check_line(qvCrdOf<double> const& a, qvCrdOf<double> const& b) const;
    // Whether a-b and c-d cross: c and d on different sides of a-b, and a
    // and b on different sides of c-d (an end on the other's line counts;
    // collinear segments never cross).
    static bool intersection(qvCrdOf<double> const& a, qvCrdOf<double> const& b, qvCrdOf<double> const& c,
                             qvCrdOf<double> const& d);
    // The sign (-1, 0, 1) of the cross product (d - c) x (p - c); 0 for NaN.
    static int side(qvCrdOf<double> const& p, qvCrdOf<double> const& c, qvCrdOf<double> const& d);

protected:
    qvPolygonSelectorObject(qvPolygonSelectorObject const& other) = default;
    qvPolygonSelectorObject& operator=(qvPolygonSelectorObject const& other) = default;

    // Points the selection at an array without taking the vertex box
    // (for the box selector, which keeps its own corners).
    void use_array(int count, qvCrdOf<double>* points, bool touch);

private:
    bool selection_empty() const;
    int vertex_count() const;
    qvCrdOf<double> vertex(int i) const;
    void take_vertex_box();
    bool check_corners(qvCrdOf<double> const (&corners)[4]) const;
    bool check_figures(qvShapeBase const& record, Info info, double tolerance);

    qvPointSetDataAccess* access_ = nullptr;
    int count_ = 0;
    qvCrdOf<double>* points_ = nullptr;
    bool array_source_ = false;  // the array is the source, even a null one
    bool touch_ = false;
    // The box of the selection's vertices (empty marker when there are none).
    qvMathRectOf<double> vertex_box_ = qvMathRectOf<double>::make_empty();
    // Scratch figure points of the Bézier walk, reused record after record.
    std::vector<qvCrdOf<double>> figure_;
};

class qvPolygonSelector : public qvISafePtr<qvPolygonSelectorObject> {
public:
    qvPolygonSelector() noexcept = default;
    qvPolygonSelector(qvSelector::Callback* callback, qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvPolygonSelectorObject>(new qvPolygonSelectorObject(callback, driver)) {}
    qvPolygonSelector(qvPointSetDataAccess* points, qvSelector::Callback* callback, bool touch,
                      qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvPolygonSelectorObject>(new qvPolygonSelectorObject(points, callback, touch, driver)) {}
    qvPolygonSelector(int count, qvCrdOf<double>* points, qvSelector::Callback* callback, bool touch,
                      qvISafePtr<qvDriverObject> const& driver = {})
        : qvISafePtr<qvPolygonSelectorObject>(
              new qvPolygonSelectorObject(count, points, callback, touch, driver)) {}

    operator qvISafePtr<qvDriverObject>() const { return qvISafePtr<qvDriverObject>(*this, get()); }
};
