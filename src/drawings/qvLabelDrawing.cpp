// Label drawings. Every render and every bbox with a transformation builds
// the stand-alone text it needs and measures it once (render draws the
// text it measured); nothing is kept between calls except the scales of the renders seen since the last change, which
// the change report uses to cover text that overflows the fixed box.
//
// Order in render: the assertions come before anything touches the port,
// and the text's palette is set by a scoped saver, so a raising render
// leaves the port's palette as it was.
//
// A label whose anchor or boxes no shape can hold (a NaN or infinite width,
// height, shade margin or anchor, a restricted text under a scale of 0)
// draws nothing, and its bbox is then the fixed box alone: such values
// never reach a stand-alone shape or the driver.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

// The label's text box under one transformation: R (restricted) or S
// (scaled) in model units, the factors device units -> model units, and the
// extent a restricted text was measured with (device units).
struct qvLabelDrawing::TextBox {
    qvMathRectOf<double> box;
    double kx = 1.0, ky = 1.0;
    qvExtent extent;
};

// The stand-alone texts of one render or bbox; measure prepares the one of
// the label's kind, and render draws that same text.
struct qvLabelDrawing::Texts {
    qvSimpleScaledText scaled;
    qvSimpleRestrictedText restricted;
};

// Reports the label's box before and after one change. The scales seen are
// kept: a second change before the next redraw must still cover the text
// the first one left to be drawn.
class qvLabelDrawing::Change {
public:
    explicit Change(qvLabelDrawing* label) : label_(label) { label_->report_change(); }
    ~Change() {
        label_->report_change();
    }
    Change(Change const&) = delete;
    Change& operator=(Change const&) = delete;

private:
    qvLabelDrawing* label_;
};

namespace {

double label_shade_offset(double margin, double scale) noexcept {
    return scale >= 0.0 || std::isnan(scale) ? margin : -margin;
}

qvMathRectOf<double> label_moved(qvMathRectOf<double> const& r, double dx, double dy) noexcept {
    return qvMathRectOf<double>(r.x1 + dx, r.y1 + dy, r.x2 + dx, r.y2 + dy);
}

template <class Text>
void label_prepare_text(Text& t, char const* text, qvCrdOf<double> anchor, unsigned alignment,
                        double angle) {
    t->text(text);
    t->anchor(anchor);
    t->alignment(alignment);
    t->angle(angle);
}

}  // namespace

// ---------------------------------------------------------------- construction

qvLabelDrawing::qvLabelDrawing() { update_box(); }

qvLabelDrawing::qvLabelDrawing(qvLabelDrawing const& other)
    : qvDrawing(other), scalable_(other.scalable_), show_border_(other.show_border_),
      show_shade_(other.show_shade_), anchor_(other.anchor_), width_(other.width_),
      height_(other.height_), box_(other.box_), shade_margin_(other.shade_margin_),
      text_(other.text_), alignment_(other.alignment_), shade_attr_(other.shade_attr_),
      border_attr_(other.border_attr_), text_attr_(other.text_attr_),
      text_rotation_(other.text_rotation_), box_fixed_size_(other.box_fixed_size_) {}

qvLabelDrawing& qvLabelDrawing::operator=(qvLabelDrawing const& other) {
    if (this == &other) return *this;
    qvDrawing::operator=(other);
    scalable_ = other.scalable_;
    show_border_ = other.show_border_;
    show_shade_ = other.show_shade_;
    anchor_ = other.anchor_;
    width_ = other.width_;
    height_ = other.height_;
    box_ = other.box_;
    shade_margin_ = other.shade_margin_;
    text_ = other.text_;
    alignment_ = other.alignment_;
    shade_attr_ = other.shade_attr_;
    border_attr_ = other.border_attr_;
    text_attr_ = other.text_attr_;
    text_rotation_ = other.text_rotation_;
    box_fixed_size_ = other.box_fixed_size_;
    seen_ = false;
    return *this;
}

qvLabelDrawing::~qvLabelDrawing() = default;

void* qvLabelDrawing::query_interface(qvInterfaceInfo const& info) {
    if (void* p = qvOfferInterfaces<qvLabelDrawing>(this, info)) return p;
    return qvDrawing::query_interface(info);
}

// ---------------------------------------------------------------- setters

#define QV_LABEL_SETTER(name, type, field)     \
    void qvLabelDrawing::name(type v) {         \
        if (v == field) return;                 \
        const Change change(this);              \
        field = v;                              \
    }
