// The code sample of the README, built with the examples and run by the tests.
#include <orvane/orvane.hpp>

#include <fstream>
#include <iostream>

int main() {
    // A memory scene of two layers, a rectangle on each, both holding one
    // shared style, saved and loaded back. A change through the style's
    // proxy edits the attribute in place for every shape that holds it.
    qvMemoryScene scene(2);
    qvSharedAttributeProxy style(scene, 0);
    style.fill_style(qvFillStyle(2));
    style.fill_color(qvRgbColor(0.2f, 0.6f, 0.3f));
    const qvRectangle first(scene, 0, 0, 10, 10, &style);
    const qvRectangle second(scene, 20, 0, 30, 10, &style);
    scene.shape_layer(second->shape_handle(), 1);
    style.fill_color(qvRgbColor(0.8f, 0.3f, 0.2f));
    const bool restyled = first->fill_color().red() == 0.8f && second->fill_color().red() == 0.8f;
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
    if (!paged.open("sample_scene.pgf", 1 << 20, true)) {
        std::cerr << "sample_scene.pgf is not a page file\n";
        return 1;
    }
    std::cout << "reopened read-only: " << paged.size(-1) << " shapes\n";
    return restyled && loaded.size(0) == 1 && loaded.size(1) == 1 && paged.size(-1) == 100 ? 0 : 1;
}
