// The scene port's texts and images (see qvViewTScenePort.hpp).
//
// Texts and images are not point sets: each is copied into a stand-alone
// shape of its kind, the copy is edited through its data-access interfaces
// and its record goes to the target. The copy lives for the call.
//
//   kind   copy                      drawn in           base B
//   -9     restricted text           target's device    the mapping
//   -10    scaled text               target's model     M
//   -11    restricted image          target's device    (resampled)
//   -12    scaled image              target's model     M
//
// The device kinds set the port's transformation to the identity for the
// call (so M equals the mapping) and put it back on every exit, through the
// flavour-port saver; palette switches are scoped the same way, so a target
// or an attribute that raises leaves the port as it found it.
//
// A copy keeps its anchor (and a scaled image its corners) as a scene
// does, within the float range. A record whose mapped anchor, corners or
// height fall outside it (a mapping with a NaN, or one that scales past
// float) is not drawn (false), checked before the copy or the port
// changes, so the rest of a redraw goes on.

#include <orvane/rendering/qvViewTScenePort.hpp>

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvAperture.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/rendering/qvBitmapClippingT.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>
#include <orvane/shapes/qvSimpleScaledImage.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>

#include "rendering/qvShapeRecordPoints.hpp"
#include "rendering/qvViewTScenePortScaledAttribute.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

constexpr double scene_port_degrees = 180.0 / std::numbers::pi;

// Hands an edited copy's record to the target. Its header box is first
// made its own, computed from the edited record, in float as a scene keeps
// it: the copy starts with the source's box, which no longer says where the
// shape is once it has been mapped.
template <class Copy>
bool scene_port_send_copy(qvFlavorPort& target, Copy& copy) {
    const qvMathRectOf<double> box = copy->bbox();
    copy->record()->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
    return target.draw_shape(*copy->record());
}

// Runs a step that turns, scales or measures a text copy. Its extent may
// leave the float range where its anchor and height do not (a wide text
// under a tall mapping), and a mapping that collapses an axis, or whose
// squares leave the double range (scales below about 1e-154 or above 1e154),
// gives the aperture no cosine; the copy refuses such a value as a shape
// would, and the record is then skipped like one whose points do not map.
// Raised, it ended the redraw.
template <class Step>
bool scene_port_text_step(Step&& step) {
    try {
        step();
        return true;
    } catch (qvErrorFrom<qvShapeCoordinates> const&) {
        return false;
    }
}

// The length of A's image of the y axis: how a text's height follows A.
double scene_port_text_factor(qvTransformation const& a) noexcept {
    return std::sqrt(a.m1() * a.m1() + a.m3() * a.m3());
}

// Direction, mirror and aperture of a text copy under the base matrix b:
// writes the new angle and aperture and returns A (with the half turn of a
// mirror composed in). `mirrored` tells the caller to flip the alignment.
qvTransformation scene_port_text_direction(qvTextDataAccess& text, qvTransformation const& b, bool& mirrored) {
    qvTransformation a = b * qvTransformation(qvRotation(-text.angle()));
    mirrored = (b.m0() < 0 && b.m3() >= 0) || (b.m3() < 0 && b.m0() >= 0);
    if (mirrored)
        a = a * qvTransformation(qvRotation(180));
    text.angle(-std::atan2(a.m2(), a.m0()) * scene_port_degrees);
    // Rounding can push the cosine just past +-1 near apertures of 0 and
    // 180, which made acos a NaN; a collapsed axis still gives NaN, which
    // the copy refuses.
    const double cosine = qvApertureCos(a * qvTransformation(qvAperture(-text.aperture())));
    const double clamped = std::isnan(cosine) ? cosine : std::clamp(cosine, -1.0, 1.0);
    text.aperture(-std::acos(clamped) * scene_port_degrees);
    return a;
}

// A restricted image's whole mapped frame stays this far inside int.
constexpr double scene_port_frame_limit = 1 << 29;
// The resolution at which a bitmap pixel takes one device unit.
constexpr int scene_port_default_dpi = 72;

