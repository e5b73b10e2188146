#pragma once
// qvDumpDriverImplementation: the dump driver (see qvDumpDriverObject.hpp).
// Holds the sink (not owned) and the size of the area it was made over.

#include <orvane/rendering/qvDumpDriverObject.hpp>

class qvDumpDriverImplementation : public qvDumpDriverObject {
public:
    qvDumpDriverImplementation(qvDumpDriverUser* user, double x0, double y0, double x1, double y1) noexcept;

    void* query_interface(qvInterfaceInfo const& info) override;

    int available() const override { return 0; }
    unsigned info(int) const override { return 0; }
    qvISafePtr<qvVBufObject> new_master_vbuf() override;
    qvISafePtr<qvVBufObject> new_vbuf(int, long, long, qvISafePtr<qvVBufObject> const&) override { return {}; }
    bool initialized() const override { return user_ != nullptr; }
    double h_quantum() const override { return 1.0; }
    double v_quantum() const override { return 1.0; }
    double h_dpi() const override { return 100.0; }
    double v_dpi() const override { return 100.0; }
    void added_width(long) override {}
    long added_width() const override { return 5; }

    qvDumpDriverUser* user(qvDumpDriverUser* sink) override { return user_ = sink; }
    qvDumpDriverUser* user() const noexcept { return user_; }
    long width() const noexcept { return width_; }
    long height() const noexcept { return height_; }

private:
    qvDumpDriverUser* user_;
    long width_;
    long height_;
};
