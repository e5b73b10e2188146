#pragma once
// Support of the basic paged scene tests: a scratch page file of 1 MiB with
// one dynamic segment and an unowned palette, the scene made on demand over
// them; everything is closed in reverse order of making.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>

#include "qvFileTestSupport.hpp"

#include <cstddef>
#include <memory>
#include <string>

namespace paged_scene_test {

inline qvMathRectOf<double> rect(double x1, double y1, double x2, double y2) {
    return qvMathRectOf<double>(qvRectOf<double>(x1, y1, x2, y2));
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
