// The rendering helpers (see qvRenderingHelper.hpp and
// qvRenderingFilterHelper.hpp).

#include <orvane/views/qvRenderingFilterHelper.hpp>
#include <orvane/views/qvRenderingHelper.hpp>

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvPropertyValue.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/rendering/qvFlavorClass.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/views/qvViewFilter.hpp>

#include "attributes/qvAttributeFolders.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <cstdint>
#include <cstring>

namespace {

[[noreturn]] void rendering_helper_raise_malformed() {
    qvRaise(qvErrorFrom<qvRenderingHelper>("Attempt to render a malformed shape"));
}

}  // namespace

// ---------------------------------------------------------------------------
// qvRenderingHelper

qvRenderingHelper::~qvRenderingHelper() = default;

qvFlavorPort& qvRenderingHelper::checked_target() const {
    QV_ASSERT_TEXT(target_ != nullptr, "target");
    return *target_;
}

void* qvRenderingHelper::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvViewLayerFlavorPort, qvFlavorPort>(this, info);
}

qvDrawObject& qvRenderingHelper::draw() { return checked_target().draw(); }

qvRestrictedTransformation const& qvRenderingHelper::transformation() const {
    return checked_target().transformation();
}

void qvRenderingHelper::transformation(qvRestrictedTransformation const& t) { checked_target().transformation(t); }

qvRestrictedTransformation const& qvRenderingHelper::inverse_transformation() const {
    return checked_target().inverse_transformation();
}

qvMathRectOf<double> const& qvRenderingHelper::device_bbox() const { return checked_target().device_bbox(); }

void qvRenderingHelper::device_bbox(qvMathRectOf<double> const& box) { checked_target().device_bbox(box); }

qvMathRectOf<double> const& qvRenderingHelper::model_bbox() const { return checked_target().model_bbox(); }

void qvRenderingHelper::scene(qvScene* scene) { checked_target().scene(scene); }

qvScene* qvRenderingHelper::scene() const { return checked_target().scene(); }

void qvRenderingHelper::palette(qvPalette* palette) { checked_target().palette(palette); }

qvPalette* qvRenderingHelper::palette() const { return checked_target().palette(); }

qvExtent qvRenderingHelper::text_metrics(long attribute, char const* text, unsigned length) {
    return checked_target().text_metrics(attribute, text, length);
}

bool qvRenderingHelper::draw_shape(qvShapeBase const& record) {
    qvFlavorPort& target = checked_target();
    const std::int32_t kind = record.kind;
    if (kind == 0)
        rendering_helper_raise_malformed();
    const bool sound = qvShapeRecordValid(record);
    if (kind > 0) {
        if (!sound)
            rendering_helper_raise_malformed();
        return qvFlavorClass::dispatch(kind, *this, record);
    }
    if (!sound)
        return false;
    if (qvPalette* const palette = target.palette()) {
        // The registered folder object itself: a change of its bound class
        // is still seen by the check below.
        static qvFolder const& folder = qvAttributeFolder(qvAttributeFolderId::attribute_flavor);
        // Property classes live as long as the library, so a binding once
        // checked stays right until the folder is bound anew; only then is
        // the check repeated (it costs a registry look-up per record).
        static qvPropertyClass const* verified = nullptr;
        if (folder.type() == nullptr || folder.type() != verified) {
            qvCheckPropertyClass(folder.type(), qvAttributeClassId::reference);
            verified = folder.type();
        }
        if (void const* const stored = palette->property(record.attribute_handle, folder)) {
            std::int32_t flavor;
            std::memcpy(&flavor, stored, sizeof flavor);
            if (qvFlavorClass::dispatch(flavor, *this, record))
                return true;
        }
    }
    return target.draw_shape(record);
}

// ---------------------------------------------------------------------------
// qvRenderingFilterHelper

qvRenderingFilterHelper::qvRenderingFilterHelper() noexcept : filter_(qvViewFilter::on()) {}

qvRenderingFilterHelper::qvRenderingFilterHelper(qvFlavorPort& target, qvViewDataLayerObject* layer) noexcept
    : qvRenderingHelper(target, layer), filter_(qvViewFilter::on()) {}

qvRenderingFilterHelper::qvRenderingFilterHelper(qvFlavorPort& target, qvViewDataLayerObject* layer,
                                                 qvViewFilter* filter)
    : qvRenderingHelper(target, layer), filter_(filter) {
    QV_ASSERT_TEXT(filter != nullptr, "flt");
}

qvRenderingFilterHelper::~qvRenderingFilterHelper() = default;

void qvRenderingFilterHelper::retarget(qvFlavorPort& target, qvViewDataLayerObject* layer, qvViewFilter* filter) {
    QV_ASSERT_TEXT(filter != nullptr, "flt");
    qvRenderingHelper::retarget(target, layer);
    filter_ = filter;
}

bool qvRenderingFilterHelper::draw_shape(qvShapeBase const& record) {
    checked_target();
    if (!filter_->accept_shape(record))
        return false;
    return qvRenderingHelper::draw_shape(record);
}
