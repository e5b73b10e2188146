#pragma once
// qvSceneAdapter: a drawing that shows a whole scene inside a rectangle of
// its host's model plane. The scene's model limits are mapped onto the
// rectangle per axis (model_to_bounds); the scene's changes and its
// palette's changes become reports to the adapter's host.
//
// Keeps true:
//  - the scene pointer is the scene listened to, or null once that scene
//    has died first (the rectangle collector hears its end): then nothing
//    is drawn, and the destructor leaves the scene alone;
//  - rendering restores the port's transformation, then its scene and
//    palette, on every exit;
//  - a change mapping raises nothing: where model_to_bounds fails, the
//    whole rectangle is reported instead;
//  - an adapter reached again inside its own render or change mapping
//    (it shows a drawing scene that holds it) does nothing there, so a
//    minimap of itself draws once and reports a bounded number of times;
//  - a copy listens with collectors of its own to the same scene and never
//    owns it; only the adapter built with own_scene deletes the scene.

#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/views/qvReceiverInvalidateHandle.hpp>

#include <memory>

class qvScene;

class qvSceneAdapter : public qvDrawing {
public:
    // Hears the scene's changed rectangles (any layer) and its end.
    class SceneRectCollector : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
    public:
        explicit SceneRectCollector(qvSceneAdapter& adapter);
        ~SceneRectCollector() override;
        void invalidate() override;
        void invalidate(qvMathRectOf<double> const& rect, int layer) override;

    protected:
        void partner_destroyed(qvSenderBase* sender) override;

    private:
        qvSceneAdapter* adapter_;
    };

    // Hears every change of the scene's palette.
    class SceneAttrCollector : public qvReceiverInvalidateHandle {
    public:
        explicit SceneAttrCollector(qvSceneAdapter& adapter);
        void invalidate() override;
        void invalidate(long const& handle, int shared) override;

    private:
        qvSceneAdapter* adapter_;
    };

    // A null scene fails the assertion "scene".
    qvSceneAdapter(qvScene* scene, qvMathRectOf<double> const& limits, bool own_scene);
    qvSceneAdapter(qvSceneAdapter const& other);
    qvSceneAdapter& operator=(qvSceneAdapter const&) = delete;
    ~qvSceneAdapter() override;

    qvScene* scene() const noexcept { return scene_; }

    void render(qvFlavorPort& port, qvMathRectOf<double> const& area) override;
    // The rectangle, whatever rt is.
    qvMathRectOf<double> bbox(qvRestrictedTransformation const* rt) const override;
    virtual qvMathRectOf<double> model_limits() const { return model_limits_; }
    virtual qvMathRectOf<double> rectangle() const { return rectangle_; }
    // Reports the old and the new rectangle, also when they are equal.
    virtual void rectangle(qvMathRectOf<double> const& r);

protected:
    // Limits onto rectangle; the identity when either is empty (x2 < x1
    // or y2 < y1). Raises the rectangle-to-rectangle error for limits of
    // zero size on an axis where the rectangle has some.
    virtual qvRestrictedTransformation model_to_bounds() const;

private:
    void listen();
    void scene_changed(qvMathRectOf<double> const* rect);

    qvScene* scene_;
    qvMathRectOf<double> model_limits_;
    qvMathRectOf<double> rectangle_ = qvMathRectOf<double>::make_empty();
    std::unique_ptr<SceneRectCollector> rect_collector_;
    std::unique_ptr<SceneAttrCollector> attr_collector_;
    bool owns_scene_;
    bool rendering_ = false;
    bool mapping_ = false;
};
