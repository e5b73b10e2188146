#pragma once
// qvViewPageScene: the print preview. It is a scene, so a scene layer of a
// preview view shows it, and it draws the picture of another view (the
// printed view manager) laid out on sheets of paper: each page is a part of
// the printed picture (its rectangle, in the printed view's device
// coordinates) and a transformation that places that part on the preview.
// Every page is drawn as a sheet with a shadow, and the printed view's
// layers are drawn into the sheet through a transformed buffer over the
// preview's own buffer. It is also the invalidation listener of that
// transformed buffer: what the printed view's layers report while they are
// drawn comes back here and goes on through the scene's rectangle sender,
// as layer 0, the page scene's only layer.
//
// The placement of a page is the product, applied right to left, of
//   the page area transformation * page transformation i * the print area
//   transformation,
// from the printed picture to the page scene's model coordinates; a sheet
// stands at the page rectangle's corner under the same transformations,
// less the left and top margins.
//
// Keeps true:
//  - the two page vectors have one entry per page, in page order;
//  - the background (sheet and shadow) is built once per page format and
//    owns its palette; the page scene's own palette serves its senders and
//    palette() only;
//  - render leaves the preview port's transformation and palette, and the
//    printed view manager's renderer and clipping, as it found them, also
//    when a layer of the printed view raises; the transformed buffer and
//    the device renderer it draws through live for one render only. So
//    once render has returned, changes of the printed view reach the
//    preview only when the application invalidates it, as page changes do;
//  - a page whose placement is not invertible (a zero scale) or not a
//    number shows no content, and a sheet placed at no finite position is
//    not drawn;
//  - while it renders, a render of the same page scene met on the way (a
//    printed view that shows its own preview) draws no page content.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/shapes/qvScene.hpp>
#include <orvane/views/qvPageFormat.hpp>
#include <orvane/views/qvViewManager.hpp>

#include <cstddef>
#include <memory>
#include <vector>

class qvMemoryScene;

class qvViewPageScene : public qvScene, public qvVBufInvalidate {
public:
    // US Letter, portrait, margins of 36, both transformations the
    // identity, no pages, no background yet.
    explicit qvViewPageScene(qvViewManager view);
    qvViewPageScene(qvViewPageScene const&) = delete;
    qvViewPageScene& operator=(qvViewPageScene const&) = delete;
    ~qvViewPageScene() override;

    // ---- pages (neither change invalidates) --------------------------------
    void addPage(qvMathRectOf<double> const& rect, qvRestrictedTransformation const& t);
    void removeAllPages();
    unsigned totalPages() const noexcept { return page_count_; }

    // ---- layout (each change invalidates the whole scene) ------------------
    qvPageFormat page() const { return format_; }
    // Stores the format and builds the sheet anew for it.
    void page(qvPageFormat const& format);
    qvRestrictedTransformation pageAreaTransformation() const { return page_area_; }
    void pageAreaTransformation(qvRestrictedTransformation const& t);
    qvRestrictedTransformation printAreaTransformation() const { return print_area_; }
    void printAreaTransformation(qvRestrictedTransformation const& t);

    // ---- the scene -----------------------------------------------------------------
    int total_layers() override { return 1; }
    qvPalette& palette() override { return palette_; }
    // Sheets and shadows first, page by page, then each page's content
    // clipped to the part of its rectangle that `area` shows. An inverted
    // (or NaN) area, and a layer other than 0 or -1, draw nothing.
    void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) override;

    // ---- invalidations from the printed view ---------------------------------------
    void open_callback(bool open) override { callback_open_ = open; }
    // Open, and the scene notifies.
    bool callback_ready() override;
    // While ready: sent on the rectangle sender (rectangles as layer 0) and
    // true; otherwise false.
    bool invalidate() override;
    bool invalidate(qvMathRectOf<double> const& rect) override;
    // The unit square at the point.
    bool invalidate(qvCrdOf<double> const& point) override;
    // Each rectangle of the region, in its order.
    bool invalidate(qvBaseRegion const& region) override;

    // Answers qvViewPageScene and qvVBufInvalidate besides the scene's.
    void* query_interface(qvInterfaceInfo const& info) override;

private:
    // The sheet and its shadow for the present format, when there is none.
    void backgroundCreate();
    // The part of page i's rectangle that `area` (page scene coordinates)
    // shows, in the printed picture's coordinates.
    qvGridRegion calculate_invalid_region(qvMathRectOf<double> const& area, std::size_t i) const;
    // Every page's content over the part of it `area` shows.
    void render_content(qvFlavorPort& port, qvMathRectOf<double> const& area);

    std::vector<qvRestrictedTransformation> transformations_;
    std::vector<qvMathRectOf<double>> rects_;
    qvPageFormat format_;
    qvRestrictedTransformation page_area_;
    qvRestrictedTransformation print_area_;
    std::unique_ptr<qvMemoryScene> background_;
    qvViewManager view_;
    qvStandardPalette palette_;
    bool callback_open_ = false;
    unsigned page_count_ = 0;
    bool rendering_ = false;
};

QV_INTERFACE_NAME(qvViewPageScene);
