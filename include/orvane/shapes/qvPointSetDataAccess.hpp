#pragma once
// qvPointSetDataAccess: a shape given by a list of points (polygons,
// polylines, polymarkers and Bezier curves, compact or exact).
//
// Keeps true: insert(n_from, n, points) inserts before position n_from
// (0 <= n_from <= size(); size() appends); remove(n_from, n) needs
// n_from + n <= size(); point(i) needs 0 <= i < size(). The single-point
// forms all end in insert(i, 1, &p).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvQueryBboxDataAccess.hpp>

class qvPointSetDataAccess : public virtual qvQueryBboxDataAccess {
public:
    virtual void insert(int n_from, int n, qvCrdOf<double> const* points) = 0;
    virtual void remove(int n_from, int n) = 0;
    virtual int size() = 0;
    virtual qvCrdOf<double> point(int i) = 0;
    virtual void point(int i, qvCrdOf<double> p) = 0;

    void insert(int i, qvCrdOf<double> p) { insert(i, 1, &p); }
    void push_front(qvCrdOf<double> p) { insert(0, 1, &p); }
    void push_back(qvCrdOf<double> p) { insert(size(), 1, &p); }

protected:
    qvPointSetDataAccess() noexcept = default;
    qvPointSetDataAccess(qvPointSetDataAccess const&) noexcept = default;
    qvPointSetDataAccess& operator=(qvPointSetDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvPointSetDataAccess);
