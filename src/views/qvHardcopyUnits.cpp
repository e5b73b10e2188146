// Hardcopy units and the paper table (see qvHardcopyUnits.hpp).

#include <orvane/views/qvHardcopyUnits.hpp>

#include <orvane/core/qvError.hpp>

namespace {

constexpr int hardcopy_format_count = 31;

struct qvHardcopyPaperSize {
    double width, height;   // inches
};

constexpr double hardcopy_mm = 25.4;

// A sheet measured in whole millimetres.
constexpr qvHardcopyPaperSize hardcopy_metric(int width, int height) {
    return {width / hardcopy_mm, height / hardcopy_mm};
}

// Indexed by qvHardcopyUnits::PaperFormat.
constexpr qvHardcopyPaperSize hardcopy_paper_table[hardcopy_format_count] = {
    {8.5, 11.0},                           // 0 US Letter
    hardcopy_metric(210, 297),             // 1 A4
    hardcopy_metric(176, 250),             // 2 B5 (ISO)
    {8.5, 14.0},                           // 3 US Legal
    {7.5, 10.0},                           // 4 Executive
    hardcopy_metric(841, 1189),            // 5 A0
    hardcopy_metric(594, 841),             // 6 A1
    hardcopy_metric(420, 594),             // 7 A2
    hardcopy_metric(297, 420),             // 8 A3
    hardcopy_metric(148, 210),             // 9 A5
    hardcopy_metric(105, 148),             // 10 A6
    hardcopy_metric(74, 105),              // 11 A7
    hardcopy_metric(52, 74),               // 12 A8
    hardcopy_metric(37, 52),               // 13 A9
    hardcopy_metric(1000, 1414),           // 14 B0 (ISO)
    hardcopy_metric(707, 1000),            // 15 B1
    hardcopy_metric(500, 707),             // 16 B2
    hardcopy_metric(353, 500),             // 17 B3
    hardcopy_metric(250, 353),             // 18 B4
    hardcopy_metric(125, 176),             // 19 B6
    hardcopy_metric(88, 125),              // 20 B7
    hardcopy_metric(62, 88),               // 21 B8
    hardcopy_metric(44, 62),               // 22 B9
    hardcopy_metric(31, 44),               // 23 B10
    hardcopy_metric(162, 229),             // 24 C5 envelope
    {4.125, 9.5},                          // 25 No. 10 envelope
    hardcopy_metric(110, 220),             // 26 DL envelope
    {8.5, 13.0},                           // 27 Folio
    {17.0, 11.0},                          // 28 Ledger, on its side
    {11.0, 17.0},                          // 29 Tabloid
    {8.5, 11.0},                           // 30 a second US Letter
};

constexpr double hardcopy_points_per_inch = 72.0;

[[noreturn]] void hardcopy_units_raise(char const* message) {
    qvRaise(qvErrorFrom<qvHardcopyUnits>(message));
}

qvHardcopyPaperSize const& hardcopy_paper(int format) {
    if (format < 0 || format >= hardcopy_format_count)
        hardcopy_units_raise("Unknown paper format");
    return hardcopy_paper_table[format];
}

}  // namespace

double qvHardcopyUnits::convert_to_points(double value, Unit unit) {
    switch (unit) {
    case point:
        return value;
    case inch:
        return value * hardcopy_points_per_inch;
    case millimetre:
        return value * (hardcopy_points_per_inch / hardcopy_mm);
    }
    hardcopy_units_raise("Unknown hardcopy unit");
}

double qvHardcopyUnits::paper_width(int format) { return hardcopy_paper(format).width * hardcopy_points_per_inch; }

double qvHardcopyUnits::paper_height(int format) { return hardcopy_paper(format).height * hardcopy_points_per_inch; }

double qvHardcopyUnits::paper_width(PaperFormat format) { return paper_width(static_cast<int>(format)); }

double qvHardcopyUnits::paper_height(PaperFormat format) { return paper_height(static_cast<int>(format)); }
