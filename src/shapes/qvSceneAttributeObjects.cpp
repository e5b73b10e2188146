// The scene form of the attribute objects' constructor: attribute objects
// stand below scenes in the layering, so it is defined here, with scenes.

#include <orvane/attributes/qvAttributeInternalBase.hpp>
#include <orvane/shapes/qvContainerScene.hpp>

qvAttributeInternalBase::qvAttributeInternalBase(qvContainerScene& scene, long handle)
    : qvAttributeInternalBase(scene.palette(), handle) {}