// Where a restricted image's anchor lies across its extent, as a fraction
// from the low edge per axis. Device y runs down: the top edge is the low
// one, and the baseline of an image is its bottom edge.
qvCrdOf<double> scene_port_image_anchor(unsigned alignment) noexcept {
    qvCrdOf<double> k(0.0, 1.0);
    if (qvTextAlignment::horizontal(alignment) == qvTextAlignment::end)
        k.x = 1.0;
    else if (qvTextAlignment::horizontal(alignment) == qvTextAlignment::horizontal_centre)
        k.x = 0.5;
    if (qvTextAlignment::vertical(alignment) == qvTextAlignment::top)
        k.y = 0.0;
    else if (qvTextAlignment::vertical(alignment) == qvTextAlignment::vertical_centre)
        k.y = 0.5;
    return k;
}

// A stand-alone copy of a (checked) restricted-image record's fixed part:
// its bitmap keeps its size and resolution but has no pixels or colours.
// Copying the pixels only for the resampled part to replace them made every
// draw cost as much as the whole source.
qvSimpleRestrictedImage scene_port_image_without_pixels(qvShapeBase const& record) {
    constexpr std::int32_t fixed = qvFixedRecordSize(qvRestrictedImageKind);
    const std::unique_ptr<qvShapeBase> head(qvNewShapeRecord(fixed));
    std::memcpy(static_cast<void*>(head.get()), &record, fixed);
    head->size = fixed;
    qvImageData& image = static_cast<qvShape<qvRestrictedImageData>*>(head.get())->data().image;
    image.header.row_bytes = 0;
    image.header.image_size = 0;
    image.header.color_count = 0;
    image.pixel_offset = 0;
    image.colormap_offset = 0;
    return qvSimpleRestrictedImage(head.get());
}

}  // namespace

// ---------------------------------------------------------------------------
// Texts

bool qvViewTScenePort::draw_restricted_text(qvShapeBase const& record) {
    qvSimpleRestrictedText copy(&record);
    const qvCrdOf<double> device_anchor = qvTransformation(target_->transformation()) * copy->anchor();
    const qvCrdOf<double> anchor = mapping_ * device_anchor;
    if (!qvFitsFloat(device_anchor) || !qvFitsFloat(anchor))
        return false;
    const qvFlavorPortTransformation in_device(*this, qvRestrictedTransformation());
    copy->anchor(anchor);
    bool mirrored = false;
    qvTransformation a;
    if (!scene_port_text_step([&] { a = scene_port_text_direction(*copy, mapping_, mirrored); }))
        return false;
    if (mirrored)
        copy->alignment(get_flipped_alignment(copy->alignment()));

    if (!scale_font_size_ && !scale_line_width_) {
        if (!scene_port_text_step([&] { copy->adjust_extent(nullptr); }))
            return false;
        return scene_port_send_copy(*target_, copy);
    }
    return ScaledAttribute::draw(*this, record.attribute_handle, [&](qvAttributeInterface& attribute) {
        copy->record()->attribute_handle = qvCheckedInt32(attribute.attribute_handle());
        if (scale_font_size_) {
            const double f = static_cast<float>(attribute.font_size());
            const double factor = scene_port_text_factor(a);
            const double size = f == 0.0 ? factor * 10.0 : f * factor;
            // Too small to read, or no size at all (a collapsed mapping), or
            // too large for a font size.
            if (!(size >= 1.0) || !qvFitsFloat(size))
                return false;
            attribute.font_size(static_cast<float>(size));
        }
        if (scale_line_width_ && !scale_line_width_of(attribute))
            return false;
        if (!scene_port_text_step([&] {
                copy->extent(copy->compute_extent(attribute));
                copy->adjust_extent(nullptr);
            }))
            return false;
        return scene_port_send_copy(*target_, copy);
    });
}

