// qvBasicPagedScene: the connection of paged shapes (see
// qvBasicPagedScene.hpp). A connected shape is a heap copy in its entry's
// connected list, its handle in `hmap`, its stored copy (if any) masked in
// the quadtree; disconnect writes it back and frees it.
//
// Disconnect follows remove-then-create, so a changed record goes into the
// cell of its new box; it raises nothing over a record's content (a box
// outside the bounds or with a NaN goes to the root cell). On an I/O
// failure (or a mapped file's red zone, met by an operation that needs
// more spare pages than its view could still give) it leaves the shape
// connected, its copy owned by the scene and marked unclaimed, and close
// writes it back: a proxy's destructor never sees it. Until then the copy is the shape: the next connect of its handle
// hands it out again, and that owner's disconnect retries the write.
//
// A copy let go unchanged (a graphic made for a hit and dropped again) is
// not written back: its stored record holds the same bytes, which the
// in-place write would only write again, dirtying the node's page and
// retiring what queries learnt of the node. Connect keeps the stored bytes
// with the copy's index entry for the comparison; every operation here that
// changes the stored record of a connected shape forgets them.
//
// A select connects the shape it hits and the next select lets it go
// again, unchanged: that disconnect keeps the copy's block and its `hmap`
// node for the next connect, which then allocates nothing for them. The
// block is reused only for a record that fits in it.
#include <orvane/scenes/qvBasicPagedScene.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvGraphicInterface.hpp>
#include <orvane/shapes/qvProxyClass.hpp>

#include "scenes/qvBasicPagedSceneErrors.hpp"
#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvPS_SimpleIterator.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {


void refuse_read_only(bool read_only) {
    if (read_only) qvRaisePagedSceneError("Cannot modify a read-only scene");
}

qvShapeBase* copy_of(qvShapeBase const& record, int size) {
    void* const block = qvShapeBase::operator new(static_cast<std::size_t>(size));
    std::memcpy(block, &record, static_cast<std::size_t>(size));
    return static_cast<qvShapeBase*>(block);
}

bool same_place(qvShapeBase const& a, qvShapeBase const& b) noexcept {
    // Bitwise: a NaN box never equals itself, and that is wanted here.
    return a.size == b.size && a.box.x1 == b.box.x1 && a.box.y1 == b.box.y1 && a.box.x2 == b.box.x2 &&
           a.box.y2 == b.box.y2;
}

}  // namespace

void qvBasicPagedScene::require_open() const {
    if (!initialized_) qvRaisePagedSceneError("Paged scene was not initialized");
}

void qvBasicPagedScene::end_enumerations(std::size_t slot) noexcept {
    for (auto it = enumerations_.begin(); it != enumerations_.end();) {
        if (slot != every_entry && !(*it)->walks(slot)) {
            ++it;
            continue;
        }
        (*it)->end();
        it = enumerations_.erase(it);
    }
}

qvBasicPagedScene::LayerEntry& qvBasicPagedScene::entry_named(qvHandleRecord const& h) {
    if (h.layer < 0 || static_cast<std::size_t>(h.layer) >= layers_.size()) qvRaisePagedSceneCorrupt();
    LayerEntry& e = layers_[static_cast<std::size_t>(h.layer)];
    if (e.segment == nullptr || (h.stored != 0 && h.stored != 1) || !qvIsQuadTreeCell(h.quadtree)) qvRaisePagedSceneCorrupt();
    return e;
}

// ---------------------------------------------------------------------------
// Writing a record into its page

