// Paged scene: rectangles (half spread evenly, half in clusters) written
// through typed handles into orvane_paged_scene.pgf, the scene closed,
// reopened read-only, and one window drawn into a port that counts what
// it is handed. The count comes from the command line (1,000,000 when none
// is given: about 110 MB of file); each step's time is printed.

#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <chrono>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <random>

#include "example_port.hpp"

namespace {

class CountingPort : public ExamplePort {
public:
    long hits = 0;

    bool draw_shape(qvShapeBase const&) override {
        ++hits;
        return true;
    }
};

class Stopwatch {
public:
    double lap() {
        const auto now = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(now - start_).count();
        start_ = now;
        return seconds;
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

void example_paged_scene(int argc, char** argv) {
    std::cout << "Paged scene\n";
    long count = 1000000;
    if (argc > 1) count = std::max(1L, std::strtol(argv[1], nullptr, 10));
    char const* const file = "orvane_paged_scene.pgf";
    const qvMathRectOf<double> bounds(0, 0, 100000, 100000);
    try {
        Stopwatch watch;
        qvPagedScene scene;
        scene.create(file, 2, bounds, 64 << 20);
        std::mt19937 rng(20261207);
        std::uniform_real_distribution<double> where(0, 99990), extent(1, 9), spread(-300, 300);
        std::uniform_int_distribution<int> cluster(0, 15);
        for (long i = 0; i < count; ++i) {
            double x = where(rng), y = where(rng);
            if (i % 2 == 1) {   // one of 16 clusters
                const int c = cluster(rng);
                x = 6000 + 6000.0 * (c % 4) * 4 + spread(rng);
                y = 6000 + 6000.0 * (c / 4) * 4 + spread(rng);
            }
            qvRectangle r(scene, qvMathRectOf<double>(x, y, x + extent(rng), y + extent(rng)));
            if (i % 5 == 0) scene.shape_layer(r->shape_handle(), 1);
        }
        const double made = watch.lap();
        scene.close();
        const double closed = watch.lap();
        std::cout << "  " << count << " rectangles made in " << made << " s, closed in " << closed << " s\n";

        if (!scene.open(file, 64 << 20, true)) {
            std::cout << "  could not reopen " << file << '\n';
            return;
        }
        const double opened = watch.lap();
        CountingPort port;
        scene.render(port, -1, qvMathRectOf<double>(5000, 5000, 15000, 15000), false);
        const double drawn = watch.lap();
        std::cout << "  reopened read-only in " << opened << " s: " << scene.size(-1) << " shapes in "
                  << scene.total_layers() << " layers, " << scene.device().page_count() << " pages, "
                  << std::filesystem::file_size(file) << " bytes\n";
        std::cout << "  the window (5000, 5000)-(15000, 15000) draws " << port.hits << " shapes in " << drawn
                  << " s\n";
        scene.close();
    } catch (qvError const& e) {
        std::cout << "  " << e << '\n';
    }
}
