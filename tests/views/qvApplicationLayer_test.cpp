// Layers an application writes itself, derived from the installed layer
// bases alone (only <orvane/...> headers here): added to a view, drawn by
// the device renderer, invalidated up to the host's window, cloned and
// removed as the library's own layers are. The window is the raster host's
// (200 x 120, a solid background), so each fact is a pixel or the region
// the window collected.

#include "qvRasterCanvas.hpp"
#include "qvRasterDriver.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewDataLayer.hpp>
#include <orvane/views/qvViewDataLayerImplementation.hpp>
#include <orvane/views/qvViewLayerImplementation.hpp>
#include <orvane/views/qvViewVBuf.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

const qvRgbColor app_paper(0.9f, 0.9f, 0.8f);
const qvRgbColor app_ink(0.2f, 0.4f, 0.7f);

qvRgbaQuad app_quad(qvRgbColor const& c) {
    return qvRgbaQuad(qvRasterChannel(c.red()), qvRasterChannel(c.green()), qvRasterChannel(c.blue()), 255);
}

bool same_pixel(qvRgbaQuad a, qvRgbaQuad b) {
    return a.red() == b.red() && a.green() == b.green() && a.blue() == b.blue();
}

// Fills one rectangle with its own ink, where the redraw repairs. Base is
// the layer base it derives from; Model says whether the rectangle is in
// model coordinates (through the data layer's mapping) or device ones.
template <class Base, bool Model>
class AppBoxLayer : public Base {
public:
    explicit AppBoxLayer(Rect box) : box_(box), ink_(palette_, 0) {
        ink_.fill_style(qvFillStyle(2));
        ink_.fill_color(app_ink);
    }

    Rect device_box() const {
        if constexpr (Model)
            return this->scene_to_device(box_);
        else
            return box_;
    }

    int renders = 0;

    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override {
        ++renders;
        qvGridRegion work(device_box());
        work *= this->prepared_region();
        work *= vbuf.clipping();
        qvFlavorPort* const port = vbuf.port();
        if (work.empty() || port == nullptr)
            return true;
        vbuf.push();
        vbuf.mul_clipping(work);
        vbuf.enforce_settings();
        {
            const qvFlavorPortTransformation device(*port, qvTranslation(origin.x, origin.y));
            const qvFlavorPortPalette own(*port, &palette_);
            qvSimpleRectangle square;
            square->rectangle(device_box());
            square->record()->attribute_handle = static_cast<std::int32_t>(ink_.attr_handle());
            port->draw_shape(*square->record());
        }
        vbuf.pop();
        vbuf.enforce_settings();
        return true;
    }

    qvViewBaseLayer clone() override {
        auto* const twin = new AppBoxLayer(box_);
        const qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(twin));
        twin->copy(*this);
        return held;
    }

private:
    Rect box_;
    qvStandardPalette palette_;
    qvAttributeProxy ink_;
};

using AppDeviceLayer = AppBoxLayer<qvViewLayerImplementation, false>;
using AppModelLayer = AppBoxLayer<qvViewDataLayerImplementation, true>;

// A device layer that stays put when the view moves, as the README tells
// a host to write one: the view's change reaches it through apply_left.
class AppFixedLayer : public AppDeviceLayer {
public:
    using AppDeviceLayer::AppDeviceLayer;
    void apply_left(qvRestrictedTransformation const& t) override {
        AppDeviceLayer::apply_left(t);
        if (t.is_identity())
            return;
        invalidate(device_box(), true);
        invalidate(qvTransformRect(device_box(), t), true);
    }
};

// A view on a 200 x 120 raster window with a solid background, drawn once.
struct AppView {
    qvViewManager view = qvViewCreator::create();
    qvISafePtr<qvRasterDriver> driver;
    qvDeviceRenderer renderer;

    AppView() {
        view->background()->fill_color(app_paper);
        view->background()->fill_background_color(app_paper);
        view->background()->fill_style(qvFillStyle(2));
        qvRasterSettings settings;
        settings.window_width = 200;
        settings.window_height = 120;
        driver = qvRasterDriver::create(settings);
        renderer = qvDeviceRenderer(qvISafePtr<qvDriverObject>(driver, driver.get()), view);
    }
    void redraw_all() { renderer->redraw(qvGridRegion(Rect(0, 0, 200, 120)), false); }
    // The host's expose: what the window collected, redrawn.
    qvRegion repair() {
        const qvRegion invalid = driver->take_invalid();
        if (!invalid.empty())
            renderer->redraw(invalid, false);
        return invalid;
    }
    bool inked(long x, long y) const { return same_pixel(driver->pixel(x, y), app_quad(app_ink)); }
    bool paper(long x, long y) const { return same_pixel(driver->pixel(x, y), app_quad(app_paper)); }
};

}  // namespace

TEST(qvApplicationLayer, A_derived_device_layer_is_drawn_by_the_view_it_joins) {
    AppView app;
    auto* const box = new AppDeviceLayer(Rect(40, 20, 70, 50));
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
    ASSERT_TRUE(app.view->add(layer, qvOrderLast));
    app.redraw_all();
    EXPECT_GE(box->renders, 1);
    EXPECT_TRUE(app.inked(41, 21));
    EXPECT_TRUE(app.inked(68, 48));
    EXPECT_TRUE(app.paper(39, 21)) << "left of the box";
    EXPECT_TRUE(app.paper(71, 49)) << "right of the box";
    EXPECT_EQ(box->view(), app.view.get()) << "the base keeps its view link";
}