// The new record is placed while the scene holds no page: over a mapped
// file the view grows only while no page is locked, and a split of the
// target cell may take more new pages than the view keeps spare. What
// follows are look-ups of pages that exist; when one fails, the new record
// goes again, so the shape is in one quadtree, whole, on every way out.
void qvBasicPagedScene::place_record(std::size_t e, qvShapeBase const& shape, qvQuadTree* stored_in) {
    qvQuadTree& tree = *layers_[e].sdb;
    qvRecordPtr<qvShapeBase> r(tree);
    tree.create_anywhere(const_cast<qvShapeBase*>(&shape), shape.size, r.lock());
    std::memcpy(r.get(), &shape, static_cast<std::size_t>(shape.size));
    try {
        qvRecordPtr<qvHandleRecord> h(*hdb_, static_cast<long>(shape.shape_handle));
        QV_ASSERT_TEXT(h.held(), "h");
        if (stored_in != nullptr) {
            qvRecordPtr<qvShapeBase> old(*stored_in, *h);
            old.remove();
        }
        tree.store_handle(r.get(), *h);
        h->layer = static_cast<std::int16_t>(e);
        h->stored = 1;
    } catch (...) {
        r.remove();
        throw;
    }
}

void qvBasicPagedScene::write_back(qvShapeBase& shape) {
    qvRecordPtr<qvHandleRecord> h(*hdb_, static_cast<long>(shape.shape_handle));
    QV_ASSERT_TEXT(h.held(), "h");
    const auto e = static_cast<std::size_t>(h->layer);
    LayerEntry& entry = entry_named(*h);
    if (h->stored) {
        qvRecordPtr<qvShapeBase> r(*entry.sdb, *h);
        if (same_place(*r, shape)) {
            // The record stays in its node, so its handle keeps the cell
            // that found it there: the cell of an unchanged box, unless the
            // file was damaged, and then the only one that still does.
            std::memcpy(r.get(), &shape, static_cast<std::size_t>(shape.size));
            return;
        }
        r.remove();
        h->stored = 0;
    }
    // The handle record says "unstored" from here on, even when placing
    // the record fails.
    h.update();
    place_record(e, shape, nullptr);
}

// ---------------------------------------------------------------------------
// The connection operations

qvShapeBase* qvBasicPagedScene::connect(long handle) {
    require_open();
    finish_pending();
    if (own_hdb_ && !static_cast<qvHandleTree*>(hdb_)->initialized()) return nullptr;
    qvConstRecordPtr<qvHandleRecord> h(*hdb_, handle);
    if (!h.held()) return nullptr;
    LayerEntry& e = entry_named(*h);
    // A connected shape has its one copy out already, unless the copy's
    // write-back failed when its owner let go of it; an unstored one that
    // is not connected has nothing to read.
    if (const auto t = hmap_.find(handle); t != hmap_.end())
        return copies_->claim(static_cast<std::int32_t>(t->second)) ? nodes_->record(t->second) : nullptr;
    if (h->stored == 0) qvRaisePagedSceneCorrupt();
    qvShapeBase* copy = nullptr;
    {
        qvConstRecordPtr<qvShapeBase> r(*e.sdb, *h);
        if (spare_copy_ != nullptr && spare_copy_size_ >= r->size) {
            copy = spare_copy_.release();
            std::memcpy(static_cast<void*>(copy), &*r, static_cast<std::size_t>(r->size));
        } else {
            copy = copy_of(*r, r->size);
        }
    }
    try {
        if (read_only_ || e.list.get() == nullptr) {
            loose_.insert(copy);
            return copy;
        }
        const long node = e.list->create(copy);
        try {
            copies_->enter(static_cast<std::int32_t>(node), e.list->number(), bounds_);
            if (spare_hmap_node_.empty()) {
                hmap_.emplace(handle, node);
            } else {
                spare_hmap_node_.key() = handle;
                spare_hmap_node_.mapped() = node;
                hmap_.insert(std::move(spare_hmap_node_));
            }
        } catch (...) {
            copies_->leave(static_cast<std::int32_t>(node));
            e.list->remove(node);
            throw;
        }
        e.sdb->mask(*h);
        copies_->keep_stored(static_cast<std::int32_t>(node), *copy);
    } catch (...) {
        delete copy;
        throw;
    }
    return copy;
}

