// The view manager interface's bodies.

#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewLayersContain.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

bool qvViewManagerObject::contains(qvViewLayer const& layer) {
    return qvViewLayersContain(layers(), layer);
}

bool qvViewManagerObject::add(qvViewLayer const& layer, qvOrder order) {
    return add(layer, order, qvViewLayer(), false);
}
