// Read-only proxies over records they borrow: they read what the scene's
// own proxies read, refuse every write with their own error before a byte
// changes, and leave the record alive and intact when they go.

#include <orvane/rendering/qvReadOnlyShapeProxy.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyline.hpp>

#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const qvCrdOf<double> points[] = {{0, 0}, {10.25, 3}, {7, 12.5}, {-3, 4}};
const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointClosedEnd};

// The scene's records in handle order, as a port receives them.
struct SceneRecords {
    qvMemoryScene scene;
    std::vector<qvGraphic> graphics;
    shape_test::RecordingFlavorPort port;

    SceneRecords() {
        graphics = {qvExactPolyline(scene, 4, points), qvPolyline(scene, 4, points),
                    qvExactBezier(scene, 4, points, tags, nullptr), qvBezier(scene, 4, points, tags, nullptr)};
        scene.render(port, -1, qvMathRectOf<double>(-1e30, -1e30, 1e30, 1e30), false);
    }
    std::unique_ptr<qvShapeBase> record(std::size_t i) const { return port.record(i); }
};

// Runs `write` on the proxy and reports which error class refused it.
template <class Proxy, class Write>
std::string refusal(Proxy& proxy, Write&& write) {
    try {
        write(proxy);
    } catch (qvErrorFrom<qvReadOnlyPolylineProxy> const& e) {
        return std::string("exact polyline: ") + static_cast<char const*>(e);
    } catch (qvErrorFrom<qvReadOnlyCompactPolylineProxy> const& e) {
        return std::string("compact polyline: ") + static_cast<char const*>(e);
    } catch (qvErrorFrom<qvReadOnlyBezierProxy> const& e) {
        return std::string("exact bezier: ") + static_cast<char const*>(e);
    } catch (qvErrorFrom<qvReadOnlyCompactBezierProxy> const& e) {
        return std::string("compact bezier: ") + static_cast<char const*>(e);
    }
    return "accepted";
}

// Every point-set writer of a proxy, and every tag writer of a Bezier one,
// is refused by `name`'s error, and the record's bytes stay as they were.
template <class Proxy>
void expect_writes_refused(qvShapeBase const& record, char const* name) {
    const std::string before = shape_test::record_hex(&record);
    Proxy proxy(record);
    const std::string refused = std::string(name) + ": Cannot modify a read-only shape";
    const qvCrdOf<double> p{1, 1};
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.insert(0, 1, &p); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.push_back(p); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.remove(0, 1); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.point(0, p); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.copy_record(record); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.allocate(1); }), refused);
    EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.allocate(0); }), "accepted");
    if constexpr (requires(Proxy& x, qvPointTag t) { x.tag(0, t); }) {
        const qvPointTag t = qvPointOnCurve;
        EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.insert(0, 1, &p, &t); }), refused);
        EXPECT_EQ(refusal(proxy, [&](Proxy& x) { x.tag(0, t); }), refused);
    }
    EXPECT_EQ(shape_test::record_hex(&record), before);
}

}  // namespace

TEST(qvReadOnlyShapeProxy, Points_and_tags_read_as_the_scene_proxies_read_them) {
    SceneRecords s;
    auto* const scene_compact = qvQueryInterface<qvPointSetDataAccess>(s.graphics[1].get());
    auto const compact = s.record(1);
    qvReadOnlyCompactPolylineProxy proxy(*compact);
    ASSERT_EQ(proxy.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(proxy.point(i), scene_compact->point(i)) << i;
    EXPECT_EQ(proxy.bbox(), compact->bbox());

    auto const exact = s.record(0);
    qvReadOnlyPolylineProxy line(*exact);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(line.point(i), points[i]) << i;

    auto* const scene_curve = qvQueryInterface<qvBezierDataAccess>(s.graphics[3].get());
    auto const curve = s.record(3);
    qvReadOnlyCompactBezierProxy compact_curve(*curve);
    auto const exact_record = s.record(2);
    qvReadOnlyBezierProxy exact_curve(*exact_record);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(compact_curve.point(i), scene_curve->point(i)) << i;
        EXPECT_EQ(compact_curve.tag(i), tags[i]) << i;
        EXPECT_EQ(exact_curve.point(i), points[i]) << i;
        EXPECT_EQ(exact_curve.tag(i), tags[i]) << i;
    }
}

TEST(qvReadOnlyShapeProxy, Each_instance_refuses_every_write_with_its_own_error) {
    SceneRecords s;
    expect_writes_refused<qvReadOnlyPolylineProxy>(*s.record(0), "exact polyline");
    expect_writes_refused<qvReadOnlyCompactPolylineProxy>(*s.record(1), "compact polyline");
    expect_writes_refused<qvReadOnlyBezierProxy>(*s.record(2), "exact bezier");
    expect_writes_refused<qvReadOnlyCompactBezierProxy>(*s.record(3), "compact bezier");

    auto const compact = s.record(1);
    qvReadOnlyCompactPolylineProxy proxy(*compact);
    EXPECT_EQ(refusal(proxy, [](auto& x) { x.rectangle(qvMathRectOf<double>(0, 0, 1, 1)); }),
              "compact polyline: Cannot modify a read-only shape");
}

TEST(qvReadOnlyShapeProxy, Going_away_leaves_the_borrowed_record_intact) {
    SceneRecords s;
    auto const record = s.record(1);
    const std::string before = shape_test::record_hex(record.get());
    {
        qvReadOnlyCompactPolylineProxy proxy(*record);
        EXPECT_EQ(proxy.size(), 4);
    }
    {
        qvReadOnlyCompactPolylineProxy proxy;
        EXPECT_THROW(proxy.point(0), qvErrorFrom<qvSimpleShapeProxyBase>);
        proxy.over(*record);
        EXPECT_EQ(proxy.size(), 4);
    }
    EXPECT_EQ(shape_test::record_hex(record.get()), before);
}