void qvBasicPagedScene::disconnect(qvShapeBase* shape) {
    QV_ASSERT_TEXT(shape != nullptr, "shape");
    if (const auto loose = loose_.find(shape); loose != loose_.end()) {
        loose_.erase(loose);
        delete shape;
        return;
    }
    const auto t = hmap_.find(static_cast<long>(shape->shape_handle));
    QV_ASSERT_TEXT(t != hmap_.end(), "t != hmap.end()");
    const bool unchanged = copies_->as_stored(static_cast<std::int32_t>(t->second), *shape);
    if (unchanged) {
        // Only the mask goes, as the lookup of a write back would take it.
        layers_[static_cast<std::size_t>(nodes_->list(t->second))].sdb->unmask(shape->shape_handle);
    } else {
        // Kept connected and owned here until a connect hands it out
        // again; close writes it back.
        try {
            write_back(*shape);
        } catch (qvError const&) {
            copies_->keep_unclaimed(static_cast<std::int32_t>(t->second));
            return;
        } catch (std::bad_alloc const&) {
            copies_->keep_unclaimed(static_cast<std::int32_t>(t->second));
            return;
        }
    }
    const std::size_t e = static_cast<std::size_t>(nodes_->list(t->second));
    copies_->leave(static_cast<std::int32_t>(t->second));
    layers_[e].list->remove(t->second);
    if (spare_hmap_node_.empty())
        spare_hmap_node_ = hmap_.extract(t);
    else
        hmap_.erase(t);
    // An unchanged copy has the size it was connected with, which its
    // block holds.
    if (unchanged && spare_copy_ == nullptr) {
        spare_copy_size_ = shape->size;
        spare_copy_.reset(shape);
    } else {
        delete shape;
    }
}

qvShapeBase* qvBasicPagedScene::allocate(int size, qvShapeBase* shape) {
    require_open();
    refuse_read_only(read_only_);
    finish_pending();
    if (size > qvUSEFUL_PAGE_SIZE) qvRaise(qvErrorFrom<qvQuadTree>("Limitation: shape size exceeds maximum allowed for the quadtree"));
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    if (shape != nullptr) {
        if (shape->size == size) return shape;
        const auto t = hmap_.find(static_cast<long>(shape->shape_handle));
        QV_ASSERT_TEXT(t != hmap_.end(), "t != hmap.end()");
        const std::size_t e = static_cast<std::size_t>(nodes_->list(t->second));
        return layers_[e].list->resize(t->second, size);
    }
    if (mapv_.empty()) qvRaisePagedSceneError("Illegal layer number specified");
    const std::size_t e = static_cast<std::size_t>(mapv_.front());
    LayerEntry& entry = layers_[e];
    // The same fresh record as the memory scene's: zeroed, empty box.
    qvShapeBase* const record = qvNewShapeRecord(size);
    long node = 0;
    try {
        qvRecordPtr<qvHandleRecord> h(*hdb_, nullptr, static_cast<int>(sizeof(qvHandleRecord)));
        h->layer = static_cast<std::int16_t>(e);
        h->stored = 0;
        record->shape_handle = h->handle;
        node = entry.list->create(record);
        try {
            copies_->enter(static_cast<std::int32_t>(node), static_cast<int>(e), bounds_);
            hmap_.emplace(static_cast<long>(h->handle), node);
        } catch (...) {
            copies_->leave(static_cast<std::int32_t>(node));
            entry.list->remove(node);
            throw;
        }
    } catch (...) {
        delete record;
        throw;
    }
    ++entry.size;
    return record;
}

