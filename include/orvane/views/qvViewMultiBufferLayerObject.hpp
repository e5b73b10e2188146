#pragma once
// qvViewMultiBufferLayerObject: an active layer that owns a fixed number of
// off-screen bitmap buffers. The application has the layer's children
// rendered into any of them (render_into), selects one, and from then on
// the layer shows the selected buffer, one rectangle copy per redraw,
// instead of rendering its children; prepared pictures are switched without
// rendering again. With none selected (-1) it draws its children as a group
// does.
//
// Keeps true: the number of buffers is fixed when the layer is made; an
// index outside 0 .. buffer_count() - 1 is refused by select and
// render_into (false), reads as dirty and not allocated, and is ignored by
// the others. The forms on the selected buffer are the indexed forms on
// selected(), so with none selected they answer dirty, not allocated, and
// do nothing.

#include <orvane/views/qvViewActiveLayerObject.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>

class qvColorMapReference;

class qvViewMultiBufferLayerObject : public virtual qvViewActiveLayerObject {
public:
    ~qvViewMultiBufferLayerObject() override = default;

    // A new layer of n empty, dirty buffers (none for n < 0); empty when
    // none can be made.
    static qvViewBaseLayer create(int n);

    virtual int buffer_count() const = 0;
    // Renders the children into buffer i, making it first (of the
    // renderer's present size) when it has none. False when i is out of
    // range or no buffer can be made (no view, renderer, driver, bitmap
    // buffers from the driver, or a window of no size); raises
    // qvErrorFrom<qvViewMultiBufferLayerImplementation> "The requested
    // bitmap image type is not supported by driver" when the driver makes
    // no buffer of the image type. A child's error passes, the buffer left
    // dirty.
    virtual bool render_into(int i) = 0;
    virtual int selected() const = 0;
    // 0 <= i < buffer_count() or -1 (none); false for anything else.
    virtual bool select(int i) = 0;
    virtual bool selected_dirty() const = 0;
    // True also when buffer i has not been made.
    virtual bool dirty(int i) const = 0;
    virtual void mark_selected_dirty() = 0;
    virtual void mark_dirty(int i) = 0;
    // Returns buffer_count().
    virtual int mark_all_dirty() = 0;
    virtual bool selected_allocated() const = 0;
    virtual bool allocated(int i) const = 0;
    virtual void release_selected() = 0;
    // Lets buffer i go; it is dirty.
    virtual void release(int i) = 0;
    // Lets every buffer go and forgets the buffer size, so the next buffer
    // takes the renderer's size then; returns -1.
    virtual int release_all() = 0;
    // The bitmap image type asked of the driver: 1, 2 or 3 is stored, any
    // other value stores 3; returns `type` as given.
    virtual int image_type(int type) = 0;
    // The colour map given to buffers of image types 1 and 2 (copied).
    virtual void color_map(qvColorMapReference const& map) = 0;

protected:
    qvViewMultiBufferLayerObject() noexcept = default;
    qvViewMultiBufferLayerObject(qvViewMultiBufferLayerObject const&) noexcept = default;
    qvViewMultiBufferLayerObject& operator=(qvViewMultiBufferLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewMultiBufferLayerObject);
