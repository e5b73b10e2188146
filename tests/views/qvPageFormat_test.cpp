// Hardcopy units, margins and page formats: the paper table, the print
// area in both orientations, and the setters that refuse rather than leave
// a sheet without room.

#include <orvane/views/qvPageFormat.hpp>

#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using palette_test::expect_raises;

qvMathRectOf<double> page_rect(double x1, double y1, double x2, double y2) {
    return qvMathRectOf<double>(x1, y1, x2, y2);
}

}  // namespace

TEST(qvHardcopyUnits, Units_and_paper_convert_to_points) {
    EXPECT_EQ(qvHardcopyUnits::convert_to_points(25.4, qvHardcopyUnits::millimetre), 72.0);
    EXPECT_EQ(qvHardcopyUnits::convert_to_points(1.0, qvHardcopyUnits::inch), 72.0);
    EXPECT_EQ(qvHardcopyUnits::convert_to_points(10.0, qvHardcopyUnits::point), 10.0);
    EXPECT_EQ(qvHardcopyUnits::paper_width(qvHardcopyUnits::a4), 595.2755905511812);
    EXPECT_EQ(qvHardcopyUnits::paper_height(qvHardcopyUnits::a4), 841.8897637795276);
    EXPECT_EQ(qvHardcopyUnits::paper_width(0), 612.0);
    EXPECT_EQ(qvHardcopyUnits::paper_height(0), 792.0);
    EXPECT_EQ(qvHardcopyUnits::paper_width(qvHardcopyUnits::no10_envelope), 297.0);
    // A metric size is the millimetres converted (rounded once more or less).
    EXPECT_DOUBLE_EQ(qvHardcopyUnits::paper_width(qvHardcopyUnits::b10),
              qvHardcopyUnits::convert_to_points(31, qvHardcopyUnits::millimetre));
}

TEST(qvHardcopyUnits, Every_format_stands_upright_except_Ledger) {
    for (int f = 0; f <= 30; ++f) {
        const double w = qvHardcopyUnits::paper_width(f), h = qvHardcopyUnits::paper_height(f);
        EXPECT_GT(w, 0) << f;
        EXPECT_EQ(w > h, f == qvHardcopyUnits::ledger) << f;
    }
    EXPECT_EQ(qvHardcopyUnits::paper_width(30), qvHardcopyUnits::paper_width(0));
    EXPECT_EQ(qvHardcopyUnits::paper_height(30), qvHardcopyUnits::paper_height(0));
}

TEST(qvHardcopyUnits, Formats_and_units_outside_the_tables_are_refused_by_name) {
    for (const int f : {31, -1, 1 << 30}) {
        expect_raises<qvErrorFrom<qvHardcopyUnits>>([f] { qvHardcopyUnits::paper_width(f); },
                                                    "Unknown paper format");
        expect_raises<qvErrorFrom<qvHardcopyUnits>>([f] { qvHardcopyUnits::paper_height(f); },
                                                    "Unknown paper format");
        expect_raises<qvErrorFrom<qvHardcopyUnits>>(
            [f] { qvPageFormat(qvHardcopyUnits::PaperFormat(f), qvPageFormat::portrait, 0, 0, 0, 0); },
            "Unknown paper format");
        qvPageFormat format;
        EXPECT_FALSE(format.page_limits(qvHardcopyUnits::PaperFormat(f)));
        EXPECT_EQ(format.page_limits(), page_rect(0, 0, 612, 792));
    }
    for (const int u : {3, -1})
        expect_raises<qvErrorFrom<qvHardcopyUnits>>(
            [u] { qvHardcopyUnits::convert_to_points(1.0, qvHardcopyUnits::Unit(u)); }, "Unknown hardcopy unit");
}

TEST(qvPageFormat, The_default_is_US_Letter_with_half_inch_margins_in_both_orientations) {
    qvPageFormat format;
    EXPECT_EQ(format.page_limits(), page_rect(0, 0, 612, 792));
    EXPECT_EQ(format.print_area(), page_rect(36, 36, 576, 756));
    EXPECT_TRUE(format.valid());
    format.orientation(qvPageFormat::landscape);
    EXPECT_EQ(format.orientation(), qvPageFormat::landscape);
    EXPECT_EQ(format.page_limits(), page_rect(0, 0, 792, 612));
    EXPECT_EQ(format.print_area(), page_rect(36, 36, 756, 576));
    const qvPageFormat a4(qvHardcopyUnits::a4, qvPageFormat::portrait, 10, 20, 30, 40);
    EXPECT_EQ(a4.print_area(), page_rect(10, 30, 595.2755905511812 - 20, 841.8897637795276 - 40));
}

