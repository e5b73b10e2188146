#pragma once
// qvWinRectOf<T>: an ordered rectangle in window orientation (y grows
// downwards): left = x1, right = x2, top = y1, bottom = y2. Window and
// viewport areas are qvWinRectOf<double> or qvWinRectOf<int>. Its
// invariants are those of qvOrderedRectBase.

#include <orvane/geometry/qvOrderedRect.hpp>

template <class T>
class qvWinRectOf : public qvOrderedRectBase<T, qvWinRectOf<T>, false> {
    using Base = qvOrderedRectBase<T, qvWinRectOf<T>, false>;

public:
    using Base::Base;
};
