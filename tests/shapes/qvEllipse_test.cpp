// Ellipses in a scene: the record, centre and radii as views of the box,
// computed exactly as specified (single-precision centre, float widths
// halved in double, the ordering edge setters), what each setter reports,
// and non-finite values stored as the arithmetic gives them.

#include <orvane/shapes/qvEllipse.hpp>

#include "qvGeometryValuesTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeReportTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;
using Boxes = std::vector<qvMathRectOf<double>>;

class Ellipse : public shape_test::ReportingSceneTest {
protected:
    qvEllipse in(qvMathRectOf<double> const& box) {
        qvEllipse e(scene, box);
        forget_reports();
        return e;
    }
};

}  // namespace

TEST_F(Ellipse, A_circle_spans_its_radius_around_its_centre_in_a_stamped_48_byte_record) {
    const qvEllipse e(scene, qvCrdOf<double>(10, 20), 5.0, nullptr);
    EXPECT_EQ(e->rectangle(), raw(5, 15, 15, 25));
    EXPECT_EQ(e->center(), qvCrdOf<double>(10, 20));
    EXPECT_EQ(e->x_radius(), 5.0);
    EXPECT_EQ(e->y_radius(), 5.0);
    qvShapeBase const* const record = e->record();
    EXPECT_EQ(record->size, 48);
    EXPECT_EQ(record->kind, -2);
    EXPECT_EQ(record->proxy_class_id, 2);
    EXPECT_EQ(shape_test::hex(reinterpret_cast<char const*>(record) + 40, 8), "00 00 00 00 00 00 00 00");

    EXPECT_EQ(qvEllipse(scene, qvCrdOf<double>(0, 0), -2.0)->rectangle(), raw(-2, -2, 2, 2));
    EXPECT_EQ(qvEllipse(scene, qvCrdOf<double>(0, 0), 4.0, -1.0)->rectangle(), raw(-4, -1, 4, 1));
    EXPECT_EQ(qvEllipse(scene, raw(4, 4, 0, 0))->rectangle(), raw(4, 4, 0, 0));
}

TEST_F(Ellipse, A_radius_keeps_the_centre_of_its_axis_and_takes_the_absolute_value) {
    qvEllipse e = in(raw(0, 0, 10, 10));
    e->x_radius(-3.0);
    EXPECT_EQ(e->rectangle(), raw(2, 0, 8, 10));
    e->y_radius(0.0);
    EXPECT_EQ(e->rectangle(), raw(2, 5, 8, 5));

    qvEllipse both = in(raw(0, 0, 10, 4));
    both->radius(1.0);
    EXPECT_EQ(both->rectangle(), raw(4, 1, 6, 3));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 10, 4), raw(4, 0, 6, 4), raw(4, 0, 6, 4), raw(4, 1, 6, 3)}));
}

TEST_F(Ellipse, The_centre_moves_the_box_keeping_its_size_and_orders_an_inverted_one) {
    qvEllipse e = in(raw(0, 0, 10, 20));
    e->center(qvCrdOf<double>(100, 100));
    EXPECT_EQ(e->rectangle(), raw(95, 90, 105, 110));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 10, 20), raw(95, 90, 105, 110)}));

    qvEllipse inverted = in(raw(4, 4, 0, 0));
    EXPECT_EQ(inverted->x_radius(), -2.0);
    EXPECT_EQ(inverted->center(), qvCrdOf<double>(2, 2));
    inverted->center(qvCrdOf<double>(0, 0));
    EXPECT_EQ(inverted->rectangle(), raw(-2, -2, 2, 2));
}

TEST_F(Ellipse, Centre_and_radii_are_computed_in_the_precision_they_are_specified_in) {
    // The centre adds in float: 1 + 2^24 rounds to 2^24, and two large
    // edges overflow where a double sum would not.
    qvEllipse e = in(raw(1, -3e38f, 16777216, -3e38f));
    EXPECT_EQ(e->center().x, 8388608.0);
    EXPECT_EQ(e->center().y, -std::numeric_limits<double>::infinity());
    // The width is rounded to float before it is halved: 2^24 + 2 - 1 is 2^24 in float.
    qvEllipse wide = in(raw(1, 0, 16777218, 0));
    EXPECT_EQ(wide->x_radius(), 8388608.0);
    // The radius setter takes the middle in double (2^23 + 0.5) and rounds each edge.
    qvEllipse middle = in(raw(1, 0, 16777216, 0));
    middle->x_radius(0.25);
    EXPECT_EQ(middle->rectangle(), raw(8388608, 0, 8388609, 0));
}

TEST_F(Ellipse, Non_finite_or_out_of_float_radii_and_centres_are_refused) {
    // These used to be stored as the arithmetic gave them: infinite edges,
    // a NaN centre.
    const double inf = std::numeric_limits<double>::infinity();
    qvEllipse e = in(raw(0, 0, 10, 10));
    for (const double r : {inf, 1e300, std::nan("")}) {
        expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { e->x_radius(r); }, "Coordinate is not finite or out of range");
        expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { e->y_radius(r); }, "Coordinate is not finite or out of range");
        expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { e->center(qvCrdOf<double>(r, 1)); },
                                                       "Coordinate is not finite or out of range");
    }
    // A centre inside float whose moved edges would leave it.
    e->x_radius(3e38);
    expect_raises<qvErrorFrom<qvShapeCoordinates>>([&] { e->center(qvCrdOf<double>(3e38, 5)); },
                                                   "Coordinate is not finite or out of range");
    EXPECT_EQ(e->rectangle(), raw(5 - static_cast<double>(3e38f), 0, 5 + static_cast<double>(3e38f), 10));
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { qvEllipse(scene)->center(); },
                                                       "Attempt to query uninitialized shape");
}
