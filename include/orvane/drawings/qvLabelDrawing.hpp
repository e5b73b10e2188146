#pragma once
// qvLabelDrawing: one line of text at an anchor, optionally inside a border
// with a shade behind it. The text is restricted (device-sized) or, when
// scalable, scaled (model-sized). Border and shade surround a fixed box
// centred on the anchor, or the text's own box when box_fixed_size is off.
// The label keeps no records: each render and each bbox with a
// transformation builds stand-alone shapes and measures the text.
//
// Keeps true: the fixed box is anchor +- size / 2, normalised, after every
// change of anchor, width or height. The text attribute is needed to draw;
// border and shade attributes only when shown. A render that raises leaves
// the port's palette as it was.
//
// Repainting: bbox(nullptr) covers the fixed box and its shade only, so a
// change also reports the text's box under the smallest port scales seen
// on each axis since the last change (the largest a restricted text can
// be in model units in any view that drew it).
//
// Alignment: bits 2-3 (value & 12): 4 text right of the anchor, 8 left of
// it, 12 or 0 centred; bits 0-1 (value & 3): 1 below, 2 above, 3 or 0
// centred. Higher bits go to the text unchanged.

#include <orvane/attributes/qvSharedAttribute.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvLabelDrawing : public qvDrawing {
public:
    qvLabelDrawing();
    qvLabelDrawing(qvLabelDrawing const& other);
    qvLabelDrawing& operator=(qvLabelDrawing const& other);
    ~qvLabelDrawing() override;

    void* query_interface(qvInterfaceInfo const& info) override;

    bool scalable() const noexcept { return scalable_; }
    void scalable(bool s);
    bool box_fixed_size() const noexcept { return box_fixed_size_; }
    void box_fixed_size(bool b);
    bool show_border() const noexcept { return show_border_; }
    void show_border(bool b);
    bool show_shade() const noexcept { return show_shade_; }
    void show_shade(bool b);
    qvCrdOf<double> anchor() const noexcept { return anchor_; }
    void anchor(qvCrdOf<double> const& a);
    double width() const noexcept { return width_; }
    void width(double w);
    double height() const noexcept { return height_; }
    void height(double h);
    double shade_margin() const noexcept { return shade_margin_; }
    void shade_margin(double m);
    double text_rotation() const noexcept { return text_rotation_; }
    void text_rotation(double degrees);
    qvString text() const { return text_; }
    void text(qvString const& t);
    unsigned alignment() const noexcept { return alignment_; }
    void alignment(unsigned a);
    // Always report the box twice, also for the present attribute.
    qvSharedAttribute text_attribute() const { return text_attr_; }
    void text_attribute(qvSharedAttribute const& a);
    qvSharedAttribute border_attribute() const { return border_attr_; }
    void border_attribute(qvSharedAttribute const& a);
    qvSharedAttribute shade_attribute() const { return shade_attr_; }
    void shade_attribute(qvSharedAttribute const& a);

    // The fixed box, derived from anchor, width and height.
    qvMathRectOf<double> text_box() const noexcept { return box_; }

    void render(qvFlavorPort& port, qvMathRectOf<double> const& area) override;
    qvMathRectOf<double> bbox(qvRestrictedTransformation const* rt) const override;

private:
    class Change;
    struct TextBox;
    struct Texts;

    void update_box() noexcept;
    unsigned effective_alignment() const noexcept;
    // Prepares the text of the label's kind in `texts` and measures it: its
    // model box under rt, and the scale factors. The text attribute is set.
    TextBox measure(qvRestrictedTransformation const& rt, Texts& texts) const;
    // What bbox answers, given the text measured under the transformation
    // the shade offsets (mx, my) came from; null `text`: no text to add.
    qvMathRectOf<double> united_box(TextBox const* text, double mx, double my) const noexcept;
    // bbox(nullptr) united with the text box under the smallest scales
    // seen; raises nothing (runs in a change's end).
    qvMathRectOf<double> repaint_box() const noexcept;
    void report_change() noexcept;

    bool scalable_ = false;
    bool show_border_ = false;
    bool show_shade_ = false;
    qvCrdOf<double> anchor_{0.0, 0.0};
    double width_ = 0.0;
    double height_ = 0.0;
    qvMathRectOf<double> box_;
    double shade_margin_ = 10.0;
    qvString text_;
    unsigned alignment_ = 15;
    qvSharedAttribute shade_attr_;
    qvSharedAttribute border_attr_;
    qvSharedAttribute text_attr_;
    double text_rotation_ = 0.0;
    bool box_fixed_size_ = true;

    // Smallest |scale| per axis of the renders so far, with
    // the signs of the last render; seen_ false before any render.
    bool seen_ = false;
    double seen_x_ = 0.0, seen_y_ = 0.0;
};
QV_INTERFACE_NAME(qvLabelDrawing);
