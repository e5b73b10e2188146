#pragma once
// Helpers shared by the benchmarks: a container scene over a plain vector
// and a receiver that only counts, so the shape cases measure proxies,
// guards, records and the proxy site rather than a scene's own bookkeeping;
// seeded random points, the same on every run; the raster window the view
// cases draw into; and the names of scratch files.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "qvRasterSettings.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>
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

// n points, each coordinate drawn uniformly from [low, high), x before y,
// by a generator seeded with `seed`.
inline std::vector<qvCrdOf<double>> random_points(std::size_t n, std::uint32_t seed, double low, double high) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> inside(low, high);
    std::vector<qvCrdOf<double>> out(n);
    for (auto& p : out)
        p = {inside(rng), inside(rng)};
    return out;
}

// A 1000 x 1000 raster window that logs nothing; without pixels its records
// are decoded and counted but not rasterised.
inline qvRasterSettings view_bench_window(bool pixels) {
    qvRasterSettings settings;
    settings.window_width = 1000;
    settings.window_height = 1000;
    settings.pixels = pixels;
    settings.log = false;
    return settings;
}

// The folder of scratch files: $TMPDIR when set, else /tmp.
inline std::string scratch_dir() {
    char const* dir = std::getenv("TMPDIR");
    return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

// A scratch file of this process: "<scratch_dir()>/qvbench_<what>_<pid>".
inline std::string scratch_path(std::string const& what) {
    return scratch_dir() + "/qvbench_" + what + "_" + std::to_string(::getpid());
}

}  // namespace bench_support
