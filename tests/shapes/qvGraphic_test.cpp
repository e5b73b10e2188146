// Graphic handles and what they rely on: counting and type-tested
// conversion, handles of existing shapes, the copying constructor, the
// proxy base's answers, the composite operations of the data-access
// interfaces, the interface identities, and attribute objects on a scene.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/shapes/qvAnchorDataAccess.hpp>
#include <orvane/shapes/qvArcDataAccess.hpp>
#include <orvane/shapes/qvBezierDataAccess.hpp>
#include <orvane/shapes/qvEllipseData.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>
#include <orvane/shapes/qvImageDataAccess.hpp>
#include <orvane/shapes/qvInteractionIdentities.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvRestrictedImageDataAccess.hpp>
#include <orvane/shapes/qvRestrictedTextDataAccess.hpp>
#include <orvane/shapes/qvScaledImageDataAccess.hpp>
#include <orvane/shapes/qvScaledTextDataAccess.hpp>
#include <orvane/shapes/qvShapeOrderInterface.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using TestRect = shape_test::TestShapeProxy<qvRectangleData, 101>;
using TestEllipse = shape_test::TestShapeProxy<qvEllipseData, 102>;
QV_INTERFACE_NAME(TestRect);
QV_INTERFACE_NAME(TestEllipse);

namespace {

using attribute_object_test::count_of;
using palette_test::expect_raises;
using shape_test::RecordingScene;
using Log = std::vector<std::string>;
using Rect = qvSpecificGraphic<TestRect>;
using Ellipse = qvSpecificGraphic<TestEllipse>;

char const* const uninitialized = "Attempt to query uninitialized shape";

int count_of(qvGraphicInterface const* g) {
    const int n = g->bump() - 1;
    g->dec();
    return n;
}

// A graphic that is no shape proxy, as a graphic list is.
class TestList : public qvGraphicInterface {
public:
    explicit TestList(qvContainerScene& scene) : scene_(scene) {}
    qvContainerScene& scene() const override { return scene_; }
    void destroy_shape() override {}

private:
    qvContainerScene& scene_;
};

class Handles : public ::testing::Test {
protected:
    // A new shape of proxy P in the scene, with a record.
    template <class P>
    qvSpecificGraphic<P> shape() {
        qvSpecificGraphic<P> handle(qvISafePtr<P>(new P(scene)));
        handle->box(qvMathRectOf<float>(1, 2, 3, 4));
        return handle;
    }
    std::string bytes_of(long handle) {
        qvShapeBase const* const record = scene.records.at(handle);
        return std::string(reinterpret_cast<char const*>(record), static_cast<std::size_t>(record->size));
    }

    qvGenericProxyClass<TestRect> rect_class;
    qvGenericProxyClass<TestEllipse> ellipse_class;
    RecordingScene scene;
};

}  // namespace

// ---------------------------------------------------------------------------
// Counting and conversion

TEST(qvGraphic, An_empty_handle_holds_three_zero_fields) {
    const qvGraphic empty, null_graphic(static_cast<qvGraphicInterface*>(nullptr));
    for (qvGraphic const* g : {&empty, &null_graphic}) {
        EXPECT_EQ(g->counter(), nullptr);
        EXPECT_EQ(g->object(), nullptr);
        EXPECT_FALSE(g->invasive());
        EXPECT_FALSE(*g);
    }
    const Rect typed;
    EXPECT_EQ(typed.counter(), nullptr);
    EXPECT_FALSE(static_cast<qvGraphic>(typed));
}

TEST_F(Handles, A_graphic_of_another_kind_converts_to_an_empty_handle_and_counts_nothing) {
    const Ellipse ellipse = shape<TestEllipse>();
    const qvGraphic g = ellipse;
    EXPECT_EQ(count_of(g.get()), 2);
    Rect rectangle(g);
    EXPECT_FALSE(rectangle);
    EXPECT_EQ(count_of(g.get()), 2);

    rectangle = shape<TestRect>();
    const int deaths = shape_test::proxy_deaths;
    rectangle = g;   // releases its rectangle first
    EXPECT_FALSE(rectangle);
    EXPECT_EQ(shape_test::proxy_deaths, deaths + 1);
    EXPECT_EQ(count_of(g.get()), 2);
}