void qvBasicPagedScene::destroy(qvShapeBase* shape) {
    require_open();
    refuse_read_only(read_only_);
    finish_pending();
    QV_ASSERT_TEXT(shape != nullptr, "shape");
    const long handle = static_cast<long>(shape->shape_handle);
    qvRecordPtr<qvHandleRecord> h(*hdb_, handle);
    const auto t = hmap_.find(handle);
    QV_ASSERT_TEXT(t != hmap_.end(), "t != hmap.end()");
    QV_ASSERT_TEXT(h.held(), "h");
    LayerEntry& e = entry_named(*h);
    if (h->stored) {
        qvRecordPtr<qvShapeBase> r(*e.sdb, *h);
        r.remove();
        h->stored = 0;
        h.commit();
    }
    copies_->leave(static_cast<std::int32_t>(t->second));
    layers_[static_cast<std::size_t>(nodes_->list(t->second))].list->remove(t->second);
    hmap_.erase(t);
    --e.size;
    h.remove();
    delete shape;
}

void qvBasicPagedScene::shape_layer(long handle, int layer) {
    require_open();
    refuse_read_only(read_only_);
    finish_pending();
    check_layer(layer);
    if (own_hdb_ && !static_cast<qvHandleTree*>(hdb_)->initialized()) qvRaisePagedSceneError("Shape handle not found");
    qvRecordPtr<qvHandleRecord> h(*hdb_, handle);
    if (!h.held()) qvRaisePagedSceneError("Shape handle not found");
    LayerEntry& from = entry_named(*h);
    const int target = mapv_[static_cast<std::size_t>(layer)];
    if (h->layer == target) return;
    LayerEntry& to = layers_[static_cast<std::size_t>(target)];
    const auto announce = [this](qvShapeBase const& record) {
        if (update_notification()) rect_sender().invalidate(record.bbox(), -1);
    };
    const auto t = hmap_.find(handle);
    if (t == hmap_.end() && h->stored) {
        // Copied out, so that no page is held while the copy is placed.
        std::unique_ptr<qvShapeBase> copy;
        {
            qvConstRecordPtr<qvShapeBase> r(*from.sdb, *h);
            copy.reset(copy_of(*r, r->size));
        }
        h.release();
        place_record(static_cast<std::size_t>(target), *copy, from.sdb);
        --from.size;
        ++to.size;
        announce(*copy);
        return;
    }
    if (t != hmap_.end()) copies_->make_room(target);
    if (h->stored) {
        qvRecordPtr<qvShapeBase> r(*from.sdb, *h);
        h->stored = 0;
        copies_->forget_stored(static_cast<std::int32_t>(t->second));
        r.remove();
    }
    if (t != hmap_.end()) {
        from.list->moveto(t->second, *to.list);
        copies_->move(static_cast<std::int32_t>(t->second), target, bounds_);
    }
    --from.size;
    ++to.size;
    h->layer = static_cast<std::int16_t>(target);
    // Last: a receiver that raises finds the shape whole in its new layer
    // (the handle record is written as `h` ends, raise or not).
    if (t != hmap_.end()) announce(*nodes_->record(t->second));
}

int qvBasicPagedScene::shape_layer(long handle) {
    require_open();
    finish_pending();
    if (own_hdb_ && !static_cast<qvHandleTree*>(hdb_)->initialized()) qvRaisePagedSceneError("Shape handle not found");
    qvConstRecordPtr<qvHandleRecord> h(*hdb_, handle);
    if (!h.held()) qvRaisePagedSceneError("Shape handle not found");
    return entry_named(*h).scene_layer;
}

// A loose copy that a guard opens over is a detached one: a read-only
// connection has a read-only proxy, which never gets here.
int qvBasicPagedScene::edit_layer(qvShapeBase const& record) {
    require_open();
    if (loose_.count(const_cast<qvShapeBase*>(&record)) != 0) qvRaisePagedSceneError("Paged scene was not initialized");
    return shape_layer(static_cast<long>(record.shape_handle));
}

