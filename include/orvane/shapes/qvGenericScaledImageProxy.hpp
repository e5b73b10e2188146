#pragma once
// qvGenericScaledImageProxy<B>: the scaled image's own operations on its
// record: the two edge vectors from the anchor and the box.
//
// Keeps true: vectors are taken unchanged (zero, parallel or negative ones
// too) when each component is finite and within the float range; any
// other is refused (qvShapeCoordinates) before a guard opens, both of
// vectors(x, y) before either is written; vectors(x, y) writes both inside
// one guard; bbox() is the smallest axis-parallel rectangle holding the
// anchor P, P + X, P + Y and P + X + Y, computed from the record at each
// call, (1, 1, 0, 0) without a record.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvGenericImageProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>

#include <algorithm>

template <class B>
class qvGenericScaledImageProxy : public qvGenericImageProxy<B, qvScaledImageData> {
public:
    qvCrdOf<double> x_vector() override {
        const typename B::ReadLock lock(*this, true);
        return this->data().x_vector;
    }
    void x_vector(qvCrdOf<double> v) override {
        qvShapeCoordinates::require(v);
        const typename B::WriteLock lock(*this, true, true);
        this->data().x_vector = v;
    }
    qvCrdOf<double> y_vector() override {
        const typename B::ReadLock lock(*this, true);
        return this->data().y_vector;
    }
    void y_vector(qvCrdOf<double> v) override {
        qvShapeCoordinates::require(v);
        const typename B::WriteLock lock(*this, true, true);
        this->data().y_vector = v;
    }
    void vectors(qvCrdOf<double> x, qvCrdOf<double> y) override {
        qvShapeCoordinates::require(x);
        qvShapeCoordinates::require(y);
        const typename B::WriteLock lock(*this, true, true);
        this->data().x_vector = x;
        this->data().y_vector = y;
    }

    qvMathRectOf<double> bbox() override {
        if (this->record_ == nullptr)
            return qvMathRectOf<double>::make_empty();
        qvScaledImageData& d = this->data();
        const qvCrdOf<double> p = d.image.anchor, x = d.x_vector, y = d.y_vector;
        const double xs[] = {0.0, x.x, y.x, x.x + y.x};
        const double ys[] = {0.0, x.y, y.y, x.y + y.y};
        const auto [x1, x2] = std::minmax({xs[0], xs[1], xs[2], xs[3]});
        const auto [y1, y2] = std::minmax({ys[0], ys[1], ys[2], ys[3]});
        return qvMathRectOf<double>(qvRectOf<double>(p.x + x1, p.y + y1, p.x + x2, p.y + y2));
    }
};