TEST_F(Handles, A_handle_through_qvGraphic_and_back_is_the_same_proxy) {
    Rect rectangle = shape<TestRect>();
    qvGraphic g = rectangle;
    EXPECT_EQ(g.get(), static_cast<qvGraphicInterface*>(rectangle.get()));
    EXPECT_TRUE(g.invasive());
    const Rect back(g);
    EXPECT_EQ(back.get(), rectangle.get());
    EXPECT_EQ(count_of(g.get()), 3);
    g.release();
    EXPECT_FALSE(g);
    EXPECT_EQ(count_of(back.get()), 2);
}

TEST_F(Handles, Assigning_a_handle_that_shares_the_counter_counts_nothing) {
    Rect rectangle = shape<TestRect>();
    Rect const& same = rectangle;
    rectangle = same;
    EXPECT_EQ(count_of(rectangle.get()), 1);
    Rect other = rectangle;
    other = rectangle;
    qvGraphic g = rectangle;
    g = qvGraphic(rectangle);
    const qvGraphic& g_again = g;
    g = g_again;
    EXPECT_EQ(count_of(rectangle.get()), 3);
    other = qvGraphic(rectangle);   // the type-tested form releases, then shares again
    EXPECT_EQ(count_of(rectangle.get()), 3);
}

TEST_F(Handles, The_handle_of_an_existing_shape_comes_from_the_proxy_site) {
    const long h = shape<TestRect>()->shape_handle();   // the record stays, its proxy dies
    const Rect rectangle(scene, h);
    ASSERT_TRUE(rectangle);
    EXPECT_EQ(rectangle->shape_handle(), h);
    EXPECT_EQ(count_of(rectangle.get()), 1);
    const Ellipse ellipse(scene, h);
    EXPECT_FALSE(ellipse);
    EXPECT_EQ(count_of(rectangle.get()), 1);
    expect_raises<qvErrorFrom<qvProxySite>>([&] { Rect unknown(scene, 99); }, "Shape handle not found");
}

// ---------------------------------------------------------------------------
// The copying constructor

TEST_F(Handles, A_copy_is_a_new_shape_with_every_byte_of_its_source_but_handle_and_attribute) {
    Rect source = shape<TestRect>();
    source->user_handle(42);
    source->line_style(qvLineStyle{2});   // gives the source an attribute
    std::memset(reinterpret_cast<char*>(source->record()) + 40, 0x5C, 8);
    const long from = source->shape_handle();
    const long attribute = source->attribute_handle();
    ASSERT_NE(attribute, 0);
    scene.take_log();

    const Rect copy(scene, source, true);
    ASSERT_TRUE(copy);
    const long to = copy->shape_handle();
    EXPECT_NE(to, from);
    EXPECT_EQ(scene.take_log(), (Log{"allocate 48 -> " + std::to_string(to), "disconnect " + std::to_string(to),
                                     "connect " + std::to_string(to)}));
    std::string expected = bytes_of(from);
    const std::int32_t handle_field = static_cast<std::int32_t>(to), no_attribute = 0;
    expected.replace(4, 4, reinterpret_cast<char const*>(&handle_field), 4);
    expected.replace(20, 4, reinterpret_cast<char const*>(&no_attribute), 4);
    EXPECT_EQ(bytes_of(to), expected);
    EXPECT_EQ(count_of(copy.get()), 1);

    const Rect linked(scene, source, false);
    EXPECT_EQ(linked->attribute_handle(), attribute);
    EXPECT_EQ(count_of(scene.palette(), attribute), 2);
}

