#pragma once
// qvSelectionBase: the common part of the proxy selections, which fill a
// graphic list with the graphics of a container scene found under a spot,
// inside a box or inside a polygon. A selection builds its own small view
// once: a view manager whose background paints nothing, a scene layer over
// every layer of the scene in front (identity mapping when built on a
// scene: model coordinates; a clone of a view's scene layer: that view's
// device coordinates), and a device renderer whose driver is the selector.
// Each select renders the selection's box at once, front to back, so the
// topmost shape is reported first; every hit reaches the embedded callback.
// A spot's box is grown first by the farthest its scene's pens and markers
// can reach (see qvSpotArea), so a wide line or a large marker is asked
// about wherever its ink lies.
//
// Flags: 0x01 every hit (else the first only), 0x02 toggle listed graphics,
// 0x04 query only (true when a listed graphic is hit; the list is never
// changed), 0x08 touching is enough (box, polygon), 0x10 clear the list
// first (not together with 0x04), 0x20 closed shapes and texts hit over
// their whole area (spot). Paged scenes have no z-order: there the first
// hit comes in their index order.
//
// Keeps true:
//  - a select renders its own box only: what the view held before is
//    dropped first, so an edit never widens a select;
//  - a select hands the scene's records straight to the selector, through
//    the scene layer's rendering helper, in the order the view's redraw
//    would; the view's own road is kept for a layer with a view filter, a
//    clip or an invalidation restriction;
//  - between selects the scene layer is parked (always dirty, notifying
//    nothing): a scene edit costs the selection's view constant time and
//    leaves nothing pending there;
//  - a copy builds a view, renderer and selector of its own (same kind and
//    wrapped driver, a clone of the scene layer) reporting to its own
//    callback, so it works on after the original is gone;
//  - a shape reported twice in one select (a paged scene hands over each
//    connected copy) is added, toggled or counted once;
//  - the callback finds listed graphics through a hash of the listed
//    single-shape graphics' handles, built at the first hit that needs it.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/interaction/qvSelector.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewManager.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class qvContainerScene;
class qvGraphicListDataAccess;
class qvPalette;
class qvSelectionReach;

class qvSelectionBase {
public:
    class Callback : public qvSelector::Callback {
    public:
        // Takes the flags of one select; clears the list for 0x10 without
        // 0x04.
        void setup(qvGraphicListDataAccess* list, unsigned flags);
        bool selected(qvShapeBase const* record, qvScene const* scene) override;
        bool found() const noexcept { return found_; }
        void scene(qvContainerScene* scene) noexcept { scene_ = scene; }
        qvContainerScene* scene() const noexcept { return scene_; }

    private:
        // Whether `handle` is listed; builds the hash on first need.
        bool listed(long handle);
        // Removes the first listed graphic of `handle`, in list order.
        void remove_listed(long handle);

        qvGraphicListDataAccess* list_ = nullptr;
        qvContainerScene* scene_ = nullptr;
        bool toggle_ = false;
        bool stop_at_first_ = true;
        bool query_only_ = false;
        bool found_ = false;
        bool list_was_empty_ = true;
        bool hashed_ = false;
        std::unordered_map<long, int> listed_;
        // Whether `handle` is reported for the first time in this select;
        // notes it.
        bool first_report(long handle);

        // Shapes reported in this select: a shape a scene hands over twice
        // (a paged scene's connected copies) counts once. The first few are
        // scanned in a vector kept from select to select, so a select of a
        // few hits allocates nothing for them; past seen_scan_limit they
        // all go to the hash.
        static constexpr std::size_t seen_scan_limit = 16;
        std::vector<long> seen_;
        std::unordered_set<long> seen_many_;
    };

    // Raises qvErrorFrom<qvSelectionBase> "Cannot use proxy selection with
    // non-container scene" for a layer whose scene is no container scene or
    // which shows no scene (an empty handle included).
    static qvContainerScene& container_of(qvViewSceneLayerObject& layer);
    static qvContainerScene& container_of(qvViewSceneLayer const& layer);
    // The driver of the view `layer` is in; empty when none.
    static qvISafePtr<qvDriverObject> view_driver(qvViewSceneLayer const& layer);

protected:
    qvSelectionBase();
    qvSelectionBase(qvSelectionBase const&) = delete;
    qvSelectionBase& operator=(qvSelectionBase const&) = delete;
    ~qvSelectionBase();

    void initialize(qvISafePtr<qvDriverObject> const& selector, qvContainerScene& scene);
    void initialize(qvISafePtr<qvDriverObject> const& selector, qvViewSceneLayerObject& layer);
    // Renders `area` through `selector`; the callback's found flag.
    bool select(qvGraphicListDataAccess* list, qvMathRectOf<double> const& area, unsigned flags,
                qvDriverObject& selector);
    qvViewSceneLayer const& scene_layer() const noexcept { return layer_; }
    // The farthest the ink of the scene's records reaches beyond their boxes.
    double reach();

    qvViewManager view_;
    qvDeviceRenderer renderer_;
    qvViewSceneLayer layer_;
    Callback callback_;
    std::unique_ptr<qvSelectionReach> reach_;
    // The selector's master buffer, kept from select to select (it holds
    // the selector counted; initialize drops it).
    qvISafePtr<qvVBufObject> vbuf_;

private:
    void build_view(qvISafePtr<qvDriverObject> const& selector);
};

// A view manager of a select's own whose background paints nothing, so a
// render reports the shapes alone. Shared by the proxy and callback
// selections and the handle bar's pick.
qvViewManager qvSelectionView();
// Parks a selection's scene layer between selects: scene edits then cost
// its view constant time and leave it nothing pending.
void qvSelectionPark(qvViewSceneLayer const& layer);
// Renders `area` of `view` at once, front to back, over nothing collected
// before, and parks `layer` again. Shared by the proxy and callback
// selections.
void qvSelectionRender(qvViewManager const& view, qvViewSceneLayer const& layer, qvMathRectOf<double> const& area);
// Hands `selector` what the selection view's redraw of `area` would, the
// same records in the same order, without going through the view; false
// (nothing done) when the layer needs the view's road (a view filter).
bool qvSelectionRenderDirect(qvViewSceneLayer const& layer, qvDriverObject& selector,
                             qvMathRectOf<double> const& area);
// The same through `vbuf`, a master buffer of `selector` kept from an
// earlier select (made here when empty or of another driver): a selector's
// master buffer holds nothing of a redraw, so one serves every select.
bool qvSelectionRenderDirect(qvViewSceneLayer const& layer, qvDriverObject& selector,
                             qvMathRectOf<double> const& area, qvISafePtr<qvVBufObject>& vbuf);
// A spot's box grown by `reach` (see qvSelectionReach), and so that a
// tolerance of 0 still covers an area.
qvMathRectOf<double> qvSpotArea(qvMathRectOf<double> const& box, double tolerance, double reach);
