#pragma once
// Helpers of the shape and rendering benchmarks: a container scene over a
// plain vector, a receiver and a dump driver sink that only count, so the
// cases measure proxies, guards, records, the proxy site and the drawing
// road rather than a scene's own bookkeeping or a sink's output.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/rendering/qvDumpDriverUser.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench_support {

// A scene keeping its records in a vector (handle h is record h - 1), every
// shape in layer 0; it draws, enumerates and saves nothing.
class VectorScene : public qvContainerScene {
public:
    VectorScene() = default;
    VectorScene(VectorScene const&) = delete;
    VectorScene& operator=(VectorScene const&) = delete;
    ~VectorScene() override {
        for (qvShapeBase* record : records_)
            delete record;
    }

    // Takes over a record block as the next handle's record; the record.
    qvShapeBase* add(qvShapeBase* record) {
        records_.push_back(record);
        record->shape_handle = static_cast<std::int32_t>(records_.size());
        return record;
    }
    void reserve(std::size_t n) { records_.reserve(n); }

    qvPalette& palette() override { return palette_; }
    bool read_only() override { return false; }
    qvShapeBase* connect(long h) override {
        return h >= 1 && static_cast<std::size_t>(h) <= records_.size() ? records_[static_cast<std::size_t>(h - 1)]
                                                                          : nullptr;
    }
    void disconnect(qvShapeBase*) override {}
    qvShapeBase* allocate(int size, qvShapeBase* old) override {
        if (old != nullptr) {
            qvShapeBase*& slot = records_[static_cast<std::size_t>(old->shape_handle - 1)];
            return slot = qvResizeShapeRecord(old, size);
        }
        return add(qvNewShapeRecord(size));
    }
    void destroy(qvShapeBase* record) override {
        records_[static_cast<std::size_t>(record->shape_handle - 1)] = nullptr;
        delete record;
    }
    void shape_layer(long, int) override {}
    int shape_layer(long) override { return 0; }
    void insert_layer(int) override {}
    void delete_layer(int) override {}
    void move_layer(int, int) override {}
    int size(int) const override { return static_cast<int>(records_.size()); }
    qvIndirectIterator<qvGraphic> enumerate(int) override { return {}; }
    int total_layers() override { return 1; }
    void render(qvFlavorPort&, int, qvMathRectOf<double> const&, bool) override {}
    void load(qvInputStream&) override {}
    void save(qvOutputStream&) const override {}

private:
    qvStandardPalette palette_;
    std::vector<qvShapeBase*> records_;
};

// Counts the rectangles it is sent.
class CountingReceiver : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    ~CountingReceiver() override { disconnect_all(); }
    void invalidate() override {}
    void invalidate(qvMathRectOf<double> const&, int) override { ++received; }
    std::int64_t received = 0;
};

// Counts every call a dump driver makes on it.
class CountingDumpSink : public qvDumpDriverUser {
public:
    long calls = 0;
    void transformation(qvRestrictedTransformation const&) override { ++calls; }
    void clip(qvRegion const&) override { ++calls; }
    void fill_attributes(qvRgbColor, long, qvBitmap const&) override { ++calls; }
    void line_attributes(qvRgbColor, double, long, qvLinePattern) override { ++calls; }
    void polymarker(qvCrdOf<double> const*, long) override { ++calls; }
    void marker_attributes(long, qvBitmap const&) override { ++calls; }
    void font_attributes(long, char const*, long, long) override { ++calls; }
    void rectangle(qvMathRectOf<double> const&) override { ++calls; }
    void ellipse(qvMathRectOf<double> const&) override { ++calls; }
    void restricted_text(char const*, qvCrdOf<double> const&, double, unsigned) override { ++calls; }
    void scaled_text(char const*, qvCrdOf<double> const&, double, double, double, unsigned) override { ++calls; }
    void polyline(qvCrdOf<double> const*, long) override { ++calls; }
    void polygon(qvCrdOf<double> const*, long) override { ++calls; }
    void bezier(qvCrdOf<double> const*, qvPointTag const*, long) override { ++calls; }
    void restricted_image(qvCrdOf<double> const&, unsigned, qvBitmapHeader const&, qvColorMapEntry const*,
                          unsigned char const*) override { ++calls; }
    void scaled_image(qvCrdOf<double> const&, qvCrdOf<double> const&, qvCrdOf<double> const&, qvBitmapHeader const&,
                      qvColorMapEntry const*, unsigned char const*) override { ++calls; }
};

}  // namespace bench_support
