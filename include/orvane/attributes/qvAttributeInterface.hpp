#pragma once
// qvAttributeInterface: typed access to the pen, brush, marker and font of
// one attribute, on top of the folder interface.
//
// Keeps true:
//  - every accessor works only through property get, property set and
//    destroy_folder, on the colour-device folders; no accessor reads or
//    writes a "grayscale_device" folder;
//  - every accessor checks the folder's bound class first (see
//    qvPropertyValue) and raises the wrong-type error before any write;
//  - a getter yields a fixed result for an absent value: (0, 0, 0, 1) for
//    colours, 1 for line and fill style, 4 for the font weight, 4.0 for the
//    marker size, 0 for widths, sizes, indices, hot spots and the other
//    enumerations, empty patterns, bitmaps, brushes and names;
//  - a composite setter is a sequence of single-folder writes, each its own
//    palette change, in a fixed order: line_pattern writes style 6 then the
//    pattern; fill_pattern the image then style 8; marker_pattern style 7
//    then the image; font_style family, name, size, slant, weight,
//    attribute;
//  - a line width, marker size or font size that is NaN or infinite is
//    refused before anything is written (font_style's too, before its
//    first write): qvErrorFrom<qvAttributeInterface> "Attribute size is not
//    finite", raised from one place.

#include <orvane/attributes/qvAttributeEnums.hpp>
#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvAttributeInterface : public qvAttributeFolderInterface {
public:
    ~qvAttributeInterface() override = default;

    // --- pen ---------------------------------------------------------------
    qvRgbColor line_color();
    void line_color(qvRgbColor const& color);
    void line_color(float gray);
    void line_color(float gray, float alpha);
    void line_color(float r, float g, float b);
    void line_color(float r, float g, float b, float a);

    unsigned char line_color_index();
    void line_color_index(unsigned char index);

    qvRgbColor line_background_color();
    void line_background_color(qvRgbColor const& color);
    void line_background_color(float gray);
    void line_background_color(float gray, float alpha);
    void line_background_color(float r, float g, float b);
    void line_background_color(float r, float g, float b, float a);

    qvWrap<double> line_width();
    void line_width(qvWrap<double> width);
    qvDimUnit line_width_unit();
    void line_width_unit(qvDimUnit unit);
    qvLineStyle line_style();
    void line_style(qvLineStyle style);
    qvLinePattern line_pattern();
    // Writes line style 6, then the pattern.
    void line_pattern(qvLinePattern const& pattern);
    void line_pattern(double const* dashes, int count, double offset);
    qvLineEndCap line_end_cap();
    void line_end_cap(qvLineEndCap cap);
    qvLineJoin line_join();
    void line_join(qvLineJoin join);

    // --- brush -------------------------------------------------------------
    qvRgbColor fill_color();
    void fill_color(qvRgbColor const& color);
    void fill_color(float gray);
    void fill_color(float gray, float alpha);
    void fill_color(float r, float g, float b);
    void fill_color(float r, float g, float b, float a);

    unsigned char fill_color_index();
    void fill_color_index(unsigned char index);

    qvRgbColor fill_background_color();
    void fill_background_color(qvRgbColor const& color);
    void fill_background_color(float gray);
    void fill_background_color(float gray, float alpha);
    void fill_background_color(float r, float g, float b);
    void fill_background_color(float r, float g, float b, float a);

    qvFillStyle fill_style();
    void fill_style(qvFillStyle style);
    qvBitmap fill_pattern();
    // Writes the image, then fill style 8.
    void fill_pattern(qvBitmapReference const& image);
    qvCustomBrush fill_brush();
    void fill_brush(qvCustomBrush const& brush);

    // --- marker ------------------------------------------------------------
    qvMarkerStyle marker_style();
    void marker_style(qvMarkerStyle style);
    qvMarkerSize marker_size();
    void marker_size(qvMarkerSize size);
    qvBitmap marker_pattern();
    // Writes marker style 7, then the image.
    void marker_pattern(qvBitmapReference const& image);
    qvCrdOf<int> marker_hot_spot();
    void marker_hot_spot(qvCrdOf<int> spot);

    // --- font --------------------------------------------------------------
    qvFontFamily font_family();
    // Family 0 removes the value.
    void font_family(qvFontFamily family);
    qvString font_name();
    // A null or empty name removes the value.
    void font_name(char const* name);
    qvWrap<float> font_size();
    void font_size(qvWrap<float> size);
    qvFontSlant font_slant();
    void font_slant(qvFontSlant slant);
    qvFontWeight font_weight();
    void font_weight(qvFontWeight weight);
    qvFontAttribute font_attribute();
    void font_attribute(qvFontAttribute attribute);

    void font_style(qvFontFamily family, char const* name, qvWrap<float> size,
                    qvFontSlant slant, qvFontWeight weight, qvFontAttribute attribute);
    // Removes the font name.
    void font_style(qvFontFamily family, qvWrap<float> size, qvFontSlant slant,
                    qvFontWeight weight, qvFontAttribute attribute);
    // Removes the font family.
    void font_style(char const* name, qvWrap<float> size, qvFontSlant slant,
                    qvFontWeight weight, qvFontAttribute attribute);

protected:
    qvAttributeInterface() noexcept = default;
    qvAttributeInterface(qvAttributeInterface const&) noexcept = default;
    qvAttributeInterface& operator=(qvAttributeInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvAttributeInterface);
