#pragma once
// qvPointSetInterface: read access to a tagged point set, the input of
// qvDrawBezierHelper.
//
// Implementations answer point(i) and tag(i) for 0 <= i < size(); tag(i)
// answers 0 outside that range. Readers in the library never ask for an
// index outside [0, size()) and treat a negative size as 0.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>

class qvPointSetInterface {
public:
    virtual ~qvPointSetInterface() = default;

    virtual qvCrdOf<double> point(int index) const = 0;
    virtual qvPointTag tag(int index) const = 0;
    virtual int size() const = 0;

protected:
    qvPointSetInterface() = default;
    qvPointSetInterface(qvPointSetInterface const&) = default;
    qvPointSetInterface& operator=(qvPointSetInterface const&) = default;
};
