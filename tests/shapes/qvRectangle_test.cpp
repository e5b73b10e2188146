// Rectangles in a scene: what the setter and the constructors store; and,
// for the four box-shaped kinds, their identities, their interaction
// answers and the proxy classes registered at start-up.

#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvPieSlice.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvGeometryValuesTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;

// One shape of each box-shaped kind, each with a record, in one scene.
struct FourKinds {
    RecordingScene scene;
    qvRectangle rectangle{scene, raw(0, 0, 1, 1)};
    qvEllipse ellipse{scene, raw(0, 0, 1, 1)};
    qvArc arc{scene, raw(0, 0, 1, 1), 0, 90};
    qvPieSlice pie_slice{scene, raw(0, 0, 1, 1), 0, 90};

    std::vector<qvGraphic> graphics() const { return {rectangle, ellipse, arc, pie_slice}; }
};

}  // namespace

// ---------------------------------------------------------------------------
// The box

TEST(qvRectangle, The_setter_stores_the_box_as_given_and_the_constructors_order_it) {
    RecordingScene scene;
    qvRectangle r(scene);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { r->rectangle(); }, "Attempt to query uninitialized shape");
    r->rectangle(raw(3, 3, 1, 1));
    EXPECT_EQ(r->rectangle(), raw(3, 3, 1, 1));
    EXPECT_EQ(r->bbox(), raw(3, 3, 1, 1));

    EXPECT_EQ(qvRectangle(scene, 3, 3, 1, 1, nullptr)->rectangle(), raw(1, 1, 3, 3));
    EXPECT_EQ(qvRectangle(scene, 5, 1, 2, 4)->rectangle(), raw(2, 1, 5, 4));
    EXPECT_EQ(qvRectangle(scene, qvCrdOf<double>(5, 1), qvCrdOf<double>(2, 4))->rectangle(), raw(2, 1, 5, 4));
    EXPECT_EQ(qvRectangle(scene, raw(5, 1, 2, 4))->rectangle(), raw(5, 1, 2, 4));

    r->rectangle(raw(0.1, -0.1, 1e-3, 3));
    const qvMathRectOf<double> back = r->rectangle();
    EXPECT_EQ(back.x1, static_cast<double>(0.1f));
    EXPECT_NE(back.x1, 0.1);
    EXPECT_EQ(back.y1, static_cast<double>(-0.1f));
    EXPECT_EQ(back.x2, static_cast<double>(1e-3f));

    // Beyond float, and not numbers: refused, the box stays as it was (it
    // used to be stored as the conversion gave it: infinities and NaN).
    const double inf = std::numeric_limits<double>::infinity();
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { r->rectangle(raw(1e300, 0, -inf, -1e-300)); },
                                                   "Coordinate is not finite or out of range");
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { r->rectangle(raw(0, std::nan(""), 1, 1)); },
                                                   "Coordinate is not finite or out of range");
    EXPECT_EQ(r->rectangle(), back);
    r->rectangle(raw(-3.4e38, 0, 3.4e38, -1e-300));   // the float range is the bound
    EXPECT_EQ(r->rectangle().x2, static_cast<double>(3.4e38f));
}

TEST(qvRectangle, A_given_attribute_is_connected_after_the_box) {
    RecordingScene scene;
    qvRectangle source(scene, raw(0, 0, 1, 1));
    source->line_style(qvLineStyle{2});
    const long attribute = source->attribute_handle();
    ASSERT_NE(attribute, 0);

    const qvRectangle with(scene, 0, 0, 2, 2, &*source);
    EXPECT_EQ(with->attribute_handle(), attribute);
    EXPECT_EQ(with->rectangle(), raw(0, 0, 2, 2));
    EXPECT_EQ(qvRectangle(scene, raw(0, 0, 1, 1))->attribute_handle(), 0);
}

// ---------------------------------------------------------------------------
// Identities, interactions, proxy classes