TEST_F(Handles, Only_a_shape_of_the_handles_kind_is_copied) {
    const Ellipse ellipse = shape<TestEllipse>();
    const qvGraphic list(new TestList(scene));
    const qvGraphic none;
    scene.take_log();
    const std::size_t shapes = scene.records.size();
    for (qvGraphic const* source : {static_cast<qvGraphic const*>(&none), &list}) {
        const Rect copy(scene, *source, false);
        EXPECT_FALSE(copy);
    }
    const Rect from_ellipse(scene, ellipse, false);
    EXPECT_FALSE(from_ellipse);
    EXPECT_EQ(scene.records.size(), shapes);
    EXPECT_TRUE(scene.log.empty());

    const Rect unmade(qvISafePtr<TestRect>(new TestRect(scene)));
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { Rect copy(scene, unmade, true); }, uninitialized);
    EXPECT_EQ(scene.records.size(), shapes);
}

// ---------------------------------------------------------------------------
// The proxy base

namespace {

struct ExposedRect : TestRect {
    using TestRect::TestRect;
    using TestRect::connect_scene;
};

}  // namespace

TEST_F(Handles, The_proxy_base_answers_its_parts_and_reads_its_header) {
    auto* const proxy = new ExposedRect(scene);
    const qvGraphic held(proxy);
    qvSingleShapeProxyBase* const base = proxy;
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvSingleShapeProxyBase>()), base);
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvSingleShapeProxyInterface>()),
              static_cast<qvSingleShapeProxyInterface*>(proxy));
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvGraphicInterface>()), held.get());
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvGraphicProxyInterface>()),
              static_cast<qvGraphicProxyInterface*>(proxy));
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvAttributeFolderInterface>()),
              static_cast<qvAttributeFolderInterface*>(proxy));
    EXPECT_EQ(base->query_interface(qvInterfaceIdentity<qvRectangleDataAccess>()), nullptr);
    EXPECT_EQ(proxy->query_interaction(qvInterfaceIdentity<qvMoveInteraction>()), nullptr);

    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->shape_handle(); }, uninitialized);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->proxy_class_id(); }, uninitialized);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->user_handle(); }, uninitialized);
    EXPECT_EQ(proxy->attribute_handle(), 0);
    EXPECT_EQ(proxy->attribute_palette(), &scene.palette());
    EXPECT_EQ(&proxy->scene(), &scene);
    expect_raises<qvAssertionError>([&] { proxy->connect_scene(scene); }, "!_scene");
}

// ---------------------------------------------------------------------------
// Composite operations of the data-access interfaces

namespace {

// A point set in memory that logs each virtual call it receives.
class RecordingPoints : public qvBezierDataAccess {
public:
    std::vector<std::string> calls;
    std::vector<qvCrdOf<double>> points;
    std::vector<qvPointTag> tags;

    using qvBezierDataAccess::insert;
    qvMathRectOf<double> bbox() override { return {}; }
    void insert(int n_from, int n, qvCrdOf<double> const* p) override {
        calls.push_back("insert " + std::to_string(n_from) + " " + std::to_string(n));
        points.insert(points.begin() + n_from, p, p + n);
        tags.insert(tags.begin() + n_from, static_cast<std::size_t>(n), qvPointOnCurve);
    }
    void insert(int n_from, int n, qvCrdOf<double> const* p, qvPointTag const*) override { insert(n_from, n, p); }
    void remove(int, int) override {}
    int size() override { return static_cast<int>(points.size()); }
    qvCrdOf<double> point(int i) override { return points.at(static_cast<std::size_t>(i)); }
    void point(int i, qvCrdOf<double> p) override { points.at(static_cast<std::size_t>(i)) = p; }
    qvPointTag tag(int i) override { return tags.at(static_cast<std::size_t>(i)); }
    void tag(int i, qvPointTag t) override {
        calls.push_back("tag " + std::to_string(i) + " " + std::to_string(t));
        tags.at(static_cast<std::size_t>(i)) = t;
    }
};

class RecordingArc : public qvArcDataAccess {
public:
    std::vector<std::string> calls;
    qvMathRectOf<double> bbox() override { return {}; }
    qvMathRectOf<double> rectangle() override { return {}; }
    void rectangle(qvMathRectOf<double> const&) override {}
    qvCrdOf<double> center() override { return {}; }
    void center(qvCrdOf<double>) override {}
    double x_radius() override { return 0; }
    void x_radius(double r) override { calls.push_back("x " + std::to_string(r)); }
    double y_radius() override { return 0; }
    void y_radius(double r) override { calls.push_back("y " + std::to_string(r)); }
    double angle1() override { return 0; }
    void angle1(double a) override { calls.push_back("a1 " + std::to_string(a)); }
    double angle2() override { return 0; }
    void angle2(double a) override { calls.push_back("a2 " + std::to_string(a)); }
};

}  // namespace