TEST(qvApplicationLayer, Its_invalidation_reaches_the_window_and_only_that_area_is_redrawn) {
    AppView app;
    auto* const box = new AppDeviceLayer(Rect(40, 20, 70, 50));
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
    app.view->add(layer, qvOrderLast);
    app.redraw_all();
    app.driver->take_invalid();

    EXPECT_TRUE(box->invalidate(Rect(50, 30, 60, 35), true)) << "the notification reached the renderer";
    const qvRegion collected = app.repair();
    EXPECT_EQ(qvRasterText(collected), "(50 30 60 35)");
    EXPECT_TRUE(box->redraw_area(false).empty()) << "the redraw validated the layer";
    EXPECT_TRUE(app.inked(55, 32));
}

TEST(qvApplicationLayer, Removing_it_repaints_what_it_covered) {
    AppView app;
    auto* const box = new AppDeviceLayer(Rect(40, 20, 70, 50));
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
    app.view->add(layer, qvOrderLast);
    app.redraw_all();
    app.driver->take_invalid();
    ASSERT_TRUE(app.inked(55, 35));

    ASSERT_TRUE(app.view->remove(layer, false));
    app.repair();
    EXPECT_TRUE(app.paper(55, 35)) << "the box is gone from the window";
    EXPECT_EQ(box->view(), nullptr);
    EXPECT_FALSE(app.view->contains(layer));
}

TEST(qvApplicationLayer, A_derived_data_layer_draws_through_its_mapping_and_repaints_when_it_changes) {
    AppView app;
    auto* const box = new AppModelLayer(Rect(10, 5, 25, 15));
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
    box->mapping(qvRestrictedTransformation(2, 3, 10, 20));  // to (30, 35)-(60, 65)
    box->notify_invalidation(true);
    app.view->add(layer, qvOrderLast);
    app.redraw_all();
    app.driver->take_invalid();
    EXPECT_TRUE(app.inked(31, 36));
    EXPECT_TRUE(app.inked(59, 64));
    EXPECT_TRUE(app.paper(29, 36));

    // Scrolled by (40, 10): the old and the new area reach the window.
    box->scroll(40, 10);
    app.repair();
    EXPECT_TRUE(app.paper(31, 36)) << "the place it left";
    EXPECT_TRUE(app.inked(71, 46));
    EXPECT_TRUE(app.inked(99, 74));
}

// The renderer's scroll moves the window's pixels, the device layer's
// among them. Without the override the box stays where the pixels took it
// and its own place keeps the scene's moved picture: a smear.
TEST(qvApplicationLayer, A_device_layer_that_repaints_on_apply_left_stays_put_when_the_view_scrolls) {
    for (const bool fixed : {false, true}) {
        AppView app;
        const Rect box(40, 20, 70, 50);
        AppDeviceLayer* const layer_object = fixed ? new AppFixedLayer(box) : new AppDeviceLayer(box);
        const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(layer_object));
        app.view->add(layer, qvOrderLast);
        app.redraw_all();
        app.driver->take_invalid();

        app.renderer->scroll(50, 30);
        app.repair();
        EXPECT_EQ(app.inked(52, 32), fixed) << "its own place, fixed " << fixed;
        EXPECT_EQ(app.inked(68, 48), fixed) << "its own place, fixed " << fixed;
        EXPECT_EQ(app.paper(95, 55), fixed) << "where the scroll carried it, fixed " << fixed;
        EXPECT_EQ(app.paper(118, 78), fixed) << "where the scroll carried it, fixed " << fixed;
    }
}

TEST(qvApplicationLayer, A_clone_is_the_same_kind_with_the_same_flags) {
    auto* const box = new AppDeviceLayer(Rect(1, 2, 3, 4));
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
    box->flags(0x24);
    const qvViewLayer twin(layer->clone());
    ASSERT_TRUE(twin);
    EXPECT_NE(twin.get(), layer.get());
    EXPECT_EQ(twin->flags(), 0x24u);
    EXPECT_EQ(twin->view(), nullptr);
}

// A host's layer may be handed an area with an infinity or a NaN; the
// window used to receive infinities as they came. An unbounded area now
// asks for the whole window; a NaN one names no place and is dropped.
TEST(qvApplicationLayer, An_area_the_window_cannot_hold_asks_for_the_whole_window) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<Rect, char const*> cases[] = {{Rect(50, 30, inf, 35), "(0 0 200 120)"},
                                                  {Rect(-inf, -inf, inf, inf), "(0 0 200 120)"},
                                                  {Rect(nan, 30, 60, 35), "()"}};
    for (auto const& [wild, expected] : cases) {
        AppView app;
        auto* const box = new AppDeviceLayer(Rect(40, 20, 70, 50));
        const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(box));
        app.view->add(layer, qvOrderLast);
        app.redraw_all();
        app.driver->take_invalid();

        box->invalidate(wild, true);
        EXPECT_EQ(qvRasterText(app.repair()), expected) << wild.x1 << " " << wild.x2;
        EXPECT_TRUE(app.inked(55, 32));
        EXPECT_TRUE(app.paper(10, 10));
    }
}