TEST(BoxShapes, Each_offers_its_own_data_access_and_its_bases_and_nothing_beyond) {
    FourKinds k;
    qvRectangleProxy& rectangle = *k.rectangle;
    EXPECT_EQ(rectangle.query_interface(qvInterfaceIdentity<qvRectangleProxy>()), &rectangle);
    EXPECT_EQ(rectangle.query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()),
              static_cast<qvRectangleDataAccess*>(&rectangle));
    EXPECT_EQ(rectangle.query_interface(qvInterfaceIdentity<qvQueryBboxDataAccess>()),
              static_cast<qvQueryBboxDataAccess*>(&rectangle));
    EXPECT_EQ(rectangle.query_interface(qvInterfaceIdentity<qvEllipseDataAccess>()), nullptr);
    EXPECT_EQ(rectangle.query_interface(qvInterfaceIdentity<qvEllipseProxy>()), nullptr);

    qvEllipseProxy& ellipse = *k.ellipse;
    EXPECT_EQ(ellipse.query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()),
              static_cast<qvRectangleDataAccess*>(&ellipse));
    EXPECT_EQ(ellipse.query_interface(qvInterfaceIdentity<qvArcDataAccess>()), nullptr);

    for (qvGraphicInterface* arc_kind : {qvGraphic(k.arc).get(), qvGraphic(k.pie_slice).get()}) {
        auto* const arc = static_cast<qvArcDataAccess*>(arc_kind->query_interface(qvInterfaceIdentity<qvArcDataAccess>()));
        ASSERT_NE(arc, nullptr);
        EXPECT_EQ(arc->angle2(), 90.0);
        EXPECT_NE(arc_kind->query_interface(qvInterfaceIdentity<qvEllipseDataAccess>()), nullptr);
        EXPECT_EQ(arc_kind->query_interface(qvInterfaceIdentity<qvRectangleProxy>()), nullptr);
    }
    EXPECT_EQ(k.arc->query_interface(qvInterfaceIdentity<qvPieSliceProxy>()), nullptr);
    EXPECT_EQ(k.pie_slice->query_interface(qvInterfaceIdentity<qvArcProxy>()), nullptr);
}

TEST(BoxShapes, Every_interaction_is_answered_with_the_rectangle_data_access_they_offer) {
    FourKinds k;
    static const qvInterfaceInfo unknown;
    for (qvGraphic const& g : k.graphics()) {
        EXPECT_TRUE(shape_test::interactions_are_offered(*g));
        for (qvInterfaceInfo const* interaction :
             {&qvInterfaceIdentity<qvMoveInteraction>(), &qvInterfaceIdentity<qvRotateInteraction>(), &unknown})
            EXPECT_EQ(g->query_interaction(*interaction), &qvInterfaceIdentity<qvRectangleDataAccess>());
    }
}

TEST(BoxShapes, Records_find_their_proxy_classes_and_typed_handles_take_only_their_kind) {
    FourKinds k;
    std::vector<long> handles;
    for (qvGraphic const& g : k.graphics())
        handles.push_back(qvQueryInterface<qvSingleShapeProxyInterface>(g.get())->shape_handle());
    const std::vector<long> ids = {1, 2, 15, 16};
    for (std::size_t i = 0; i < handles.size(); ++i)
        EXPECT_EQ(k.scene.records.at(handles[i])->proxy_class_id, ids[i]);

    // Proxies made by the proxy classes from the records alone.
    k.rectangle.release();
    k.ellipse.release();
    k.arc.release();
    k.pie_slice.release();
    k.scene.take_log();
    const qvGraphic made = k.scene.instantiate(handles[2]);
    EXPECT_EQ(k.scene.take_log(), std::vector<std::string>{"connect " + std::to_string(handles[2])});
    EXPECT_EQ(k.scene.entries(), 1u);
    EXPECT_TRUE(qvArc(made));
    EXPECT_FALSE(qvPieSlice(made));
    EXPECT_EQ(qvArc(made)->angle2(), 90.0);

    EXPECT_TRUE(qvRectangle(k.scene, handles[0]));
    EXPECT_TRUE(qvEllipse(k.scene, handles[1]));
    EXPECT_TRUE(qvPieSlice(k.scene, handles[3]));
    for (long h : {handles[0], handles[2], handles[3]})
        EXPECT_FALSE(qvEllipse(k.scene, h)) << h;
    EXPECT_FALSE(qvRectangle(k.scene, handles[1]));
    EXPECT_FALSE(qvArc(k.scene, handles[3]));
}
