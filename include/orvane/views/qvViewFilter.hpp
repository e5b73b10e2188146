#pragma once
// qvViewFilter: what one redraw draws, decided per layer and per shape. A
// layer asks its filter in prepare whether it takes part at all; a data
// layer's rendering asks it about every shape record. Layers never own
// their filter: the two process-wide filters below, or one the application
// keeps alive while any layer points at it.
//
// Keeps true: no state here; on() and off() return the same object on every
// call, built at first use and destroyed with the library.

struct qvShapeBase;
class qvViewLayer;

class qvViewFilter {
public:
    virtual ~qvViewFilter() = default;

    // Mode bits for `layer`; bit 0 (value 1) makes a scene layer ask
    // accept_layer for each scene layer it shows.
    virtual unsigned layer_mode(qvViewLayer const& layer) const = 0;
    // False drops the record before it is drawn.
    virtual bool accept_shape(qvShapeBase const& record) const = 0;
    // False makes `layer` sit out the redraw; `scene_layer` -1 asks about the
    // whole layer.
    virtual bool accept_layer(qvViewLayer const& layer, int scene_layer) const = 0;

    // The filter that accepts everything and the one that refuses everything.
    static qvViewFilter* on();
    static qvViewFilter* off();

protected:
    qvViewFilter() noexcept = default;
    qvViewFilter(qvViewFilter const&) noexcept = default;
    qvViewFilter& operator=(qvViewFilter const&) noexcept = default;
};
