// The active layer interface's one body.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewLayersContain.hpp>

bool qvViewActiveLayerObject::contains(qvViewLayer const& layer) {
    return qvViewLayersContain(layers(), layer);
}