TEST(qvPageFormat, Margin_setters_keep_room_on_the_stored_sheet) {
    qvPageFormat format;
    EXPECT_FALSE(format.left_margin(576.0));   // 36 + 576 is not < 612
    EXPECT_EQ(format.left_margin(), 36.0);
    EXPECT_TRUE(format.left_margin(575.0));
    EXPECT_EQ(format.print_area(), page_rect(575, 36, 576, 756));

    qvPageFormat edges;
    EXPECT_TRUE(edges.right_margin(0.0));
    EXPECT_TRUE(edges.bottom_margin(0.0));
    EXPECT_FALSE(edges.top_margin(-1.0));
    EXPECT_FALSE(edges.top_margin(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(edges.top_margin(792.0));
    EXPECT_EQ(edges.top_margin(), 36.0);
    EXPECT_EQ(edges.print_area(), page_rect(36, 0, 612, 756));
    // Turned, the tests still read the stored width and height.
    edges.orientation(qvPageFormat::landscape);
    EXPECT_TRUE(edges.left_margin(575.0));
    EXPECT_EQ(edges.print_area(), page_rect(575, 0, 792, 576));
}

TEST(qvPageFormat, Sizes_must_stand_upright_and_margins_are_not_tested_against_them) {
    qvPageFormat format;
    EXPECT_TRUE(format.page_limits(612, 612));
    EXPECT_EQ(format.page_limits(), page_rect(0, 0, 612, 612));
    EXPECT_FALSE(format.page_limits(qvHardcopyUnits::ledger));
    EXPECT_FALSE(format.page_limits(0, 10));
    EXPECT_FALSE(format.page_limits(std::numeric_limits<double>::quiet_NaN(), 10));
    EXPECT_EQ(format.page_limits(), page_rect(0, 0, 612, 612));
    EXPECT_TRUE(format.page_limits(50, 60));   // the margins of 36 no longer fit
    EXPECT_FALSE(format.valid());
    EXPECT_TRUE(format.page_limits(qvHardcopyUnits::a4));
    EXPECT_TRUE(format.valid());
}

TEST(qvPageFormat, Constructors_store_unchecked_and_valid_tells) {
    const qvPageFormat ledger(qvHardcopyUnits::ledger, qvPageFormat::portrait, 36, 36, 36, 36);
    EXPECT_EQ(ledger.page_limits(), page_rect(0, 0, 1224, 792));
    EXPECT_FALSE(ledger.valid());
    EXPECT_FALSE(qvPageFormat(612, 792, qvPageFormat::portrait, -1, 36, 36, 36).valid());
    EXPECT_FALSE(qvPageFormat(612, 792, qvPageFormat::portrait, 306, 306, 36, 36).valid());
    EXPECT_FALSE(qvPageFormat(612, 792, qvPageFormat::portrait, 36, 36, std::nan(""), 36).valid());
    EXPECT_TRUE(qvPageFormat(612, 792, qvPageFormat::portrait, 0, 0, 0, 0).valid());
    qvMargins margins(1, 2, 3, -4);
    EXPECT_FALSE(margins.valid());
    margins.top_margin(0);
    EXPECT_TRUE(margins.valid());
}

TEST(qvPageFormat, An_orientation_is_put_back_only_on_a_format_that_is_not_valid) {
    qvPageFormat broken(612, 792, qvPageFormat::portrait, -1, 36, 36, 36);
    const qvMathRectOf<double> area = broken.print_area();
    broken.orientation(qvPageFormat::landscape);
    EXPECT_EQ(broken.orientation(), qvPageFormat::portrait);
    EXPECT_EQ(broken.print_area(), area);

    // 350 + 350 fits the stored height 792 but not the turned sheet's 612.
    qvPageFormat tall;
    ASSERT_TRUE(tall.bottom_margin(350));
    ASSERT_TRUE(tall.top_margin(350));
    tall.orientation(qvPageFormat::landscape);
    EXPECT_EQ(tall.orientation(), qvPageFormat::landscape);
    EXPECT_EQ(tall.print_area(), page_rect(36, 262, 756, 350));
}
