// Hardcopy units and the paper table (see qvHardcopyUnits.hpp).

#include <orvane/views/qvHardcopyUnits.hpp>

#include <orvane/core/qvError.hpp>

namespace {

constexpr int hardcopy_format_count = 31;

struct qvHardcopyPaperSize {
    double width, height;   // inches
};

constexpr double hardcopy_mm = 25.4;

// Indexed by qvHardcopyUnits::PaperFormat.
constexpr qvHardcopyPaperSize hardcopy_paper_table[hardcopy_format_count] = {
    {8.5, 11.0},                           // 0 US Letter
    {210 / hardcopy_mm, 297 / hardcopy_mm},      // 1 A4
    {176 / hardcopy_mm, 250 / hardcopy_mm},      // 2 B5 (ISO)
    {8.5, 14.0},                           // 3 US Legal
    {7.5, 10.0},                           // 4 Executive
    {841 / hardcopy_mm, 1189 / hardcopy_mm},     // 5 A0
    {594 / hardcopy_mm, 841 / hardcopy_mm},      // 6 A1
    {420 / hardcopy_mm, 594 / hardcopy_mm},      // 7 A2
    {297 / hardcopy_mm, 420 / hardcopy_mm},      // 8 A3
    {148 / hardcopy_mm, 210 / hardcopy_mm},      // 9 A5
    {105 / hardcopy_mm, 148 / hardcopy_mm},      // 10 A6
    {74 / hardcopy_mm, 105 / hardcopy_mm},       // 11 A7
    {52 / hardcopy_mm, 74 / hardcopy_mm},        // 12 A8
    {37 / hardcopy_mm, 52 / hardcopy_mm},        // 13 A9
    {1000 / hardcopy_mm, 1414 / hardcopy_mm},    // 14 B0 (ISO)
    {707 / hardcopy_mm, 1000 / hardcopy_mm},     // 15 B1
    {500 / hardcopy_mm, 707 / hardcopy_mm},      // 16 B2
    {353 / hardcopy_mm, 500 / hardcopy_mm},      // 17 B3
    {250 / hardcopy_mm, 353 / hardcopy_mm},      // 18 B4
    {125 / hardcopy_mm, 176 / hardcopy_mm},      // 19 B6
    {88 / hardcopy_mm, 125 / hardcopy_mm},       // 20 B7
    {62 / hardcopy_mm, 88 / hardcopy_mm},        // 21 B8
    {44 / hardcopy_mm, 62 / hardcopy_mm},        // 22 B9
    {31 / hardcopy_mm, 44 / hardcopy_mm},        // 23 B10
    {162 / hardcopy_mm, 229 / hardcopy_mm},      // 24 C5 envelope
    {4.125, 9.5},                          // 25 No. 10 envelope
    {110 / hardcopy_mm, 220 / hardcopy_mm},      // 26 DL envelope
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
