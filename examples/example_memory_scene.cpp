// Memory scene: 100,000 rectangles, ellipses and arcs in three layers,
// counted by kind through enumeration, one area drawn into a port that
// counts what it is handed, and the whole scene saved to
// orvane_memory_scene.bin and loaded back into a fresh scene.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "example_port.hpp"

namespace {

// A port that keeps the bytes of every record it is handed, with the
// shape handle zeroed: what a record is, whatever its scene calls it.
class CollectingPort : public ExamplePort {
public:
    std::vector<std::string> records;

    bool draw_shape(qvShapeBase const& record) override {
        std::string bytes(reinterpret_cast<char const*>(&record), static_cast<std::size_t>(record.size));
        std::memset(bytes.data() + 4, 0, 4);
        records.push_back(std::move(bytes));
        return true;
    }
};

const qvMathRectOf<double> everywhere(-1e9, -1e9, 1e9, 1e9);

std::vector<std::string> records_of(qvMemoryScene& scene) {
    CollectingPort port;
    scene.render(port, -1, everywhere, false);
    return port.records;
}

}  // namespace

void example_memory_scene() {
    std::cout << "Memory scene\n";
    constexpr int count = 100000;
    char const* const file = "orvane_memory_scene.bin";

    // Three kinds in turn, each shape on a layer of its own turn; a handle
    // made for a shape is released at once: the shape stays in the scene.
    qvMemoryScene scene(3);
    std::mt19937 rng(20240615);
    std::uniform_real_distribution<double> where(0, 1000), extent(0.5, 8);
    for (int i = 0; i < count; ++i) {
        const double x = where(rng), y = where(rng);
        const qvMathRectOf<double> box(x, y, x + extent(rng), y + extent(rng));
        long handle = 0;
        switch ((i / 3) % 3) {
        case 0: handle = qvRectangle(scene, box)->shape_handle(); break;
        case 1: handle = qvEllipse(scene, box)->shape_handle(); break;
        default: handle = qvArc(scene, box, 30, 300)->shape_handle(); break;
        }
        if (i % 3 != 0)
            scene.shape_layer(handle, i % 3);
    }

    // Enumeration hands out graphics; the typed conversion tells the kinds.
    for (int layer = 0; layer < scene.total_layers(); ++layer) {
        int rectangles = 0, ellipses = 0, arcs = 0;
        for (auto it = scene.enumerate(layer); it; ++it) {
            rectangles += qvRectangle(*it) ? 1 : 0;
            ellipses += qvEllipse(*it) ? 1 : 0;
            arcs += qvArc(*it) ? 1 : 0;
        }
        std::cout << "  layer " << layer << ": " << rectangles << " rectangles, " << ellipses << " ellipses, "
                  << arcs << " arcs\n";
    }

    CollectingPort port;
    const qvMathRectOf<double> area(100, 100, 200, 150);
    scene.render(port, -1, area, false);
    std::cout << "  the area (100, 100)-(200, 150) draws " << port.records.size() << " of " << scene.size(-1)
              << " shapes\n";

    try {
        {
            std::filebuf out;
            out.open(file, std::ios::out | std::ios::binary | std::ios::trunc);
            qvOutputStream os(&out, qvVersion::default_version(), true);
            scene.save(os);
        }
        std::cout << "  saved " << std::filesystem::file_size(file) << " bytes to " << file << '\n';

        qvMemoryScene loaded;
        {
            std::filebuf in;
            in.open(file, std::ios::in | std::ios::binary);
            qvInputStream is(&in);
            loaded.load(is);
        }
        std::cout << "  loaded into a fresh scene, layer sizes";
        for (int layer = 0; layer < loaded.total_layers(); ++layer)
            std::cout << ' ' << loaded.size(layer);
        std::cout << "; every record equal but for its handle: "
                  << (records_of(loaded) == records_of(scene) ? "yes" : "no") << '\n';
    } catch (qvError const& error) {
        std::cout << "  memory scene example failed: " << error << '\n';
    }
}
