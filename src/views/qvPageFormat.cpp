// Page formats (see qvPageFormat.hpp).
//
// Every test is written so that NaN fails it (v >= 0, a + b < w): a NaN
// margin or size is refused by the setters and makes valid() false.

#include <orvane/views/qvPageFormat.hpp>

#include <algorithm>

// ---------------------------------------------------------------------------
// Construction

qvPageFormat::qvPageFormat() noexcept { calculate_print_area(); }

qvPageFormat::qvPageFormat(double width, double height, PageOrientation orientation, double left, double right,
                           double bottom, double top) noexcept
    : qvMargins(left, right, bottom, top), width_(width), height_(height), orientation_(orientation) {
    calculate_print_area();
}

qvPageFormat::qvPageFormat(PaperFormat format, PageOrientation orientation, double left, double right,
                           double bottom, double top)
    : qvPageFormat(paper_width(format), paper_height(format), orientation, left, right, bottom, top) {}

// ---------------------------------------------------------------------------
// The sheet and its print area

qvMathRectOf<double> qvPageFormat::page_limits() const noexcept {
    const bool turned = orientation_ == landscape;
    return qvMathRectOf<double>(0, 0, turned ? height_ : width_, turned ? width_ : height_);
}

void qvPageFormat::calculate_print_area() noexcept {
    const qvMathRectOf<double> sheet = page_limits();
    const double xa = left_margin(), xb = sheet.x2 - right_margin();
    const double ya = bottom_margin(), yb = sheet.y2 - top_margin();
    print_area_ = qvMathRectOf<double>(qvRectOf<double>(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb),
                                                        std::max(ya, yb)));
}

void qvPageFormat::orientation(PageOrientation orientation) {
    const PageOrientation previous = orientation_;
    orientation_ = orientation;
    if (valid())
        calculate_print_area();
    else
        orientation_ = previous;
}

bool qvPageFormat::page_limits(double width, double height) noexcept {
    if (!(width > 0 && height > 0 && width <= height))
        return false;
    width_ = width;
    height_ = height;
    calculate_print_area();
    return true;
}

bool qvPageFormat::page_limits(PaperFormat format) noexcept {
    if (format < us_letter || format > us_letter_second)
        return false;
    return page_limits(paper_width(format), paper_height(format));
}

bool qvPageFormat::valid() const {
    return qvMargins::valid() && width_ > 0 && height_ > 0 && width_ <= height_ &&
           left_margin() + right_margin() < width_ && bottom_margin() + top_margin() < height_;
}

// ---------------------------------------------------------------------------
// Margins, tested against the stored size whatever the orientation

bool qvPageFormat::left_margin(double v) noexcept {
    if (!(v >= 0 && right_margin() + v < width_))
        return false;
    qvMargins::left_margin(v);
    calculate_print_area();
    return true;
}

bool qvPageFormat::right_margin(double v) noexcept {
    if (!(v >= 0 && left_margin() + v < width_))
        return false;
    qvMargins::right_margin(v);
    calculate_print_area();
    return true;
}

bool qvPageFormat::bottom_margin(double v) noexcept {
    if (!(v >= 0 && top_margin() + v < height_))
        return false;
    qvMargins::bottom_margin(v);
    calculate_print_area();
    return true;
}

bool qvPageFormat::top_margin(double v) noexcept {
    if (!(v >= 0 && bottom_margin() + v < height_))
        return false;
    qvMargins::top_margin(v);
    calculate_print_area();
    return true;
}
