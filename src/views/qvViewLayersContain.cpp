// The membership walk of layer lists.

#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewLayersContain.hpp>

bool qvViewLayersContain(qvIndirectIterator<qvViewLayer> layers, qvViewLayer const& layer) {
    if (!layer)
        return false;
    for (; layers; ++layers)
        if (layers->counter() == layer.counter())
            return true;
    return false;
}