TEST(qvPointSetDataAccess, Single_point_forms_insert_one_point_where_they_say) {
    RecordingPoints set;
    set.push_back({1, 1});
    set.push_back({2, 2});
    set.push_front({0, 0});
    set.insert(2, {9, 9});
    set.push_back({3, 3});
    EXPECT_EQ(set.calls, (Log{"insert 0 1", "insert 1 1", "insert 0 1", "insert 2 1", "insert 4 1"}));
    EXPECT_EQ(set.points, (std::vector<qvCrdOf<double>>{{0, 0}, {1, 1}, {9, 9}, {2, 2}, {3, 3}}));
}

TEST(qvBezierDataAccess, Pieces_and_segment_ends_are_sequences_of_single_changes) {
    RecordingPoints set;
    set.push_back({0, 0});
    set.push_back({5, 5});
    set.calls.clear();
    set.insert_bezier(1, {1, 1}, {2, 2});
    EXPECT_EQ(set.calls, (Log{"insert 1 1", "tag 1 2", "insert 2 1"}));
    EXPECT_EQ(set.tags, (std::vector<qvPointTag>{qvPointOnCurve, qvPointControl, qvPointOnCurve, qvPointOnCurve}));
    set.calls.clear();
    set.insert_bezier(4, {6, 6}, {7, 7}, {8, 8});
    EXPECT_EQ(set.calls, (Log{"insert 4 1", "tag 4 2", "insert 5 1", "tag 5 2", "insert 6 1"}));
    set.calls.clear();
    set.end_segment();
    EXPECT_EQ(set.calls, (Log{"tag 6 3"}));

    set.calls.clear();
    set.close_segment();   // ends on a point of the curve: only retagged
    EXPECT_EQ(set.calls, (Log{"tag 6 4"}));
    set.tag(6, qvPointControl);
    set.calls.clear();
    set.close_segment();   // ends on a control point: point 0 closes it
    EXPECT_EQ(set.calls, (Log{"insert 7 1", "tag 7 4"}));
    EXPECT_EQ(set.points.back(), set.points.front());
}

TEST(qvArcDataAccess, Radius_and_span_set_both_values_in_order) {
    RecordingArc arc;
    arc.radius(2.5);
    arc.span(10, 20);
    EXPECT_EQ(arc.calls, (Log{"x 2.500000", "y 2.500000", "a1 10.000000", "a2 20.000000"}));
}

// ---------------------------------------------------------------------------
// Identities and attribute objects

namespace {

template <class I>
void expect_start_up_record(char const* name) {
    void* const record = qvLookupRegistry(name);
    EXPECT_EQ(record, static_cast<void const*>(&qvInterfaceIdentity<I>())) << name;
    qvRemoveRegistry(name);
}

}  // namespace

