#pragma once
// qvViewMultiBufferLayerImplementation: the multi-buffer layer (see
// qvViewMultiBufferLayerObject.hpp). An active layer with an array of
// buffer records (a counted bitmap buffer of the driver, or none, and a
// dirty flag) and the index of the one shown.
//
// Showing and rendering into a buffer are the two roads of the redraw
// passes: while a buffer is selected and the layer is not rendering into
// one, prepare, render and cleanup are the plain layer's (the children are
// left alone) and prepare erases the region passed down, so no layer behind
// repaints what the buffer covers; render copies the buffer's pixels under
// the pending area into the window, or draws nothing while the buffer is
// dirty. Otherwise they are the active layer's, over the children.
//
// Keeps true:
//  - the record array has the length given at construction; a record whose
//    buffer is null is dirty;
//  - selected is -1 or a valid index;
//  - buffer_width and buffer_height are both -1 or both the positive size
//    of every buffer made since the last release_all; they come from the
//    renderer's window through the checked 32-bit narrowing;
//  - rendering_into_buffer is true only inside render_into, and a record
//    is clean only after its whole render_into pass returned;
//  - image_type is 1, 2 or 3.

#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/views/qvViewMultiBufferLayerObject.hpp>

#include "views/qvViewActiveLayerImplementation.hpp"

#include <vector>

class qvViewMultiBufferLayerImplementation : public virtual qvViewMultiBufferLayerObject,
                                             public qvViewActiveLayerImplementation {
public:
    // n empty, dirty records (none for n < 0).
    explicit qvViewMultiBufferLayerImplementation(int n);
    ~qvViewMultiBufferLayerImplementation() override;

    // ---- the buffers --------------------------------------------------------------
    int buffer_count() const override { return static_cast<int>(buffers_.size()); }
    bool render_into(int i) override;
    int selected() const override { return selected_; }
    bool select(int i) override;
    bool selected_dirty() const override { return dirty(selected_); }
    bool dirty(int i) const override;
    void mark_selected_dirty() override { mark_dirty(selected_); }
    void mark_dirty(int i) override;
    int mark_all_dirty() override;
    bool selected_allocated() const override { return allocated(selected_); }
    bool allocated(int i) const override;
    void release_selected() override { release(selected_); }
    void release(int i) override;
    int release_all() override;
    int image_type(int type) override;
    void color_map(qvColorMapReference const& map) override;

    // ---- the redraw ------------------------------------------------------------------
    void prepare(qvBaseRegion& region, bool front_to_back) override;
    bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) override;
    void cleanup() override;

    // A new layer of as many records, all empty, with this layer's flags,
    // filter and area state; selection, image type, colour map and buffer
    // size are not copied.
    qvViewBaseLayer clone() override;
    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- probes (tests) ----------------------------------------------------------------
    int stored_image_type() const noexcept { return image_type_; }
    int buffer_width() const noexcept { return buffer_width_; }
    int buffer_height() const noexcept { return buffer_height_; }
    bool rendering_into_buffer() const noexcept { return rendering_into_buffer_; }
    qvVBufObject* buffer(int i) const;

private:
    struct Record {
        qvISafePtr<qvVBufObject> buffer;
        bool dirty = true;
    };

    bool in_range(int i) const noexcept { return i >= 0 && i < buffer_count(); }
    // Whether the selected buffer stands in for the children in this pass.
    bool showing_buffer() const noexcept { return selected_ != -1 && !rendering_into_buffer_; }
    // Makes buffer i from the driver of the layer's renderer, or leaves it
    // null when there is nothing to make it from.
    void make_buffer(int i);

    int selected_ = -1;
    int buffer_width_ = -1;
    int buffer_height_ = -1;
    std::vector<Record> buffers_;
    bool rendering_into_buffer_ = false;
    qvColorMap color_map_;
    int image_type_ = 3;
};