bool qvViewTScenePort::draw_scaled_text(qvShapeBase const& record) {
    qvSimpleScaledText copy(&record);
    const qvCrdOf<double> anchor = matrix_ * copy->anchor();
    if (!qvFitsFloat(anchor))
        return false;
    copy->anchor(anchor);
    bool mirrored = false;
    qvTransformation a;
    if (!scene_port_text_step([&] { a = scene_port_text_direction(*copy, matrix_, mirrored); }))
        return false;
    if (mirrored)
        copy->alignment(get_flipped_alignment(copy->alignment()));
    // A mapping that collapses the text's height leaves nothing to draw (the
    // copy's height takes no 0); one beyond the float range the copy refuses.
    const double height = copy->height() * scene_port_text_factor(a);
    if (height == 0.0) return false;
    if (!scene_port_text_step([&] { copy->height(height); }))
        return false;

    if (!scale_line_width_) {
        if (!scene_port_text_step([&] { copy->adjust_extent(); }))
            return false;
        return scene_port_send_copy(*target_, copy);
    }
    return ScaledAttribute::draw(*this, record.attribute_handle, [&](qvAttributeInterface& attribute) {
        if (!scale_line_width_of(attribute))
            return false;
        copy->record()->attribute_handle = qvCheckedInt32(attribute.attribute_handle());
        if (!scene_port_text_step([&] { copy->adjust_extent(); }))
            return false;
        return scene_port_send_copy(*target_, copy);
    });
}

// ---------------------------------------------------------------------------
// Images

