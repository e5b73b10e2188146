// qvSelector: the driver face, its buffer and draw object, and the corner
// computations the tests share (see qvSelector.hpp, qvSelectorImpl.hpp).
//
// draw_shape is the whole road of a hit: ignored once stopped; the record
// check first (a record that fails is neither tested nor reported, and
// nothing outside it is read); then the selector's check_selection; a hit
// goes to the callback, whose false stops the draw object. A missing
// callback ignores hits and lets the traversal go on.

#include <orvane/interaction/qvSelector.hpp>

#include "interaction/qvSelectorImpl.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvTextData.hpp>
#include <orvane/shapes/qvTextExtent.hpp>

#include <cmath>

// ---------------------------------------------------------------------------
// The driver face

qvSelector::qvSelector(Callback* callback, qvISafePtr<qvDriverObject> const& driver)
    : callback_(callback), driver_(driver) {}

qvSelector::qvSelector(qvSelector const& other)
    : qvRefBase(), qvDynamicInterface(), qvDriverObject(other), callback_(other.callback_),
      options_(other.options_), mirror_x_(other.mirror_x_), y_down_(other.y_down_), driver_(other.driver_) {}

qvSelector& qvSelector::operator=(qvSelector const& other) {
    callback_ = other.callback_;
    options_ = other.options_;
    mirror_x_ = other.mirror_x_;
    y_down_ = other.y_down_;
    driver_ = other.driver_;
    return *this;
}

qvSelector::~qvSelector() = default;

qvISafePtr<qvVBufObject> qvSelector::new_master_vbuf() {
    return qvISafePtr<qvVBufObject>(new VBufImpl(*this));
}

double qvSelector::h_quantum() const { return driver_ ? driver_->h_quantum() : 0.0; }
double qvSelector::v_quantum() const { return driver_ ? driver_->v_quantum() : 0.0; }
double qvSelector::h_dpi() const { return driver_ ? driver_->h_dpi() : 0.0; }
double qvSelector::v_dpi() const { return driver_ ? driver_->v_dpi() : 0.0; }

// ---------------------------------------------------------------------------
// Buffer and draw object

qvISafePtr<qvDrawObject> qvSelector::VBufImpl::new_draw() {
    return qvISafePtr<qvDrawObject>(new DrawImpl(*this));
}

void* qvSelector::DrawImpl::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvFlavorPort>(this, info);
}

bool qvSelector::DrawImpl::draw_shape(qvShapeBase const& record) {
    if (stopped_)
        return true;
    if (!qvShapeRecordValid(record))
        return false;
    qvSelector& selector = vbuf_->selector();
    const Info info{&geometry_.transformation(), palette_};
    if (!selector.check_selection(&record, info))
        return true;
    if (Callback* const callback = selector.callback())
        stopped_ = !callback->selected(&record, scene_);
    return true;
}

// ---------------------------------------------------------------------------
// Corners

void qvSelector::text_corners(qvCrdOf<double>* out4, qvShape<qvTextData> const* record, Info info,
                              bool scaled) const {
    qvTextData const& text = record->data();
    qvRestrictedTransformation const& t = *info.transformation;
    qvCrdOf<double> v[4];
    qvCrdOf<double> anchor = text.anchor;
    bool flip_y;
    if (scaled) {
        text.compute_vectors(v[0], v[1], v[2], v[3]);
        flip_y = y_down_ != (t.m3() < 0);
    } else {
        anchor = {t.m0() * anchor.x + t.m4(), t.m3() * anchor.y + t.m5()};
        qvStandardFontCookie font_defaults;
        qvStandardFontCookie const* font = &font_defaults;
        qvSafePtr<qvStandardFontCookie> held;
        if (info.palette != nullptr && record->attribute_handle != 0) {
            held = qvCookieAccess<qvStandardFontCookie>(*info.palette, record->attribute_handle).cookie;
            font = held.get();
        }
        char const* const chars = text.length > 0 ? text.text() : "";
        const qvTextExtent extent(chars, font->font_family,
                                  font->font_name.empty() ? nullptr : static_cast<char const*>(font->font_name),
                                  qvWrap<float>(font->font_size), font->font_slant, font->font_weight,
                                  QV_FT_DEFAULT);
        text.compute_vectors(extent, v[0], v[1], v[2], v[3]);
        flip_y = y_down_;
    }
    for (qvCrdOf<double>& d : v) {
        if (flip_y)
            d.y = -d.y;
        if (mirror_x_)
            d.x = -d.x;
    }
    const qvCrdOf<double> offsets[4] = {
        {v[0].x + v[3].x, v[0].y + v[3].y},
        {v[0].x + v[2].x, v[0].y + v[2].y},
        {v[1].x + v[2].x, v[1].y + v[2].y},
        {v[1].x + v[3].x, v[1].y + v[3].y},
    };
    for (int i = 0; i < 4; ++i) {
        const qvCrdOf<double> c{anchor.x + offsets[i].x, anchor.y + offsets[i].y};
        out4[i] = scaled ? qvCrdOf<double>{t.m0() * c.x + t.m4(), t.m3() * c.y + t.m5()} : c;
    }
}

namespace {

// The low and high edge of a restricted image along one axis: alignment
// code 1 puts the anchor on the low edge, 2 on the high edge; 3 and 0
// centre it.
void selector_image_span(double anchor, double size, int code, double& low, double& high) {
    switch (code) {
    case 1: low = anchor; high = anchor + size; break;
    case 2: low = anchor - size; high = anchor; break;
    default: low = anchor - size / 2; high = anchor + size / 2; break;
    }
}

// The device size along an axis: the bitmap's pixels, or fewer when the
// resolution value (the size in model units) maps to less.
double selector_image_size(std::int32_t pixels, double scale, double resolution) {
    double size = static_cast<double>(pixels);
    if (resolution > 0) {
        const double mapped = std::fabs(scale) * resolution;
        if (mapped < size)
            size = mapped;
    }
    return size;
}

}  // namespace

void qvSelector::image_corners(qvCrdOf<double>* out4, qvShape<qvRestrictedImageData> const* record,
                               Info info) const {
    qvRestrictedImageData const& image = record->data();
    qvRestrictedTransformation const& t = *info.transformation;
    const qvCrdOf<double> a{t.m0() * image.image.anchor.x + t.m4(), t.m3() * image.image.anchor.y + t.m5()};
    const double width = selector_image_size(image.image.header.width, t.m0(), image.x_resolution);
    const double height = selector_image_size(image.image.header.height, t.m3(), image.y_resolution);
    double x0, x1, y0, y1;
    selector_image_span(a.x, width, (image.alignment >> 2) & 3, x0, x1);
    selector_image_span(a.y, height, image.alignment & 3, y0, y1);
    out4[0] = {x0, y0};
    out4[1] = {x1, y0};
    out4[2] = {x1, y1};
    out4[3] = {x0, y1};
}
