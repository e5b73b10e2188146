// The creating constructors of scaled-text handles (see qvScaledText.hpp).

#include <orvane/shapes/qvScaledText.hpp>

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
    // A refused height or stretch is refused before the text makes a record,
    // so a failed construction leaves no shape behind in the scene: each
    // setter raises before it changes anything.
    if (height == 0.0)
        proxy.height(height);
    if (!(stretch > 0.0f))
        proxy.stretch(stretch);
    if (text != nullptr)
        proxy.text(text);
    proxy.height(height);
    proxy.stretch(stretch);
    if (attributes != nullptr) {
        proxy.connect_attribute(*attributes);
        proxy.adjust_extent();
    }
    proxy.anchor(anchor);
    proxy.alignment(alignment);
    proxy.angle(angle);
    proxy.aperture(aperture);
}
