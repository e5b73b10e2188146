#pragma once
// qvRestrictedText: the typed handle of an in-scene restricted text, and
// qvRestrictedTextProxy, its concrete proxy (proxy class id 7, kind -9,
// records of 120 bytes plus the text and its zero). A new record holds
// alignment 6, aperture 90, stretch 1, height 1 and no text.
//
// The text constructors run, each step a box-keeping change of its own:
//   1. the text, when not null;
//   2. with an attribute: connect it, then adjust_extent(t) (t may be
//      null); without one: the extent (1, 0, 1), a box 1 wide and 1 high
//      above the baseline;
//   3. the anchor, the alignment, the angle and the aperture.
// Their defaults: alignment 20 (carried bit, start, baseline), angle 0,
// aperture 90.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvRestrictedTextProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>
#include <orvane/shapes/qvTextData.hpp>

using qvRestrictedTextProxy = qvSingleShapeGraphicProxy<qvRestrictedTextProxyBase, qvRestrictedTextData>;
QV_INTERFACE_NAME(qvRestrictedTextProxy);

class qvRestrictedText : public qvSpecificGraphic<qvRestrictedTextProxy> {
    using Base = qvSpecificGraphic<qvRestrictedTextProxy>;

public:
    // Empty handles, shared copies, the type-tested conversion from
    // qvGraphic, the text of an existing shape (scene, handle) and the copy
    // of a graphic into a scene.
    using Base::Base;
    using Base::operator=;
    qvRestrictedText() noexcept = default;

    // A new restricted text of `scene`, without a record until its first change.
    explicit qvRestrictedText(qvContainerScene& scene);
    qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text,
                     qvAttributeFolderInterface* attributes, qvRestrictedTransformation* t);
    qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, unsigned alignment,
                     qvAttributeFolderInterface* attributes, qvRestrictedTransformation* t);
    qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, unsigned alignment,
                     double angle, qvAttributeFolderInterface* attributes, qvRestrictedTransformation* t);
    qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, unsigned alignment,
                     double angle, double aperture, qvAttributeFolderInterface* attributes,
                     qvRestrictedTransformation* t);
};
