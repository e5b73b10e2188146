// The print preview (see qvViewPageScene.hpp).
//
// A render has two passes over the pages: first every sheet (the
// background scene drawn under the page's placement), then every page's
// content. The content is the printed view manager redrawn by a device
// renderer over a transformed buffer that maps the printed view's device
// coordinates onto the preview port's buffer; the manager's clipping is
// set to the part of the page the preview area needs, so a page outside
// the area costs one region computation and nothing is drawn beyond it.
//
// Borrowing the printed manager for that redraw changes two of its
// settings: the device renderer attaches itself as the manager's renderer,
// and the clipping is set per page. Both are put back once the temporary
// renderer and buffer are gone (qvPageScenePrintedView), on every way out.

#include <orvane/views/qvViewPageScene.hpp>

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/rendering/qvTVBuf.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>

#include "rendering/qvRestoreOrAbort.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The printed manager's renderer and clipping, put back when this ends.
// Made before the temporary renderer, so it ends after it.
class qvPageScenePrintedView {
public:
    explicit qvPageScenePrintedView(qvViewManagerObject& manager)
        : manager_(manager), renderer_(manager.renderer()), clipped_(!manager.no_clipping()),
          clipping_(manager.clipping()) {}
    qvPageScenePrintedView(qvPageScenePrintedView const&) = delete;
    qvPageScenePrintedView& operator=(qvPageScenePrintedView const&) = delete;
    ~qvPageScenePrintedView() {
        qvRestoreOrAbort([this] {
            manager_.renderer(renderer_);
            manager_.clipping(clipped_ ? &clipping_ : nullptr);
        });
    }

private:
    qvViewManagerObject& manager_;
    qvBaseRenderer renderer_;
    bool clipped_;
    qvGridRegion clipping_;
};

// The port's transformation as render found it, put back on the way out
// only when the drawing left another one (the printed view's layers set
// theirs on the same port). The scene layer that draws this scene goes on
// through the port, rectangle by rectangle, under the transformation it
// set; a driver is never handed again the one it already has.
class qvPageSceneShownTransformation {
public:
    explicit qvPageSceneShownTransformation(qvFlavorPort& port) : port_(port), shown_(port.transformation()) {}
    qvPageSceneShownTransformation(qvPageSceneShownTransformation const&) = delete;
    qvPageSceneShownTransformation& operator=(qvPageSceneShownTransformation const&) = delete;
    ~qvPageSceneShownTransformation() {
        qvRestoreOrAbort([this] {
            if (!(port_.transformation() == shown_))
                port_.transformation(shown_);
        });
    }
    qvRestrictedTransformation const& shown() const noexcept { return shown_; }

private:
    qvFlavorPort& port_;
    qvRestrictedTransformation shown_;
};

bool page_scene_finite(qvMathRectOf<double> const& r) {
    return std::isfinite(r.x1) && std::isfinite(r.y1) && std::isfinite(r.x2) && std::isfinite(r.y2);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

qvViewPageScene::qvViewPageScene(qvViewManager view)
    : format_(qvHardcopyUnits::paper_width(0), qvHardcopyUnits::paper_height(0), qvPageFormat::portrait, 36.0,
              36.0, 36.0, 36.0),
      view_(std::move(view)) {}

qvViewPageScene::~qvViewPageScene() { background_.reset(); }

void* qvViewPageScene::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvViewPageScene, qvVBufInvalidate>(this, info))
        return found;
    return qvScene::query_interface(info);
}

// ---------------------------------------------------------------------------
// Pages and layout

void qvViewPageScene::addPage(qvMathRectOf<double> const& rect, qvRestrictedTransformation const& t) {
    rects_.reserve(rects_.size() + 1);
    transformations_.push_back(t);
    rects_.push_back(rect);
    ++page_count_;
}

void qvViewPageScene::removeAllPages() {
    transformations_.clear();
    rects_.clear();
    page_count_ = 0;
}

void qvViewPageScene::page(qvPageFormat const& format) {
    format_ = format;
    background_.reset();
    backgroundCreate();
    invalidate();
}

void qvViewPageScene::pageAreaTransformation(qvRestrictedTransformation const& t) {
    page_area_ = t;
    invalidate();
}

void qvViewPageScene::printAreaTransformation(qvRestrictedTransformation const& t) {
    print_area_ = t;
    invalidate();
}

