#pragma once
// qvScaledText: the typed handle of an in-scene scaled text, and
// qvScaledTextProxy, its concrete proxy (proxy class id 8, kind -10,
// records of 120 bytes plus the text and its zero). A new record holds
// alignment 6, aperture 90, stretch 1, height 1 and no text.
//
// The text constructors run, each step a box-keeping change of its own:
//   1. the text, when not null;
//   2. the height (assertion "h != 0.0" for 0);
//   3. the stretch ("Stretch must be a non-zero positive value" when it is
//      not above 0);
//   4. with an attribute: connect it, then adjust_extent(); without one the
//      extent stays as the record holds it (all 0 for a new record);
//   5. the anchor, the alignment, the angle and the aperture.
// A height, stretch, anchor, angle or aperture that a step would refuse is
// refused before step 1, and a measure of step 4 that fails destroys the
// new shape again, so a failed construction leaves no shape in the scene;
// only a scene receiver that raises at a later step's report leaves the
// text half-made there, with no handle (the README's receiver table).
// Their defaults:
// stretch 1, alignment 20 (carried bit, start, baseline), angle 0,
// aperture 90.

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/shapes/qvScaledTextProxyBase.hpp>
#include <orvane/shapes/qvSingleShapeGraphicProxy.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>
#include <orvane/shapes/qvTextData.hpp>

using qvScaledTextProxy = qvSingleShapeGraphicProxy<qvScaledTextProxyBase, qvScaledTextData>;
QV_INTERFACE_NAME(qvScaledTextProxy);

class qvScaledText : public qvSpecificGraphic<qvScaledTextProxy> {
    using Base = qvSpecificGraphic<qvScaledTextProxy>;

public:
    // Empty handles, shared copies, the type-tested conversion from
    // qvGraphic, the text of an existing shape (scene, handle) and the copy
    // of a graphic into a scene.
    using Base::Base;
    using Base::operator=;
    qvScaledText() noexcept = default;

    // A new scaled text of `scene`, without a record until its first change.
    explicit qvScaledText(qvContainerScene& scene);
    qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                 qvAttributeFolderInterface* attributes);
    qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height, float stretch,
                 qvAttributeFolderInterface* attributes);
    qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height, float stretch,
                 unsigned alignment, qvAttributeFolderInterface* attributes);
    qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height, float stretch,
                 unsigned alignment, double angle, qvAttributeFolderInterface* attributes);
    qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height, float stretch,
                 unsigned alignment, double angle, double aperture, qvAttributeFolderInterface* attributes);
};
