#pragma once
// qvViewLayerFlavorPort: the flavour port a data layer draws through; it
// tells the records' renderers on whose behalf they draw.

#include <orvane/shapes/qvFlavorPort.hpp>

class qvViewDataLayerObject;

class qvViewLayerFlavorPort : public virtual qvFlavorPort {
public:
    ~qvViewLayerFlavorPort() override = default;

    // The data layer whose shapes pass through the port.
    virtual qvViewDataLayerObject* layer() const = 0;
};

QV_INTERFACE_NAME(qvViewLayerFlavorPort);
