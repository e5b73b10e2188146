// The creating constructors of restricted-text handles (see qvRestrictedText.hpp).

#include <orvane/shapes/qvRestrictedText.hpp>

#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>

qvRestrictedText::qvRestrictedText(qvContainerScene& scene)
    : Base(qvISafePtr<qvRestrictedTextProxy>(new qvRestrictedTextProxy(scene))) {}

qvRestrictedText::qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text,
                                   qvAttributeFolderInterface* attributes, qvRestrictedTransformation* t)
    : qvRestrictedText(scene, anchor, text, qvTextAlignment::constructor_default, 0.0, 90.0, attributes, t) {}

qvRestrictedText::qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text,
                                   unsigned alignment, qvAttributeFolderInterface* attributes,
                                   qvRestrictedTransformation* t)
    : qvRestrictedText(scene, anchor, text, alignment, 0.0, 90.0, attributes, t) {}

qvRestrictedText::qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text,
                                   unsigned alignment, double angle, qvAttributeFolderInterface* attributes,
                                   qvRestrictedTransformation* t)
    : qvRestrictedText(scene, anchor, text, alignment, angle, 90.0, attributes, t) {}

qvRestrictedText::qvRestrictedText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text,
                                   unsigned alignment, double angle, double aperture,
                                   qvAttributeFolderInterface* attributes, qvRestrictedTransformation* t)
    : qvRestrictedText(scene) {
    qvRestrictedTextProxy& proxy = *get();
    // Checked before the text makes a record, through the gate the setters
    // use, so a refused value leaves no shape behind in the scene (a NaN
    // anchor or angle did); a measure that fails takes the record away.
    // Only a receiver raising at a later step's report leaves it half-made.
    qvShapeCoordinates::require(anchor);
    qvShapeCoordinates::require(angle);
    qvShapeCoordinates::require(aperture);
    if (text != nullptr)
        proxy.text(text);
    if (attributes != nullptr) {
        qvSpecificGraphicDetail::made_or_taken_away(proxy, [&] {
            proxy.connect_attribute(*attributes);
            proxy.adjust_extent(t);
        });
    } else {
        proxy.extent(qvExtent{1.0, 0.0, 1.0});
    }
    proxy.anchor(anchor);
    proxy.alignment(alignment);
    proxy.angle(angle);
    proxy.aperture(aperture);
}
