// The creating constructors of scaled-text handles (see qvScaledText.hpp).

#include <orvane/shapes/qvScaledText.hpp>

#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>

qvScaledText::qvScaledText(qvContainerScene& scene)
    : Base(qvISafePtr<qvScaledTextProxy>(new qvScaledTextProxy(scene))) {}

qvScaledText::qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                           qvAttributeFolderInterface* attributes)
    : qvScaledText(scene, anchor, text, height, 1.0f, qvTextAlignment::constructor_default, 0.0, 90.0, attributes) {}

qvScaledText::qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                           float stretch, qvAttributeFolderInterface* attributes)
    : qvScaledText(scene, anchor, text, height, stretch, qvTextAlignment::constructor_default, 0.0, 90.0,
                   attributes) {}

qvScaledText::qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                           float stretch, unsigned alignment, qvAttributeFolderInterface* attributes)
    : qvScaledText(scene, anchor, text, height, stretch, alignment, 0.0, 90.0, attributes) {}

qvScaledText::qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                           float stretch, unsigned alignment, double angle, qvAttributeFolderInterface* attributes)
    : qvScaledText(scene, anchor, text, height, stretch, alignment, angle, 90.0, attributes) {}

qvScaledText::qvScaledText(qvContainerScene& scene, qvCrdOf<double> anchor, char const* text, double height,
                           float stretch, unsigned alignment, double angle, double aperture,
                           qvAttributeFolderInterface* attributes)
    : qvScaledText(scene) {
    qvScaledTextProxy& proxy = *get();
    // Every value is checked before the text makes a record, so a failed
    // construction leaves no shape behind in the scene: a height of 0 and a
    // stretch not above 0 through their setters (which raise their own
    // errors before they change anything), the rest through the gate the
    // setters use. A height of 1e300 or a NaN anchor used to leave a text
    // behind. Only the measure can fail once the record exists (a font too
    // large for the height); it takes the record away again.
    if (height == 0.0)
        proxy.height(height);
    if (!(stretch > 0.0f))
        proxy.stretch(stretch);
    qvShapeCoordinates::require(height);
    qvShapeCoordinates::require(static_cast<double>(stretch));
    qvShapeCoordinates::require(anchor);
    qvShapeCoordinates::require(angle);
    qvShapeCoordinates::require(aperture);
    if (text != nullptr)
        proxy.text(text);
    proxy.height(height);
    proxy.stretch(stretch);
    if (attributes != nullptr) {
        qvSpecificGraphicDetail::made_or_taken_away(proxy, [&] {
            proxy.connect_attribute(*attributes);
            proxy.adjust_extent();
        });
    }
    proxy.anchor(anchor);
    proxy.alignment(alignment);
    proxy.angle(angle);
    proxy.aperture(aperture);
}