// The resampling covers only the part of the image that the target's clip
// lets through, at one pixel per device unit, so its cost follows the
// window, not the mapped size nor the image's resolution (an image 4,352
// pixels wide and 0 high once cost 18 million pixels a draw under a turn).
// The target places a restricted image by its anchor, alignment and size;
// the part is sent with the anchor moved so that each of its pixels lands
// where it lay in the whole resampled image, which is what an image inside
// the window is still sent as.
bool qvViewTScenePort::draw_restricted_image(qvShapeBase const& record) {
    // The source's bitmap is read in place (its header copied); the copy
    // has none of its pixels, which the resampled part replaces.
    qvImageData const& image = qvShapeRecordData<qvImageData>(record);
    qvBitmapHeader header = image.header;
    const qvBitmapReference source(
        &header, image.pixel_bytes() > 0 ? const_cast<unsigned char*>(image.pixels()) : nullptr,
        image.colormap_bytes() > 0 ? const_cast<qvColorMapEntry*>(image.colormap()) : nullptr);
    if (source.width() <= 0 || source.height() <= 0)
        return false;
    qvSimpleRestrictedImage copy = scene_port_image_without_pixels(record);
    const qvCrdOf<double> device_anchor = qvTransformation(target_->transformation()) * copy->anchor();
    const qvCrdOf<double> anchor = mapping_ * device_anchor;
    if (!qvFitsFloat(device_anchor) || !qvFitsFloat(anchor))
        return false;
    copy->anchor(device_anchor);
    const qvFlavorPortTransformation in_device(*this, qvRestrictedTransformation());

    // The device units a source pixel takes at its resolution (1 at the
    // default), from the size the copy reports for no matrix.
    copy->adjust_extent(nullptr);
    const double w = source.width(), h = source.height();
    const qvCrdOf<double> unit(copy->x_resolution() / w, copy->y_resolution() / h);
    // R maps the target's device space into bitmap space; the bitmap is
    // resampled through its inverse. The whole mapped frame must fit an
    // int before the clipping measures it.
    const qvTransformation r = qvTransformation(qvScaling(1.0 / unit.x, -1.0 / unit.y)) * qvInvert(mapping_);
    const qvTransformation& m = mapping_;
    const double rough_w = std::fabs(m.m0()) * w * unit.x + std::fabs(m.m1()) * h * unit.y;
    const double rough_h = std::fabs(m.m2()) * w * unit.x + std::fabs(m.m3()) * h * unit.y;
    if (!(rough_w <= scene_port_frame_limit && rough_h <= scene_port_frame_limit))
        return false;
    qvBitmapClippingT clipping(source, r, static_cast<qvStandardBitmapType>(source.type()), false, true);

    // Where the whole resampled image would lie on the target: its first
    // pixel's corner, one device unit a pixel.
    const qvCrdOf<double> k = scene_port_image_anchor(static_cast<unsigned>(copy->alignment()));
    const qvBitmapFrame& whole = clipping.whole_frame();
    const qvCrdOf<double> low(anchor.x - k.x * whole.width(), anchor.y - k.y * whole.height());

    // The window in the clipping's device space, where D's corner is that
    // first pixel's corner; NaN fails the test. A draw object with no clip
    // region (an empty one) has no clipping: it sees the whole image, as a
    // selector does.
    qvMathRectOf<double> const& d = clipping.device_rectangle();
    qvDrawObject& draw = target_->draw();
    const bool unclipped = draw.clip().empty();
    const qvMathRectOf<double> window = draw.clip_box();
    const double x1 = unclipped ? d.x1 : d.x1 + (window.x1 - low.x);
    const double x2 = unclipped ? d.x2 : d.x1 + (window.x2 - low.x);
    const double y1 = unclipped ? d.y1 : d.y1 + (window.y1 - low.y);
    const double y2 = unclipped ? d.y2 : d.y1 + (window.y2 - low.y);
    if (!(x1 < x2 && y1 < y2))
        return false;
    const qvMathRectOf<double> covered(std::max(x1, d.x1), std::max(y1, d.y1), std::min(x2, d.x2),
                                       std::min(y2, d.y2));
    // A zoomed-in view must not fail its whole redraw for one image: a part
    // the clipping would refuse (whole pixels and a pixel of margin on each
    // side) is not drawn.
    if (!(covered.x1 < covered.x2 && covered.y1 < covered.y2) ||
        !qvBitmapClippingT::size_allowed(covered.width() + 4.0, covered.height() + 4.0))
        return false;
    clipping.set_region(qvRegion(covered));
    if (clipping.empty())
        return false;
    // The part's pixels are device units: at the default resolution, or
    // the source's own when that is the default too.
    qvBitmap resampled = clipping.clip();
    resampled.dpi(unit.x == 1.0 ? source.dpi_x() : scene_port_default_dpi,
                  unit.y == 1.0 ? source.dpi_y() : scene_port_default_dpi);
    const qvBitmapFrame& part = clipping.clip_frame();
    const double dx = (part.left() - whole.left()) + k.x * (part.width() - whole.width());
    const double dy = (part.top() - whole.top()) + k.y * (part.height() - whole.height());
    const qvCrdOf<double> part_anchor(anchor.x + dx, anchor.y + dy);
    if (!qvFitsFloat(part_anchor))
        return false;
    copy->bitmap(resampled);
    copy->anchor(part_anchor);
    copy->adjust_extent(nullptr);
    return scene_port_send_copy(*target_, copy);
}

bool qvViewTScenePort::draw_scaled_image(qvShapeBase const& record) {
    qvSimpleScaledImage copy(&record);
    const qvCrdOf<double> p = copy->anchor();
    const qvCrdOf<double> u = copy->x_vector(), v = copy->y_vector();
    const qvCrdOf<double> p1(p.x + u.x, p.y + u.y), p2(p.x + v.x, p.y + v.y);
    const qvCrdOf<double> anchor = matrix_ * p;
    const qvCrdOf<double> q1 = matrix_ * p1, q2 = matrix_ * p2;
    if (!qvFitsFloat(anchor) || !qvFitsFloat(q1) || !qvFitsFloat(q2))
        return false;
    copy->anchor(anchor);
    copy->vectors(qvCrdOf<double>(q1.x - anchor.x, q1.y - anchor.y), qvCrdOf<double>(q2.x - anchor.x, q2.y - anchor.y));
    return scene_port_send_copy(*target_, copy);
}
