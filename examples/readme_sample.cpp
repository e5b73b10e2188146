// The code sample of the README, built with the examples and run by the tests.
#include <orvane/orvane.hpp>

#include <fstream>
#include <iostream>

int main() {
    // A memory scene of two layers, a rectangle on each, saved and loaded back.
    qvMemoryScene scene(2);
    qvRectangle(scene, 0, 0, 10, 10);
    scene.shape_layer(qvRectangle(scene, 20, 0, 30, 10)->shape_handle(), 1);
    {
        std::filebuf out;
        out.open("sample_scene.bin", std::ios::out | std::ios::binary | std::ios::trunc);
        qvOutputStream os(&out, qvVersion::default_version(), true);
        scene.save(os);
    }
    qvMemoryScene loaded;
    std::filebuf in;
    in.open("sample_scene.bin", std::ios::in | std::ios::binary);
    qvInputStream is(&in);
    loaded.load(is);
    std::cout << "loaded: " << loaded.size(0) << " + " << loaded.size(1) << " shapes\n";

    // A paged scene file of one layer and a 1 MiB page cache, closed and
    // opened again read-only.
    qvPagedScene paged;
    paged.create("sample_scene.pgf", 1, qvMathRectOf<double>(0, 0, 1000, 1000), 1 << 20);
    for (int i = 0; i < 100; ++i)
        qvRectangle(paged, 10 * i, 0, 10 * i + 5, 5);
    paged.close();
    paged.open("sample_scene.pgf", 1 << 20, true);
    std::cout << "reopened read-only: " << paged.size(-1) << " shapes\n";
    return loaded.size(0) == 1 && loaded.size(1) == 1 && paged.size(-1) == 100 ? 0 : 1;
}
