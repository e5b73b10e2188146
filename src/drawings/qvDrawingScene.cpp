// The drawing scene: a drawing list drawn as layer 0 of a scene, and the
// host that turns its drawings' reports into the scene's notification.

#include <orvane/drawings/qvDrawingScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include "drawings/InternalDrawingList.hpp"

#include <memory>

qvDrawingScene::qvDrawingScene(qvPalette* palette, bool own_palette) {
    // A failed construction takes nothing: a given palette stays the caller's.
    auto items = std::make_unique<InternalDrawingList>(this);
    std::unique_ptr<qvPalette> made;
    if (palette == nullptr)
        made = std::make_unique<qvMatchingPalette>();
    items_ = items.release();
    palette_ = made ? made.release() : palette;
    owns_palette_ = own_palette || palette == nullptr;
}

qvDrawingScene::~qvDrawingScene() {
    items_->release_hosts();
    delete items_;
    if (owns_palette_)
        delete palette_;
}

void* qvDrawingScene::query_interface(qvInterfaceInfo const& info) { return qvScene::query_interface(info); }

qvDrawingContainer* qvDrawingScene::items() const noexcept { return items_; }

void qvDrawingScene::render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) {
    if (layer > 0)
        return;
    const qvFlavorPortPalette saved(port, palette_);
    // The walk keeps a pointer to it: a copy that a drawing cannot change.
    const qvRestrictedTransformation t = port.transformation();
    for (qvIndirectIterator<qvDrawing> it = items_->query(area, &t, reverse); it; ++it)
        if (it->visible())
            it->render(port, area);
}

void qvDrawingScene::invalidate(qvMathRectOf<double> const& rect) {
    if (update_notification())
        rect_sender().invalidate(rect, 0);
}

void qvDrawingScene::invalidate() {
    if (update_notification())
        rect_sender().invalidate();
}
