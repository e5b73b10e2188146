#pragma once
// qvPageFormat: a sheet of paper as printing lays it out: its size in its
// upright form, its orientation, four margins and the print area left
// inside them, all in points. A plain value: no counting, no notification.
//
// Keeps true:
//  - every setter that answers true leaves the format valid() when it was
//    valid before: 0 < width <= height, margins >= 0, left + right < width
//    and bottom + top < height (the margins are tested against the stored
//    size, whatever the orientation); a setter that answers false, and an
//    orientation that is put back, change nothing;
//  - the print area is the sheet as it lies (page_limits()) less the
//    margins, recomputed by the constructors and every change that is
//    kept; in orientation 1 the left and right margins lie along the
//    stored height;
//  - the constructors store what they are given unchecked (valid() tells),
//    except that a paper format outside the table raises "Unknown paper
//    format" (qvErrorFrom<qvHardcopyUnits>) before anything is built.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/views/qvMargins.hpp>

#include <cstdint>

class qvPageFormat : public qvMargins {
public:
    enum PageOrientation : std::int32_t { portrait = 0, landscape = 1 };

    // US Letter (612 x 792), portrait, margins of 36.
    qvPageFormat() noexcept;
    qvPageFormat(double width, double height, PageOrientation orientation, double left, double right,
                 double bottom, double top) noexcept;
    qvPageFormat(PaperFormat format, PageOrientation orientation, double left, double right, double bottom,
                 double top);
    qvPageFormat(qvPageFormat const&) noexcept = default;
    qvPageFormat& operator=(qvPageFormat const&) noexcept = default;
    ~qvPageFormat() override = default;

    PageOrientation orientation() const noexcept { return orientation_; }
    // Kept when the format is valid() (the print area follows), else the
    // previous orientation is put back.
    void orientation(PageOrientation orientation);
    qvMathRectOf<double> const& print_area() const noexcept { return print_area_; }
    // Recomputes the print area from the stored size, orientation and
    // margins.
    void calculate_print_area() noexcept;

    // Margins: false (nothing changed) for a negative or NaN value, or one
    // that leaves no room between the opposite margin and the sheet's edge.
    using qvMargins::bottom_margin;
    using qvMargins::left_margin;
    using qvMargins::right_margin;
    using qvMargins::top_margin;
    bool left_margin(double v) noexcept;
    bool right_margin(double v) noexcept;
    bool bottom_margin(double v) noexcept;
    bool top_margin(double v) noexcept;

    // The sheet as it lies: (0, 0, width, height), the two exchanged in
    // orientation 1, ordered.
    qvMathRectOf<double> page_limits() const noexcept;
    // A new paper size: false (nothing changed) unless 0 < width <= height.
    // The margins are not tested against it.
    bool page_limits(double width, double height) noexcept;
    // The size of a paper format; false also for a format outside the table.
    bool page_limits(PaperFormat format) noexcept;

    // Margins >= 0, 0 < width <= height, left + right < width and
    // bottom + top < height; NaN anywhere makes it false.
    bool valid() const override;

private:
    double width_ = 612.0;
    double height_ = 792.0;
    qvMathRectOf<double> print_area_;
    PageOrientation orientation_ = portrait;
};
