#pragma once
// qvViewHeldForCall: one count more on a counted layer for the length of a
// call, also when it throws. A layer that must hand out a handle of itself
// (to its filter, or as a child's parent link) takes one first: a layer
// that no handle owns yet (under construction, or a host's own on the
// stack) would otherwise be deleted when that handle lets go.

#include <orvane/core/qvRefBase.hpp>

class qvViewHeldForCall {
public:
    explicit qvViewHeldForCall(qvRefBase const& counted) noexcept : counted_(counted) { counted_.bump(); }
    qvViewHeldForCall(qvViewHeldForCall const&) = delete;
    qvViewHeldForCall& operator=(qvViewHeldForCall const&) = delete;
    ~qvViewHeldForCall() { counted_.dec(); }

private:
    qvRefBase const& counted_;
};
