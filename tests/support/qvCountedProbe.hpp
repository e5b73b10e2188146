#pragma once
// Instrumented objects for the ownership tests: each probe counts its
// constructions and destructions in a tally the test owns, so a test can
// state "deleted exactly once" without relying on sanitizers alone.

#include <orvane/core/qvRefBase.hpp>

struct qvProbeTally {
    int made = 0;
    int destroyed = 0;
    int alive() const { return made - destroyed; }
};

// A plain (non-intrusive) object with a virtual destructor.
class qvPlainProbe {
public:
    explicit qvPlainProbe(qvProbeTally& tally) : tally_(tally) { ++tally_.made; }
    qvPlainProbe(qvPlainProbe const&) = delete;
    virtual ~qvPlainProbe() { ++tally_.destroyed; }

private:
    qvProbeTally& tally_;
};

// The count as it stands, without changing it.
inline int qvCountOf(qvRefBase const& record) {
    record.bump();
    return record.dec();
}