QV_LABEL_SETTER(scalable, bool, scalable_)
QV_LABEL_SETTER(box_fixed_size, bool, box_fixed_size_)
QV_LABEL_SETTER(show_border, bool, show_border_)
QV_LABEL_SETTER(show_shade, bool, show_shade_)
QV_LABEL_SETTER(alignment, unsigned, alignment_)
QV_LABEL_SETTER(shade_margin, double, shade_margin_)
QV_LABEL_SETTER(text_rotation, double, text_rotation_)
#undef QV_LABEL_SETTER

void qvLabelDrawing::text(qvString const& t) {
    if (std::strcmp(t, text_) == 0) return;
    const Change change(this);
    text_ = t;
}

void qvLabelDrawing::anchor(qvCrdOf<double> const& a) {
    if (a.x == anchor_.x && a.y == anchor_.y) return;
    const Change change(this);
    anchor_ = a;
    update_box();
}

void qvLabelDrawing::width(double w) {
    if (w == width_) return;
    const Change change(this);
    width_ = w;
    update_box();
}

void qvLabelDrawing::height(double h) {
    if (h == height_) return;
    const Change change(this);
    height_ = h;
    update_box();
}

void qvLabelDrawing::text_attribute(qvSharedAttribute const& a) {
    const Change change(this);
    text_attr_ = a;
}

void qvLabelDrawing::border_attribute(qvSharedAttribute const& a) {
    const Change change(this);
    border_attr_ = a;
}

void qvLabelDrawing::shade_attribute(qvSharedAttribute const& a) {
    const Change change(this);
    shade_attr_ = a;
}

void qvLabelDrawing::update_box() noexcept {
    box_ = qvMathRectOf<double>(anchor_.x - width_ * 0.5, anchor_.y - height_ * 0.5,
                                anchor_.x + width_ * 0.5, anchor_.y + height_ * 0.5);
}

unsigned qvLabelDrawing::effective_alignment() const noexcept {
    unsigned a = alignment_;
    if ((a & 12u) == 0) a |= 12u;
    if ((a & 3u) == 0) a |= 3u;
    return a;
}

// ---------------------------------------------------------------- measuring

// The text's model box under rt; the text attribute is present. A
// restricted text's vectors are the text record's own (its alignment and
// angle are the label's, its aperture the stand-alone text's), measured in
// device units; only the size is turned into model units here.
qvLabelDrawing::TextBox qvLabelDrawing::measure(qvRestrictedTransformation const& rt, Texts& texts) const {
    TextBox out;
    const unsigned align = effective_alignment();
    if (scalable_) {
        qvSimpleScaledText& t = texts.scaled;
        label_prepare_text(t, text_, anchor_, align, text_rotation_);
        t->adjust_extent();
        t->extent(t->compute_extent(*text_attr_));
        out.box = t->bbox();
        return out;
    }
    qvSimpleRestrictedText& t = texts.restricted;
    label_prepare_text(t, text_, anchor_, align, text_rotation_);
    out.extent = t->compute_extent(*text_attr_);
    out.kx = 1.0 / std::fabs(rt.m0());
    out.ky = 1.0 / std::fabs(rt.m3());
    const unsigned h = align & 12u, v = align & 3u;
    qvCrdOf<double> p0, p1, up, down;
    static_cast<qvShape<qvTextData> const*>(t->record())->data().compute_vectors(out.extent, p0, p1, up, down);
    const qvCrdOf<double> c[4] = {p0 + up, p0 + down, p1 + up, p1 + down};
    double x0 = c[0].x, x1 = c[0].x, y0 = c[0].y, y1 = c[0].y;
    for (auto const& p : c) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    const double W = (x1 - x0) * out.kx, H = (y1 - y0) * out.ky;
    const double ax = anchor_.x, ay = anchor_.y;
    const double bx = h == 8 ? ax - W : h == 12 ? ax - W / 2 : ax;
    const double by = (v == 1 || v == 0) ? ay - H : v == 2 ? ay : ay - H / 2;
    out.box = qvMathRectOf<double>(bx, by, bx + W, by + H);
    return out;
}

qvMathRectOf<double> qvLabelDrawing::bbox(qvRestrictedTransformation const* rt) const {
    const double mx = rt ? label_shade_offset(shade_margin_, rt->m0()) : shade_margin_;
    const double my = rt ? label_shade_offset(shade_margin_, rt->m3()) : shade_margin_;
    if (!text_attr_ || text_()[0] == '\0' || rt == nullptr || !qvFitsFloat(anchor_))
        return united_box(nullptr, mx, my);
    Texts texts;
    const TextBox t = measure(*rt, texts);
    return united_box(&t, mx, my);
}

