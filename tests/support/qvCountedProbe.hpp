#pragma once
// Probes that count constructions and destructions in a tally the test owns.
// qvProbeWidget is counted intrusively, seen through two interfaces sharing
// one virtual qvRefBase, as the library's interfaces are.

#include <orvane/core/qvRefBase.hpp>

struct qvProbeTally {
    int made = 0;
    int destroyed = 0;
};

class qvPlainProbe {
public:
    explicit qvPlainProbe(qvProbeTally& tally) : tally_(tally) { ++tally_.made; }
    qvPlainProbe(qvPlainProbe const&) = delete;
    virtual ~qvPlainProbe() { ++tally_.destroyed; }

private:
    qvProbeTally& tally_;
};

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
    explicit qvProbeWidget(qvProbeTally& tally, int area = 6) : tally_(tally), area_(area) { ++tally_.made; }
    ~qvProbeWidget() override { ++tally_.destroyed; }
    int area() const override { return area_; }
    char const* name() const override { return "widget"; }

private:
    qvProbeTally& tally_;
    int area_;
};

// The count as it stands, without changing it.
inline int qvCountOf(qvRefBase const& record) {
    record.bump();
    return record.dec();
}
