#pragma once
// qvDumpDriverUser: the host's sink of a dump driver. The driver draws
// nothing; every primitive drawn on it comes here: each transformation and
// clip region set on the port, the baked attributes of a shape, then the
// shape in the coordinates in which its record reached the port (no
// transformation, no clipping applied).
//
// Keeps true: pointers and references are valid only during the call;
// point arrays are null exactly when the count is not positive; texts are
// zero-terminated within their record; image parts are raw pointers into
// the record (null when the part is empty). The library never deletes a
// sink: the host keeps it alive while the driver draws.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBitmapHeader.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvDumpDriverUser {
public:
    virtual void transformation(qvRestrictedTransformation const& model_to_device) = 0;
    virtual void clip(qvRegion const& region) = 0;
    virtual void fill_attributes(qvRgbColor color, long fill_style, qvBitmap const& fill_image) = 0;
    virtual void line_attributes(qvRgbColor color, double line_width, long line_style, qvLinePattern pattern) = 0;
    virtual void polymarker(qvCrdOf<double> const* points, long count) = 0;
    virtual void marker_attributes(long marker_style, qvBitmap const& marker_image) = 0;
    virtual void font_attributes(long font_family, char const* font_name, long font_slant, long font_weight) = 0;
    virtual void rectangle(qvMathRectOf<double> const& rect) = 0;
    // The ellipse's bounding box.
    virtual void ellipse(qvMathRectOf<double> const& box) = 0;
    virtual void restricted_text(char const* text, qvCrdOf<double> const& anchor, double angle,
                                 unsigned alignment) = 0;
    virtual void scaled_text(char const* text, qvCrdOf<double> const& anchor, double height, double stretch,
                             double angle, unsigned alignment) = 0;
    virtual void polyline(qvCrdOf<double> const* points, long count) = 0;
    virtual void polygon(qvCrdOf<double> const* points, long count) = 0;
    // One tag per point.
    virtual void bezier(qvCrdOf<double> const* points, qvPointTag const* tags, long count) = 0;
    virtual void restricted_image(qvCrdOf<double> const& anchor, unsigned alignment, qvBitmapHeader const& header,
                                  qvColorMapEntry const* colors, unsigned char const* pixels) = 0;
    virtual void scaled_image(qvCrdOf<double> const& anchor, qvCrdOf<double> const& x_vector,
                              qvCrdOf<double> const& y_vector, qvBitmapHeader const& header,
                              qvColorMapEntry const* colors, unsigned char const* pixels) = 0;

protected:
    qvDumpDriverUser() noexcept = default;
    qvDumpDriverUser(qvDumpDriverUser const&) noexcept = default;
    qvDumpDriverUser& operator=(qvDumpDriverUser const&) noexcept = default;
    ~qvDumpDriverUser() = default;
};
