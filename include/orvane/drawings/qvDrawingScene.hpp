#pragma once
// qvDrawingScene: a scene whose content is a list of drawings, so drawings
// show wherever a scene can be shown (a scene layer, a scene adapter). The
// scene is the host of its drawings: a drawing's report becomes the
// scene's change notification.
//
// Keeps true:
//  - the scene has one layer, 0; a drawing's rectangle goes out on the
//    rectangle sender as invalidate(rect, 0), so layers showing 0 or -1
//    hear it; nothing goes out while notification is suspended;
//  - adding, removing or re-ordering drawings sends nothing by itself;
//  - the list is the scene's own (not copyable, as a drawing has one
//    host); when the scene dies, every drawing still in it whose host is
//    the scene loses its host before the list releases it, so a surviving
//    drawing never reports to a dead scene;
//  - the palette made for a scene built without one is owned and deleted
//    with it; a palette given is owned only when the caller says so.

#include <orvane/drawings/qvDrawingContainer.hpp>
#include <orvane/drawings/qvDrawingHost.hpp>
#include <orvane/shapes/qvScene.hpp>

class InternalDrawingList;

class qvDrawingScene : public qvScene, public qvDrawingHost {
public:
    // Null makes an owned qvMatchingPalette over a new standard palette.
    explicit qvDrawingScene(qvPalette* palette = nullptr, bool own_palette = false);
    qvDrawingScene(qvDrawingScene const&) = delete;
    qvDrawingScene& operator=(qvDrawingScene const&) = delete;
    ~qvDrawingScene() override;

    // Answers "qvScene" and "qvSceneInterface".
    void* query_interface(qvInterfaceInfo const& info) override;

    qvDrawingContainer* items() const noexcept;

    // Kept for the application; the scene never reads it.
    qvMathRectOf<double> const& limits() const noexcept { return limits_; }
    void limits(qvMathRectOf<double> const& limits) noexcept { limits_ = limits; }

    int total_layers() override { return 1; }
    // Layers above 0 hold nothing; 0 and every negative number draw each
    // visible drawing that meets `area` (last to first when `reverse`),
    // under the scene's palette, which the port gets back on every exit.
    void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) override;
    qvPalette& palette() override { return *palette_; }

    void invalidate(qvMathRectOf<double> const& rect) override;
    void invalidate() override;

private:
    InternalDrawingList* items_;
    qvPalette* palette_;
    bool owns_palette_;
    qvMathRectOf<double> limits_{0, 0, 0, 0};
};
