#pragma once
// qvRasterVBuf: a buffer of the raster test host: the window (every buffer
// new_master_vbuf makes shares the driver's window state) or a memory
// buffer with pixels of its own.
//
// Keeps true: the buffer holds its driver counted; a memory buffer's pixel
// store exists exactly when both sides are positive and the settings draw
// pixels. The window offers qvVBufInvalidate when the settings say so and
// qvVBufOffset when they give it an offset; a memory buffer offers
// qvVBufOffset when its type's info has 0x10 (offset 0 to start with).

#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>

#include "qvRasterDriver.hpp"

class qvRasterVBuf : public qvVBufObject, public qvVBufInvalidate, public qvVBufOffset {
public:
    // The window.
    explicit qvRasterVBuf(qvRasterDriver& driver);
    // A memory buffer of a type.
    qvRasterVBuf(qvRasterDriver& driver, int type, long width, long height);

    void* query_interface(qvInterfaceInfo const& id) override;

    // ---- the buffer ------------------------------------------------------------
    int type() const override { return type_; }
    long width() const override { return window_ ? driver_->window().width : width_; }
    long height() const override { return window_ ? driver_->window().height : height_; }
    unsigned info() const override;
    qvDriverObject& driver() const override { return *driver_; }
    double h_dpi() const override { return driver_->h_dpi(); }
    double v_dpi() const override { return driver_->v_dpi(); }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override;
    // Moves the pixels within the area (all when null); exposed pixels take
    // the clear colour and, on the window, join its invalid area.
    bool scroll(long dx, long dy, qvMathRectOf<double> const* area) override;

    // ---- qvVBufInvalidate (the window) -------------------------------------------
    void open_callback(bool open) override;
    bool callback_ready() override;
    bool invalidate(qvBaseRegion const& region) override;
    bool invalidate(qvMathRectOf<double> const& rect) override;
    bool invalidate(qvCrdOf<double> const& point) override;
    bool invalidate() override;

    // ---- qvVBufOffset ---------------------------------------------------------------
    void x_offset(long offset) override { offset_ref().x = offset; }
    long x_offset() override { return offset_ref().x; }
    void y_offset(long offset) override { offset_ref().y = offset; }
    long y_offset() override { return offset_ref().y; }

    // ---- probes ------------------------------------------------------------------------
    bool is_window() const noexcept { return window_; }
    qvRasterDriver& raster_driver() const noexcept { return *driver_; }
    // The store, or null (no pixels).
    qvRasterPixels* pixels() const noexcept;
    // The placement: device (x, y) is pixel (floor(x - ox), floor(y - oy)).
    qvCrdOf<double> offset() const noexcept;
    // The buffer's device rectangle (offset, offset + size).
    qvMathRectOf<double> device_rect() const noexcept;
    // A pixel (pixel coordinates); (0, 0, 0, 0) where there is none.
    qvRgbaQuad pixel(long x, long y) const;
    bool save_bmp(char const* path) const;
    bool save_gif(char const* path) const;

private:
    qvCrdOf<long>& offset_ref() noexcept { return window_ ? driver_->window().offset : own_offset_; }
    qvCrdOf<long> const& offset_ref() const noexcept { return window_ ? driver_->window().offset : own_offset_; }
    // Adds `area` to the window's while its channel is ready.
    bool record(qvRegion const& area);

    qvISafePtr<qvRasterDriver> driver_;
    bool window_;
    int type_;
    long width_ = 0, height_ = 0;
    qvCrdOf<long> own_offset_{0, 0};
    std::shared_ptr<qvRasterPixels> own_pixels_;
};

QV_INTERFACE_NAME(qvRasterVBuf);

// Writes a store through the library's BMP (GIF) writer; false without
// pixels or when the file cannot be opened.
bool qvRasterSaveBmp(qvRasterPixels const* pixels, double dpi, char const* path);
bool qvRasterSaveGif(qvRasterPixels const* pixels, double dpi, char const* path);
