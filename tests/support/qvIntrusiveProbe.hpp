#pragma once
// An intrusively counted object seen through two interfaces that share one
// qvRefBase (virtual base), as the library's counted interfaces do.

#include "qvCountedProbe.hpp"

#include <orvane/core/qvRefBase.hpp>

class qvProbeShape : public virtual qvRefBase {
public:
    virtual ~qvProbeShape() = default;
    virtual int area() const = 0;
};

class qvProbeNamed : public virtual qvRefBase {
public:
    virtual ~qvProbeNamed() = default;
    virtual char const* name() const = 0;
};

class qvProbeWidget : public qvProbeShape, public qvProbeNamed {
public:
    explicit qvProbeWidget(qvProbeTally& tally, int area = 6) : tally_(tally), area_(area) {
        ++tally_.made;
    }
    ~qvProbeWidget() override { ++tally_.destroyed; }
    int area() const override { return area_; }
    char const* name() const override { return "widget"; }

private:
    qvProbeTally& tally_;
    int area_;
};
