#pragma once
// qvViewWindowCacheLayerImplementation: the window-cache layer (see
// qvViewWindowCacheLayerObject.hpp for the modes).
//
// All regions are in device coordinates. The cache stands at its offset
// (qvVBufOffset) when its type accepts one, else at (0, 0); a pixel copy
// between it and the window names device positions on both sides, and the
// buffers place them.
//
// Keeps true:
//  - with both modes off there is no cache and the valid region is empty
//    (every switch-off enforces it);
//  - the valid region lies inside the cache rectangle after every prepare
//    that keeps the cache, and holds only pixels that match the picture: it
//    grows only by areas whose render or read-back succeeded, loses every
//    invalidation the layer records, moves with the cache pixels on a
//    whole-unit scroll (by the same truncated offset, exposed strips
//    removed), and is erased by anything else that may move or stale them
//    (a zoom, a transformation without finite numbers, a failed scroll, a
//    new cache);
//  - driver and renderer are held weakly: the view owns them;
//  - the render procedure table is constant data, so nothing is made at
//    start-up.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/views/qvBaseRendererObject.hpp>
#include <orvane/views/qvViewWindowCacheLayerObject.hpp>

#include "views/qvViewActiveLayerImplementation.hpp"

class qvViewWindowCacheLayerImplementation : public virtual qvViewWindowCacheLayerObject,
                                             public qvViewActiveLayerImplementation {
public:
    enum : unsigned { copy_back_mode = 1, buffered_mode = 2, double_render_mode = 4 };

    explicit qvViewWindowCacheLayerImplementation(unsigned modes);
    ~qvViewWindowCacheLayerImplementation() override;

    // ---- the switches --------------------------------------------------------------
    void buffered(bool on) override;
    bool buffered() const override { return (modes_ & buffered_mode) != 0; }
    void copy_back(bool on) override;
    bool copy_back() const override { return (modes_ & copy_back_mode) != 0; }
    void double_render(bool on) override;
    bool double_render() const override { return (modes_ & double_render_mode) != 0; }

    // ---- the layer -------------------------------------------------------------------
    void reinitialize() override;
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void apply_left(qvRestrictedTransformation const& t) override;
    void apply_right(qvRestrictedTransformation const& t) override;
    // A new layer with the same modes except double rendering (off).
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- probes (tests) ----------------------------------------------------------------
    qvVBufObject* cache() const noexcept { return cache_.get(); }
    qvBaseRegion const& valid_region() const noexcept { return valid_; }
    qvCrdOf<double> cache_origin() const noexcept { return cache_origin_; }
    int buffer_type() const noexcept { return buffer_type_; }
    // (x, y, x + width, y + height) of the cache; (1, 1, 0, 0) without one.
    qvMathRectOf<double> cache_rect() const;

private:
    using Procedure = bool (qvViewWindowCacheLayerImplementation::*)(qvViewVBuf&, qvCrdOf<double> const&);
    static const Procedure procedures[4];

    bool any_mode() const noexcept { return (modes_ & (copy_back_mode | buffered_mode)) != 0; }
    void release_cache();
    void update_cache();
    // Pending region cut to the window (prepare step); the renderer's window
    // rectangle at its offset, or false when it has no positive size.
    bool window_rect(qvMathRectOf<double>& out) const;

    bool render_direct(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    bool render_copy_back(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    bool render_buffered(qvViewVBuf& vbuf, qvCrdOf<double> const& origin);
    // The children drawn into the cache over `area`; adds it to the valid
    // region when they finished.
    bool render_into_cache(qvBaseRegion const& area);
    // Copies `area` from the cache into the buffer at `origin`.
    bool copy_from_cache(qvViewVBuf& vbuf, qvBaseRegion const& area, qvCrdOf<double> const& origin);

    unsigned modes_;
    qvIWeakPtr<qvDriverObject> driver_;
    qvIWeakPtr<qvBaseRendererObject> renderer_;
    int buffer_type_ = -1;
    qvCrdOf<double> cache_origin_{0.0, 0.0};
    qvISafePtr<qvVBufObject> cache_;
    bool offsettable_ = false;
    qvGridRegion valid_;
    qvGridRegion cached_part_;
    qvGridRegion missing_part_;
};