// A black shadow 5 points down and right of a white sheet, both outlined in
// black. The attribute is edited with copy on write, so the sheet's white
// fill leaves the shadow's black.
void qvViewPageScene::backgroundCreate() {
    if (background_)
        return;
    auto scene = std::make_unique<qvMemoryScene>(nullptr, false);
    {
        qvAttributeProxy style(*scene, 0);
        style.line_color(0.0f, 0.0f, 0.0f);
        style.line_style(qvLineStyle{0});
        style.fill_style(qvFillStyle{0});
        style.line_width(1.0);
        style.fill_color(0.0f, 0.0f, 0.0f);
        const qvMathRectOf<double> sheet = format_.page_limits();
        qvRectangle(*scene, 5.0, 5.0, sheet.x2 + 5.0, sheet.y2 + 5.0, &style);
        style.fill_color(1.0f, 1.0f, 1.0f);
        qvRectangle(*scene, 0.0, 0.0, sheet.x2, sheet.y2, &style);
    }
    background_ = std::move(scene);
}

// ---------------------------------------------------------------------------
// Rendering

qvGridRegion qvViewPageScene::calculate_invalid_region(qvMathRectOf<double> const& area, std::size_t i) const {
    const qvRestrictedTransformation placed = page_area_ * transformations_[i] * print_area_;
    qvGridRegion shown;
    if (!qvCanBeInverted(placed))
        return shown;
    const qvMathRectOf<double> seen = qvTVBufObject::transform_area(area, qvInvert(placed));
    qvMathRectOf<double> const& page = rects_[i];
    // NaN fails every comparison below, so a placement that is not a number
    // shows nothing.
    const double x1 = std::max(seen.x1, page.x1), y1 = std::max(seen.y1, page.y1);
    const double x2 = std::min(seen.x2, page.x2), y2 = std::min(seen.y2, page.y2);
    if (!(x1 < x2 && y1 < y2))
        return shown;
    const qvMathRectOf<double> part(x1, y1, x2, y2);
    if (page_scene_finite(part))
        shown = part;
    return shown;
}

void qvViewPageScene::render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) {
    if (!(area.x1 <= area.x2 && area.y1 <= area.y2) || layer > 0 || layer < -1)
        return;
    // The background scene sets its own palette on the port.
    const qvFlavorPortPalette palette_kept(port, port.palette());
    const qvPageSceneShownTransformation transformation_kept(port);
    const qvRestrictedTransformation& shown = transformation_kept.shown();
    backgroundCreate();

    const qvMathRectOf<double> sheet = format_.page_limits();
    const qvMathRectOf<double> covered(0.0, 0.0, sheet.x2 + 10.0, sheet.y2 + 10.0);
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        const double x = print_area_.m0() * rects_[i].x1 + transformations_[i].m4() - format_.left_margin();
        const double y = print_area_.m3() * rects_[i].y1 + transformations_[i].m5() - format_.top_margin();
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        const qvFlavorPortTransformation placed(port, shown * (page_area_ * qvTranslation(x, y)));
        background_->render(port, layer, covered, reverse);
    }
    render_content(port, area);
}

void qvViewPageScene::render_content(qvFlavorPort& port, qvMathRectOf<double> const& area) {
    if (!view_ || rendering_ || rects_.empty())
        return;
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } const busy(rendering_);
    const qvRestrictedTransformation shown = port.transformation();
    // Declared in this order so that they end in the reverse one: the
    // renderer, then the buffer, then the printed view's settings come back.
    std::optional<qvPageScenePrintedView> printed;
    std::optional<qvTVBuf> buffer;
    qvDeviceRenderer renderer;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        const qvGridRegion part = calculate_invalid_region(area, i);
        if (part.empty())
            continue;
        if (!renderer) {
            printed.emplace(*view_);
            buffer.emplace(port.draw().vbuf());
            renderer = qvDeviceRenderer(qvISafePtr<qvVBufObject>(*buffer, static_cast<qvVBufObject*>(buffer->get())),
                                        view_);
            if (!renderer)
                return;
        }
        view_->clipping(&part);
        (*buffer)->transformation(shown * (page_area_ * transformations_[i] * print_area_));
        (*buffer)->vbuf_invalidate(this);
        renderer->redraw(part, false);
    }
}

// ---------------------------------------------------------------------------
// Invalidations

bool qvViewPageScene::callback_ready() { return callback_open_ && update_notification(); }

bool qvViewPageScene::invalidate() {
    if (!callback_ready())
        return false;
    rect_sender().invalidate();
    return true;
}

bool qvViewPageScene::invalidate(qvMathRectOf<double> const& rect) {
    if (!callback_ready())
        return false;
    rect_sender().invalidate(rect, 0);
    return true;
}

bool qvViewPageScene::invalidate(qvCrdOf<double> const& point) {
    return invalidate(qvMathRectOf<double>(point.x, point.y, point.x + 1.0, point.y + 1.0));
}

bool qvViewPageScene::invalidate(qvBaseRegion const& region) {
    if (!callback_ready())
        return false;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        rect_sender().invalidate(*it, 0);
    return true;
}