// Only a copy this scene holds connected is the index's: a loose copy (read
// only, or written back by close) has no place in it.
void qvBasicPagedScene::record_edit(qvShapeBase& record, bool editing) noexcept {
    const auto t = hmap_.find(static_cast<long>(record.shape_handle));
    if (t == hmap_.end() || nodes_->record(t->second) != &record) return;
    const auto slot = static_cast<std::int32_t>(t->second);
    if (editing)
        copies_->begin_edit(slot);
    else
        copies_->end_edit(slot, bounds_);
}

// ---------------------------------------------------------------------------
// Enumeration and the shapes of a deleted layer

qvIndirectIterator<qvGraphic> qvBasicPagedScene::enumerate(int layer) {
    finish_pending();
    if (layer >= static_cast<int>(mapv_.size())) qvRaisePagedSceneError("Illegal layer number specified");
    return qvIndirectIterator<qvGraphic>(new qvPS_SimpleIterator(*this, layer));
}

// One walk in the order a repeated enumeration would take them: the
// connected shapes in list order, then the stored ones; the handles are
// collected first, since each destruction changes the quadtree. As in the
// memory scene, a shape whose proxy class is not registered and that has
// no live proxy is destroyed directly: no proxy could, and a delete left
// waiting on it would never finish. The copy connected for that goes back
// when its destruction raises, so the next try finds the shape as before.
// A copy its caller connected itself (no proxy has it, and it is the
// caller's to disconnect) is refused before anything goes: the walk would
// stop there.
void qvBasicPagedScene::destroy_shapes(std::size_t slot) {
    std::vector<std::pair<long, bool>> handles;   // with whether a proxy class is registered
    {
        LayerEntry& e = layers_[slot];
        const auto take = [&handles](qvShapeBase const& record) {
            handles.emplace_back(record.shape_handle, qvProxyClass::find(record.proxy_class_id) != nullptr);
        };
        if (e.list.get() != nullptr) {
            for (long node = e.list->first(); node != 0; node = (*nodes_)[static_cast<std::int32_t>(node)].next) {
                qvShapeBase const& copy = *nodes_->record(node);
                if (!listed(copy.shape_handle) && !copies_->unclaimed(static_cast<std::int32_t>(node)))
                    qvRaisePagedSceneError("Shape handle not found");
                take(copy);
            }
        }
        for (auto record = e.sdb->every_record(); record; ++record) take(*record);
    }
    for (auto const& [handle, registered] : handles) {
        if (registered || listed(handle)) {
            qvGraphic graphic = instantiate(handle);
            graphic->destroy_shape();
            continue;
        }
        qvShapeBase* const record = connect(handle);
        if (record == nullptr) qvRaisePagedSceneCorrupt();   // a record without its handle
        try {
            destroy(record);
        } catch (...) {
            disconnect(record);
            throw;
        }
    }
}

// ---------------------------------------------------------------------------
// Close

void qvBasicPagedScene::write_back_all() {
    for (int slot : mapv_) {
        LayerEntry& e = layers_[static_cast<std::size_t>(slot)];
        if (e.list.get() == nullptr) continue;
        for (long node = e.list->first(); node != 0;) {
            const long next = (*nodes_)[static_cast<std::int32_t>(node)].next;
            qvShapeBase* const shape = nodes_->record(node);
            write_back(*shape);
            const bool owned = !copies_->claim(static_cast<std::int32_t>(node));
            if (owned) {
                loose_.insert(shape);
                // Even when the close fails later on, its proxy is no longer
                // the shape's: the next connect of the handle reads the record.
                deassociate(static_cast<long>(shape->shape_handle));
            }
            copies_->leave(static_cast<std::int32_t>(node));
            e.list->remove(node);
            hmap_.erase(static_cast<long>(shape->shape_handle));
            // A copy nobody owns has no disconnect to come.
            if (!owned) delete shape;
            node = next;
        }
    }
}

void qvBasicPagedScene::flush_files() {
    if (file_ != nullptr) file_->device().flush();
    for (qvPagedSceneSegment* segment : segments_)
        if (&segment->file() != file_ && segment->file().is_open()) segment->file().device().flush();
}
