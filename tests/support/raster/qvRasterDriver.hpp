#pragma once
// qvRasterDriver: the raster test host driver. It draws records into RGBA
// pixel stores in memory, by simple fixed pixel rules (qvRasterCanvas), so
// tests, the example and the benchmarks can look at what a view draws; and
// it logs what the library asks of it, fails on request, and keeps a
// window's invalidation channel as a host window would.
//
// Objects: the driver makes buffers (qvRasterVBuf), buffers make draw
// objects (qvRasterDraw, a new one per new_draw). A buffer holds its driver
// and a draw object its buffer, counted. Every buffer new_master_vbuf makes
// is a view of the one window: they share its pixel store, its offset and
// its invalidation state, which the driver keeps.
//
// Window invalidation: the channel is open at start; open_callback sets it;
// force_not_ready(true) makes callback_ready() false whatever it is. While
// ready, invalidations add to the invalid area (a region, or the whole
// window); take_invalid() hands it over (the whole as the window
// rectangle) and clears it. Scrolls of the window add the strips they
// expose whatever the channel, as an expose would.
//
// The log: one line per new_master_vbuf, new_vbuf, new_bitmap_vbuf,
// new_draw, clip, brush_origin, copy, scroll, draw_shape, invalidation call
// and cache drop; rectangles are written "(x1 y1 x2 y2)".

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverBitmapVBuf.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvRgbaQuad.hpp>

#include "qvRasterPixels.hpp"
#include "qvRasterSettings.hpp"

#include <map>
#include <memory>
#include <string>
#include <vector>

class qvRasterVBuf;

// The calls fail_next can make fail: new_vbuf giving null or an empty
// (0 x 0) buffer, new_draw giving null, copy and scroll answering false.
enum class qvRasterOp { new_vbuf_null, new_vbuf_empty, new_draw, copy, scroll };

class qvRasterDriver : public qvDriverObject, public qvDriverAttributeCache, public qvDriverBitmapVBuf {
public:
    static qvISafePtr<qvRasterDriver> create(qvRasterSettings const& settings = {});

    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- the driver ------------------------------------------------------------
    int available() const override { return static_cast<int>(settings_.buffer_types.size()); }
    unsigned info(int type) const override;
    qvISafePtr<qvVBufObject> new_master_vbuf() override;
    // A width x height buffer of the type (no pixels when a side is not
    // positive); null for a type the driver does not have.
    qvISafePtr<qvVBufObject> new_vbuf(int type, long width, long height,
                                      qvISafePtr<qvVBufObject> const& compatible) override;
    bool initialized() const override { return true; }
    double h_quantum() const override { return 1.0; }
    double v_quantum() const override { return 1.0; }
    double h_dpi() const override { return settings_.dpi; }
    double v_dpi() const override { return settings_.dpi; }
    void added_width(long width) override { settings_.added_width = width; }
    long added_width() const override { return settings_.added_width; }

    // ---- qvDriverAttributeCache (offered when the settings say so) -------------
    void drop(qvPalette* palette, long handle) override;
    void drop_all(qvPalette* palette) override;

    // ---- qvDriverBitmapVBuf (offered when image types are set) -----------------
    bool supports(int image_type) override;
    qvISafePtr<qvVBufObject> new_bitmap_vbuf(int type, long width, long height,
                                             qvColorMapReference const& colors) override;

    // ---- probes and switches ---------------------------------------------------
    qvRasterSettings const& settings() const noexcept { return settings_; }
    std::vector<std::string> const& log() const noexcept { return log_; }
    void clear_log() { log_.clear(); }
    // The next n calls of op fail, after `after` calls of it that succeed.
    void fail_next(qvRasterOp op, int n, int after = 0);
    void force_not_ready(bool on) noexcept { not_ready_ = on; }
    // The invalid area collected on the window, then none.
    qvRegion take_invalid();
    // A window pixel (pixel coordinates); (0, 0, 0, 0) where there is none.
    qvRgbaQuad pixel(long x, long y) const;
    // Records of a kind drawn so far (answered true).
    long draw_count(int kind) const;
    long draw_count() const;
    // The window's pixels through the library's BMP and GIF writers; false
    // when the window has no pixels or the file cannot be written.
    bool save_bmp(char const* path) const;
    bool save_gif(char const* path) const;

    // ---- used by buffers and draw objects --------------------------------------
    struct Window {
        std::shared_ptr<qvRasterPixels> pixels;
        long width = 0, height = 0;
        qvCrdOf<long> offset{0, 0};
        bool open = true;
        bool whole = false;
        qvRegion area;
    };
    Window& window() noexcept { return window_; }
    bool ready() const noexcept { return window_.open && !not_ready_; }
    void note(std::string line);
    bool logging() const noexcept { return settings_.log; }
    // Whether this call of op is to fail (counts the call).
    bool fails(qvRasterOp op);
    void count_drawn(int kind) { ++drawn_[kind]; }

private:
    explicit qvRasterDriver(qvRasterSettings const& settings);

    struct Failure {
        int after = 0;
        int n = 0;
    };

    qvRasterSettings settings_;
    Window window_;
    bool not_ready_ = false;
    std::vector<std::string> log_;
    std::map<qvRasterOp, Failure> failures_;
    std::map<int, long> drawn_;
};

QV_INTERFACE_NAME(qvRasterDriver);

// "(x1 y1 x2 y2)" with the shortest decimal forms.
std::string qvRasterText(qvMathRectOf<double> const& rect);
std::string qvRasterText(qvBaseRegion const& region);
