#pragma once
// qvEveryKindScene: a memory scene holding one shape of every drawable
// kind, compact and exact, each with an attribute of its own (pen style 2
// and brush style 2 with colours of its own), laid out in a grid over the
// model area (0, 0, 180, 130). The example, the tests and the benchmarks
// draw it to see every drawing path at once.
//
// Kinds, row by row (cells 45 x 32, shapes inset):
//   rectangle -1, ellipse -2, compact markers -4, exact markers -13,
//   compact polyline -5, exact polyline -14, compact polygon -6,
//   exact polygon -15, compact Bézier -7 (a closed figure), exact Bézier
//   -16 (an open figure), restricted text -9, scaled text -10,
//   restricted image -11 (RGBA), scaled image -12 (RGBA).
// Keeps true: the scene's palette is its own; attribute(kind) is the handle
// the shape of that kind is drawn with; nothing is added after construction.

#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>

#include <map>
#include <vector>

class qvEveryKindScene {
public:
    qvEveryKindScene();
    qvEveryKindScene(qvEveryKindScene const&) = delete;
    qvEveryKindScene& operator=(qvEveryKindScene const&) = delete;

    qvMemoryScene& scene() noexcept { return scene_; }
    // The fourteen kind codes, in drawing order.
    static std::vector<int> const& kinds();
    // The model area the shapes lie in.
    static qvMathRectOf<double> area() noexcept { return qvMathRectOf<double>(0, 0, 180, 130); }
    // The attribute handle of the kind's shape, and its colours.
    long attribute(int kind) const;
    qvRgbColor fill_color(int kind) const;
    qvRgbColor line_color(int kind) const;

private:
    struct Style {
        long attribute = 0;
        qvRgbColor fill, line;
    };

    qvMemoryScene scene_;
    std::map<int, Style> styles_;
};