TEST(ShapeIdentities, Each_is_the_start_up_record_of_its_name) {
    expect_start_up_record<qvQueryBboxDataAccess>("qvQueryBboxDataAccess");
    expect_start_up_record<qvRectangleDataAccess>("qvRectangleDataAccess");
    expect_start_up_record<qvEllipseDataAccess>("qvEllipseDataAccess");
    expect_start_up_record<qvArcDataAccess>("qvArcDataAccess");
    expect_start_up_record<qvPointSetDataAccess>("qvPointSetDataAccess");
    expect_start_up_record<qvBezierDataAccess>("qvBezierDataAccess");
    expect_start_up_record<qvAnchorDataAccess>("qvAnchorDataAccess");
    expect_start_up_record<qvTextDataAccess>("qvTextDataAccess");
    expect_start_up_record<qvRestrictedTextDataAccess>("qvRestrictedTextDataAccess");
    expect_start_up_record<qvScaledTextDataAccess>("qvScaledTextDataAccess");
    expect_start_up_record<qvImageDataAccess>("qvImageDataAccess");
    expect_start_up_record<qvRestrictedImageDataAccess>("qvRestrictedImageDataAccess");
    expect_start_up_record<qvScaledImageDataAccess>("qvScaledImageDataAccess");
    expect_start_up_record<qvGraphicListDataAccess>("qvGraphicListDataAccess");
    expect_start_up_record<qvMoveInteraction>("qvMoveInteraction");
    expect_start_up_record<qvScaleInteraction>("qvScaleInteraction");
    expect_start_up_record<qvExtendedScaleInteraction>("qvExtendedScaleInteraction");
    expect_start_up_record<qvRotateInteraction>("qvRotateInteraction");
    expect_start_up_record<qvGraphicInterface>("qvGraphicInterface");
    expect_start_up_record<qvGraphicProxyInterface>("qvGraphicProxyInterface");
    expect_start_up_record<qvSingleShapeProxyInterface>("qvSingleShapeProxyInterface");
    expect_start_up_record<qvSingleShapeProxyBase>("qvSingleShapeProxyBase");
    expect_start_up_record<qvScene>("qvScene");
    expect_start_up_record<qvSceneInterface>("qvSceneInterface");
    expect_start_up_record<qvContainerScene>("qvContainerScene");
    expect_start_up_record<qvContainerSceneInterface>("qvContainerSceneInterface");
    expect_start_up_record<qvShapeOrderInterface>("qvShapeOrderInterface");
    expect_start_up_record<qvFlavorPort>("qvFlavorPort");
}

TEST_F(Handles, A_container_scene_answers_its_four_scene_identities) {
    qvDynamicInterface& dynamic = scene;
    EXPECT_EQ(dynamic.query_interface(qvInterfaceIdentity<qvContainerScene>()), static_cast<qvContainerScene*>(&scene));
    EXPECT_EQ(dynamic.query_interface(qvInterfaceIdentity<qvContainerSceneInterface>()),
              static_cast<qvContainerSceneInterface*>(&scene));
    EXPECT_EQ(dynamic.query_interface(qvInterfaceIdentity<qvScene>()), static_cast<qvScene*>(&scene));
    EXPECT_EQ(dynamic.query_interface(qvInterfaceIdentity<qvSceneInterface>()), static_cast<qvSceneInterface*>(&scene));
    EXPECT_EQ(dynamic.query_interface(qvInterfaceIdentity<qvShapeOrderInterface>()), nullptr);
}

TEST_F(Handles, Attribute_objects_on_a_scene_take_one_reference_in_its_palette) {
    qvPalette& palette = scene.palette();
    const long h = palette.alloc(false);
    {
        const qvAttributeProxy plain(scene, h);
        EXPECT_EQ(count_of(palette, h), 2);
        EXPECT_EQ(plain.attribute_palette(), &palette);
        const qvSharedAttributeProxy shared(scene, h);
        EXPECT_EQ(count_of(palette, h), 3);
        const qvAttributeProxy none(scene, 0);
        EXPECT_EQ(none.attribute_palette(), &palette);
    }
    EXPECT_EQ(count_of(palette, h), 1);
}
