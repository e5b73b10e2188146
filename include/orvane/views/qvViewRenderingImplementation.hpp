#pragma once
// qvViewRenderingImplementation: the flags word and the view filter of a
// layer, with rendering steps that do nothing (render answers false).
//
// Keeps true: flags and filter are stored exactly as given (a layer kind
// that forces bit 0 overrides flags(unsigned), and then both flags
// overloads, since one hides the other); the filter is not owned.

#include <orvane/views/qvViewRendering.hpp>

#include <cstdint>

class qvViewRenderingImplementation : public virtual qvViewRendering {
public:
    unsigned flags(unsigned value) override {
        flags_ = value;
        return flags_;
    }
    unsigned flags() const override { return flags_; }
    qvViewFilter* view_filter(qvViewFilter* filter) override {
        filter_ = filter;
        return filter_;
    }
    qvViewFilter* view_filter() const override { return filter_; }

    void prepare(qvBaseRegion&, bool) override {}
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override { return false; }
    void cleanup() override {}

protected:
    qvViewRenderingImplementation() noexcept = default;
    qvViewRenderingImplementation(qvViewRenderingImplementation const&) noexcept = default;
    qvViewRenderingImplementation& operator=(qvViewRenderingImplementation const&) noexcept = default;

private:
    std::uint32_t flags_ = 0;
    qvViewFilter* filter_ = nullptr;
};
