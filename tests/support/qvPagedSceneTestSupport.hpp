#pragma once
// Support of the paged scene tests: a scratch page file of 1 MiB with one
// dynamic segment and an unowned palette, the scene made on demand over
// them (everything is closed in reverse order of making); seeded bytes for
// streams, and a stream read to its end.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>

#include <orvane/core/qvInputStream.hpp>

#include "qvFileTestSupport.hpp"

#include <cstddef>
#include <memory>
#include <random>
#include <string>

namespace paged_scene_test {

inline qvMathRectOf<double> rect(double x1, double y1, double x2, double y2) {
    return qvMathRectOf<double>(qvRectOf<double>(x1, y1, x2, y2));
}

inline std::string user_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
}

inline std::string read_all(qvInputStream& in) {
    std::string bytes;
    char chunk[4000];
    for (int n; (n = in.getn(chunk, static_cast<int>(sizeof chunk))) > 0;) bytes.append(chunk, static_cast<std::size_t>(n));
    return bytes;
}

struct PagedSceneFixture {
    qv_file_test::ScratchDir dir;
    std::string path = dir / "scene.pg";
    qvMatchingPalette palette;
    qvPagedSceneFile file;
    std::unique_ptr<qvPagedSceneSegment> segment;
    std::unique_ptr<qvBasicPagedScene> scene;

    PagedSceneFixture() { file.create(path.c_str(), std::size_t{1} << 20); }
    PagedSceneFixture(PagedSceneFixture const&) = delete;
    PagedSceneFixture& operator=(PagedSceneFixture const&) = delete;
    ~PagedSceneFixture() {
        scene.reset();
        segment.reset();
        file.close();
    }

    // A new scene over a new segment of the file, not yet created or opened.
    qvBasicPagedScene& make() {
        scene.reset();
        segment = std::make_unique<qvPagedSceneSegment>(file);
        scene = std::make_unique<qvBasicPagedScene>(file, &palette, false);
        scene->add_segment(*segment, true);
        return *scene;
    }
    // A new scene created over (0, 0, 100, 100) with layers 0 .. layers-1.
    qvBasicPagedScene& created(int layers) {
        make().create(rect(0, 0, 100, 100));
        for (int l = 0; l < layers; ++l) scene->insert_layer(l);
        return *scene;
    }
};

}  // namespace paged_scene_test
