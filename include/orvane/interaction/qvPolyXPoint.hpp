#pragma once
// qvPolyXPoint: an accumulator that decides whether one test point hits a
// figure fed to it vertex by vertex, one point at a time, so no point array
// is ever built. The kinds: qvPolygonXPoint (inside by the non-zero winding
// rule), qvPolylineXPoint (within a band around the segments) and
// qvPolyMarkerXPoint (within a disc around the vertices).
//
// Keeps true: nothing but comparisons decide a verdict, so NaN or infinite
// coordinates miss without any conversion to an integer.

class qvPolyXPoint {
public:
    virtual ~qvPolyXPoint() = default;
    // The next vertex of the figure.
    virtual void add_vertex(double x, double y) = 0;
    virtual bool is_hit() const = 0;

protected:
    qvPolyXPoint() noexcept = default;
    qvPolyXPoint(qvPolyXPoint const&) noexcept = default;
    qvPolyXPoint& operator=(qvPolyXPoint const&) noexcept = default;
};