qvMathRectOf<double> qvLabelDrawing::united_box(TextBox const* text, double mx, double my) const noexcept {
    const qvMathRectOf<double> shade0 = label_moved(box_, mx, my);
    if (text == nullptr) {
        qvMathRectOf<double> u = box_;
        if (show_shade_) u += shade0;
        return u;
    }
    qvMathRectOf<double> u = text->box, b = box_, shade = shade0;
    if (!box_fixed_size_ && (scalable_ || show_border_)) {
        b = text->box;
        shade = scalable_ ? label_moved(text->box, mx, my) : label_moved(text->box, mx * text->kx, my * text->ky);
    }
    if (show_border_) {
        u += b;
        if (show_shade_) u += shade;
    }
    return u;
}

qvMathRectOf<double> qvLabelDrawing::repaint_box() const noexcept {
    qvMathRectOf<double> r = bbox(nullptr);
    if (!seen_) return r;
    try {
        const qvRestrictedTransformation smallest(seen_x_, seen_y_, 0.0, 0.0);
        r += bbox(&smallest);
    } catch (qvError const&) {
        // A text that cannot be measured (a wrong-type font) adds nothing
        // here; render raises for it.
    }
    return r;
}

void qvLabelDrawing::report_change() noexcept {
    if (host() == nullptr) return;
    try {
        invalidate(repaint_box());
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

// ---------------------------------------------------------------- drawing

void qvLabelDrawing::render(qvFlavorPort& port, qvMathRectOf<double> const&) {
    QV_ASSERT_TEXT(text_attr_, "_text_attr");
    const qvRestrictedTransformation t = port.transformation();
    const double sx = t.m0(), sy = t.m3();
    if (!seen_) {
        seen_ = true;
        seen_x_ = sx;
        seen_y_ = sy;
    } else {
        seen_x_ = std::copysign(std::min(std::fabs(seen_x_), std::fabs(sx)), sx);
        seen_y_ = std::copysign(std::min(std::fabs(seen_y_), std::fabs(sy)), sy);
    }
    // An empty text draws nothing (and its bbox measures nothing either).
    if (text_()[0] == '\0' || !qvFitsFloat(anchor_)) return;
    const double mx = label_shade_offset(shade_margin_, sx);
    const double my = label_shade_offset(shade_margin_, sy);
    // One measurement gives the box bbox(&t) would answer, the text's box
    // and the prepared text that is drawn.
    Texts texts;
    const TextBox measured = measure(t, texts);
    if (united_box(&measured, mx, my).empty()) return;
    qvMathRectOf<double> b = box_;
    qvMathRectOf<double> shade = label_moved(box_, mx, my);
    if (!box_fixed_size_) {
        b = measured.box;
        shade = scalable_ ? label_moved(b, mx, my) : label_moved(b, mx * measured.kx, my * measured.ky);
    }
    if (show_border_) {
        QV_ASSERT_TEXT(border_attr_, "_border_attr");
        QV_ASSERT_TEXT(!show_shade_ || shade_attr_, "_shade_attr");
    }
    if (!qvFitsFloat(measured.box) || (show_border_ && !qvFitsFloat(b)) ||
        (show_border_ && show_shade_ && !qvFitsFloat(shade)))
        return;
    const long text_handle = text_attr_->attribute_handle();

    qvShapeBase* text_record = nullptr;
    if (scalable_) {
        const qvMathRectOf<double> s = measured.box;
        const double size = std::min(s.x2 - s.x1, s.y2 - s.y1);
        // A text box of no width or height has no size to give the text.
        if (size > 0.0) {
            texts.scaled->height(size);
            text_record = texts.scaled->record();
        }
    } else {
        const qvMathRectOf<double> r = measured.box;
        qvRestrictedTransformation adjust = t;
        texts.restricted->adjust_extent(&adjust);
        texts.restricted->extent(measured.extent);
        text_record = texts.restricted->record();
        // A stand-alone text keeps the box it was made with; a host draws
        // and culls by the record's box, so it gets the text's own box
        // under T, the one bbox and the change reports cover.
        text_record->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(r)));
    }

    if (show_border_) {
        qvSimpleRectangle rect;
        if (show_shade_) {
            rect->rectangle(shade);
            rect->record()->attribute_handle = qvCheckedInt32(shade_attr_->attribute_handle());
            port.draw_shape(*rect->record());
        }
        rect->rectangle(b);
        rect->record()->attribute_handle = qvCheckedInt32(border_attr_->attribute_handle());
        port.draw_shape(*rect->record());
    }
    if (text_record == nullptr) return;
    text_record->attribute_handle = qvCheckedInt32(text_handle);
    const qvFlavorPortPalette text_palette(port, text_attr_->attribute_palette());
    port.draw_shape(*text_record);
}
