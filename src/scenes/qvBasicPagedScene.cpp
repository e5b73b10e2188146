// qvBasicPagedScene: life cycle, layers, "$Layout", drawing and the scene
// stream (see qvBasicPagedScene.hpp).
//
// What comes from a file is checked as it is read and built into locals;
// the scene takes it over only once all of it was read. Layer operations
// make what could fail (lists, map room, a quadtree) before they change a
// field, so a raise leaves the layer table as it was.
#include <orvane/scenes/qvBasicPagedScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include "core/qvStreamFields.hpp"
#include "scenes/qvBasicPagedSceneErrors.hpp"
#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvLoadedAttributes.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <utility>
#include <vector>

void qvRaisePagedSceneError(char const* message) { qvRaise(qvErrorFrom<qvBasicPagedScene>(message)); }
void qvRaisePagedSceneCorrupt() { qvRaisePagedSceneError("Invalid or corrupt Orvane pagefile"); }

namespace {


std::size_t at(int index) noexcept { return static_cast<std::size_t>(index); }

// What an attribute object holding a handle of a closed session's palette
// is told: the words a shape of that session hears.
void refuse_closed_session() { qvRaisePagedSceneError("Paged scene was not initialized"); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

qvBasicPagedScene::qvBasicPagedScene(qvHandleDatabase& hdb, qvPagedSceneFile* file, qvPalette* palette, bool own)
    : file_(file), hdb_(&hdb), own_hdb_(false), nodes_(std::make_unique<qvShapeNodeTable>()),
      copies_(std::make_unique<qvConnectedCopyIndex>(*nodes_)) {
    palette_ = palette != nullptr ? palette : new qvMatchingPalette(nullptr);
    own_palette_ = palette == nullptr || own;
}

qvBasicPagedScene::qvBasicPagedScene(qvPagedSceneFile& file, qvPalette* palette, bool own)
    : file_(&file), hdb_(nullptr), own_hdb_(true), nodes_(std::make_unique<qvShapeNodeTable>()),
      copies_(std::make_unique<qvConnectedCopyIndex>(*nodes_)) {
    palette_ = palette != nullptr ? palette : new qvMatchingPalette(nullptr);
    own_palette_ = palette == nullptr || own;
}

// Enumerations go first (their graphics may still write back), then the
// proxies are told the scene is gone; close then writes back what they
// held, and the copies they kept are freed here. A close that fails is a
// failing disk or a damaged file, not a broken invariant: the session is
// given up and the destructor returns.
qvBasicPagedScene::~qvBasicPagedScene() {
    end_enumerations();
    detach_proxies();
    if (initialized_) {
        try {
            close();
        } catch (qvError const&) {
            give_up();
        } catch (std::bad_alloc const&) {
            give_up();
        }
    }
    for (qvShapeBase* copy : loose_) delete copy;
    if (own_palette_) delete palette_;
}

// The rest of a layer whose delete could not finish is destroyed through
// the live proxies of its shapes: once they have forgotten their records,
// no proxy could, and the close that follows would fail. When it still
// cannot be finished, that close fails anyway.
void qvBasicPagedScene::detach_proxies() noexcept {
    if (initialized_) {
        try {
            finish_pending();
        } catch (qvError const&) {
        } catch (std::bad_alloc const&) {
        }
    }
    deassociate_all();
}

// ---------------------------------------------------------------------------
// Segments

void qvBasicPagedScene::add_segment(qvPagedSceneSegment& segment, bool dynamic) {
    segments_.push_back(&segment);
    if (dynamic) dynamic_ = &segment;
}

void qvBasicPagedScene::remove_segment(qvPagedSceneSegment& segment) {
    const auto found = std::find(segments_.begin(), segments_.end(), &segment);
    if (found == segments_.end()) qvRaisePagedSceneError("Segment is not associated with the paged scene");
    segments_.erase(found);
    if (dynamic_ == &segment) dynamic_ = nullptr;
}

void qvBasicPagedScene::dynamic_segment(qvPagedSceneSegment& segment) {
    QV_ASSERT_TEXT(std::find(segments_.begin(), segments_.end(), &segment) != segments_.end(),
                   "_STL::find( segments.begin(), segments.end(), &ps ) != segments.end()");
    dynamic_ = &segment;
}

// ---------------------------------------------------------------------------
// Life cycle

void qvBasicPagedScene::reset() noexcept {
    for (qvPagedSceneSegment* segment : segments_) segment->cleanup();
    layers_.clear();
    mapv_.clear();
    hmap_.clear();
    copies_->clear();
    std::vector<bool>().swap(unload_);
    std::vector<long>().swap(unload_waiting_);
    unload_layers_ = -1;
    deleting_ = -1;
    if (own_hdb_) {
        delete hdb_;
        hdb_ = nullptr;
    }
    initialized_ = false;
}

// The connected lists free their copies as the table goes.
void qvBasicPagedScene::give_up() noexcept {
    end_enumerations();
    reset();
}

void qvBasicPagedScene::start() {
    if (initialized_) qvRaisePagedSceneError("Paged scene already initialized");
    if (own_hdb_) hdb_ = new qvHandleTree(file_->device(), static_cast<int>(sizeof(qvHandleRecord)));
    for (qvPagedSceneSegment* segment : segments_) segment->initialize();
    initialized_ = true;
}

void qvBasicPagedScene::create(qvMathRectOf<double> const& bounds) {
    if (initialized_) qvRaisePagedSceneError("Paged scene already initialized");
    try {
        bounds_ = bounds;
        read_only_ = false;
        start();
        if (file_ != nullptr) {
            file_->device().create_root(open_mark, open_mark_page);
            flush_files();
        }
    } catch (...) {
        reset();
        throw;
    }
}

// A writable open of a file that a writer left open (crashed, killed)
// refuses before it writes anything: the file stays as it was found. One
// refused at its first store may have put its own mark in the file already
// (a mapped view holds it at once; a page file may have written the
// directory page before another page failed): it takes the mark back, or
// every later writable open would take the file for one a writer left
// open. A store that fails again leaves what reached the file.
void qvBasicPagedScene::open(bool read_only) {
    if (initialized_) qvRaisePagedSceneError("Paged scene already initialized");
    if (file_ != nullptr && !read_only && file_->device().find_root(open_mark) != 0) qvRaisePagedSceneCorrupt();
    bool marked = false;
    try {
        start();
        read_only_ = false;
        if (file_ != nullptr) {
            qvPageIStream in(file_->device(), "$Layout");
            load_layout(in);
            std::vector<long> layout_pages(in.pages_read().begin(), in.pages_read().end());
            in.close();
            if (!read_only) {
                check_page_use(std::move(layout_pages));
                file_->device().create_root(open_mark, open_mark_page);
                marked = true;
                flush_files();
            }
        }
    } catch (...) {
        if (marked) {
            try {
                file_->device().remove_root(open_mark);
                file_->device().flush();
            } catch (qvError const&) {
            }
        }
        reset();
        throw;
    }
    read_only_ = read_only;
}

// A writer hands out free pages: one the map marks free while a structure
// uses it would be overwritten by the next allocation, and one that two
// structures name is overwritten by either. So before anything is written
// every page the session will write in place must be marked used and
// named once: the map and directory pages, the node pages, the handle
// tree's pages and the layout's own pages (the open mark names the
// directory page, no stream). A page the map marked used while the file
// did not have it (the directory's probe grew the count over it) is named
// by damage, not by a writer. Only map pages are read; pages of segments
// over other files are left to their own files' writers. A read-only open
// writes nothing, and salvage must not fail on a stale map: it skips this.
void qvBasicPagedScene::check_page_use(std::vector<long> pages) {
    qvPageDevice& device = file_->device();
    auto* const map = dynamic_cast<qvMapAllocator*>(&device);
    if (map == nullptr) return;
    pages.push_back(open_mark_page);
    pages.insert(pages.end(), map->map_pages().begin(), map->map_pages().end());
    if (auto const* const tree = dynamic_cast<qvHandleTree const*>(hdb_); tree != nullptr && &tree->device() == &device)
        for (qvHandleTree::PageEntry const& entry : tree->pages()) pages.push_back(entry.page);
    for (qvPagedSceneSegment* segment : segments_) {
        if (&segment->file() != file_) continue;
        for (int l = 0; l < segment->total_layers(); ++l) {
            qvQuadTreeDirectory* const directory = segment->tree(l).directory();
            if (directory == nullptr) continue;
            for (qvQuadTreeDirectory::EnumerateIterator it(*directory); it.get() != nullptr; it.next())
                pages.push_back(it.get()->page_number());
        }
    }
    std::sort(pages.begin(), pages.end());
    if (std::adjacent_find(pages.begin(), pages.end()) != pages.end()) qvRaisePagedSceneCorrupt();
    const long count = device.page_count();
    for (long page : pages)
        if (page < 0 || page >= count || !map->marked(page) || map->grown_over(page)) qvRaisePagedSceneCorrupt();
}

// Everything is written first: a failure there leaves the scene open with
// its open mark, so close can be called again. The first sync puts every
// page on disk before the mark goes, so a crash never leaves a file that
// looks clean with pages missing.
void qvBasicPagedScene::close() {
    if (!initialized_) qvRaisePagedSceneError("Paged scene was not initialized");
    end_enumerations();
    finish_pending();
    if (!read_only_) write_back_all();
    if (file_ != nullptr && !read_only_) {
        qvPageOStream out(file_->device(), "$Layout");
        save_layout(out);
        out.close();
        flush_files();
        file_->device().remove_root(open_mark);
        flush_files();
    }
    // What the site still lists are read-only connections, now detached.
    forget_entries();
    reset();
}

// ---------------------------------------------------------------------------
// "$Layout"

void qvBasicPagedScene::save_layout(qvOutputStream& os) {
    QV_ASSERT_TEXT(initialized_, "initialized");
    finish_pending();
    qvWriteInt32(os, own_palette_ ? 1 : 0);
    // Kept by the palette, so that opening this layout again goes on with
    // the objects the application holds (see qvPalette::read_content).
    if (own_palette_) palette_->save_content(os, file_stamp());
    qvWriteInt32(os, own_hdb_ ? 1 : 0);
    if (own_hdb_) hdb_->save(os);
    for (double v : {bounds_.x1, bounds_.y1, bounds_.x2, bounds_.y2}) qvWriteValue(os, v);
    qvWriteInt32(os, static_cast<long>(segments_.size()));
    for (qvPagedSceneSegment* segment : segments_) segment->save(os);
    qvWriteInt32(os, static_cast<long>(mapv_.size()));
    qvWriteInt32(os, static_cast<long>(layers_.size()));
    for (LayerEntry const& e : layers_) {
        const auto s = std::find(segments_.begin(), segments_.end(), e.segment);
        QV_ASSERT_TEXT(!e.segment || s != segments_.end(), "!(*j).segment || s != segments.end()");
        qvWriteInt32(os, e.segment ? static_cast<long>(s - segments_.begin()) : -1L);
        qvWriteInt32(os, e.segment_layer);
        qvWriteInt32(os, e.scene_layer);
        qvWriteInt32(os, e.size);
    }
}

// The palette reads into a map of its own and takes it over only at the
// end, so a refusal leaves it as it was. What it refuses, by its checks or
// by the assertions it keeps for handles out of range, came from the file:
// damage, not a broken invariant of the program.
void qvBasicPagedScene::load_stored_palette(qvInputStream& is) {
    try {
        palette_->read_content(is, &refuse_closed_session, file_stamp());
    } catch (qvAssertionError const&) {
        qvRaisePagedSceneCorrupt();
    } catch (qvErrorFrom<qvInputStream> const& error) {
        if (std::strcmp(static_cast<char const*>(error), "Invalid palette stream") == 0) qvRaisePagedSceneCorrupt();
        throw;
    }
}

std::uint64_t qvBasicPagedScene::file_stamp() const noexcept { return file_ != nullptr ? file_->stamp() : 0; }

// Entries are read one by one into a local table (never reserved from a
// claimed count); the map is built from them once all are read.
void qvBasicPagedScene::load_layout(qvInputStream& is) {
    QV_ASSERT_TEXT(initialized_, "initialized");
    const auto flag = [&is](bool own) {
        const long value = qvReadInt32(is);
        if ((value != 0 && value != 1) || (value == 1) != own) qvRaisePagedSceneCorrupt();
    };
    // Another palette choice than the writer's is the caller's mistake,
    // not a damaged file.
    const long palette_flag = qvReadInt32(is);
    if (palette_flag != 0 && palette_flag != 1) qvRaisePagedSceneCorrupt();
    if ((palette_flag == 1) != own_palette_) qvRaisePagedSceneError("Stored layout incompatible with the scene's palette");
    if (own_palette_) load_stored_palette(is);
    flag(own_hdb_);
    if (own_hdb_) hdb_->load(is);
    qvMathRectOf<double> bounds;
    bounds.x1 = qvReadValue<double>(is);
    bounds.y1 = qvReadValue<double>(is);
    bounds.x2 = qvReadValue<double>(is);
    bounds.y2 = qvReadValue<double>(is);
    const long segment_count = qvReadInt32(is);
    if (segment_count < 0) qvRaisePagedSceneCorrupt();
    if (segment_count != static_cast<long>(segments_.size()))
        qvRaisePagedSceneError("Stored layout incompatible with the current segment set");
    for (qvPagedSceneSegment* segment : segments_) segment->load(is);
    const long scene_layers = qvReadInt32(is);
    const long entry_count = qvReadInt32(is);
    if (scene_layers < 0 || entry_count < 0 || scene_layers > entry_count) qvRaisePagedSceneCorrupt();

    std::vector<LayerEntry> entries;
    std::vector<int> map_of;   // scene layer of each entry, -1 for holes
    std::set<std::pair<long, long>> quadtrees;
    for (long k = 0; k < entry_count; ++k) {
        const long segment = qvReadInt32(is);
        const long segment_layer = qvReadInt32(is);
        const long scene_layer = qvReadInt32(is);
        const long size = qvReadInt32(is);
        LayerEntry e;
        if (segment >= 0) {
            if (segment >= segment_count || segment_layer < 0 ||
                segment_layer >= segments_[at(static_cast<int>(segment))]->total_layers() || scene_layer < 0 ||
                scene_layer >= scene_layers || size < 0)
                qvRaisePagedSceneCorrupt();
            if (!quadtrees.emplace(segment, segment_layer).second) qvRaisePagedSceneCorrupt();
            qvPagedSceneSegment* const s = segments_[at(static_cast<int>(segment))];
            e.segment = s;
            e.segment_layer = static_cast<int>(segment_layer);
            e.sdb = &s->tree(e.segment_layer);
            e.scene_layer = static_cast<int>(scene_layer);
            e.size = static_cast<int>(size);
        }
        entries.push_back(std::move(e));
    }
    std::vector<int> mapv(at(static_cast<int>(scene_layers)), -1);
    const std::size_t base = layers_.size();
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (!entries[k].segment) continue;
        int& slot = mapv[at(entries[k].scene_layer)];
        if (slot != -1) qvRaisePagedSceneCorrupt();
        slot = static_cast<int>(base + k);
    }
    if (std::find(mapv.begin(), mapv.end(), -1) != mapv.end()) qvRaisePagedSceneCorrupt();
    if (!read_only_) {
        for (std::size_t k = 0; k < entries.size(); ++k)
            if (entries[k].segment)
                entries[k].list = orvane::auto_ptr<qvShapeList>(new qvShapeList(*nodes_, static_cast<int>(base + k)));
    }
    layers_.reserve(base + entries.size());
    for (LayerEntry& e : entries) layers_.push_back(std::move(e));
    mapv_.swap(mapv);
    bounds_ = bounds;
}

qvMathRectOf<double> qvBasicPagedScene::bbox(int layer) {
    QV_ASSERT_TEXT(initialized_, "initialized");
    finish_pending();
    check_layer(layer);
    LayerEntry const& e = entry_of(layer);
    QV_ASSERT_TEXT(e.sdb != nullptr, "layers[mapv[layer]].sdb");
    return e.sdb->bbox();
}

// ---------------------------------------------------------------------------
// Layers

void qvBasicPagedScene::check_layer(int layer) const {
    if (layer < 0 || layer >= static_cast<int>(mapv_.size())) qvRaisePagedSceneError("Illegal layer number specified");
}

int qvBasicPagedScene::total_layers() {
    finish_pending();
    return static_cast<int>(mapv_.size());
}

void qvBasicPagedScene::insert_layer(int layer) {
    finish_pending();
    if (layer < 0 || layer > static_cast<int>(mapv_.size())) qvRaisePagedSceneError("Illegal layer number specified");
    if (dynamic_ == nullptr) qvRaisePagedSceneError("Dynamic segment is not set for the paged scene");
    std::size_t slot = 0;
    while (slot < layers_.size() && layers_[slot].segment) ++slot;
    orvane::auto_ptr<qvShapeList> list;
    if (!read_only_) list = orvane::auto_ptr<qvShapeList>(new qvShapeList(*nodes_, static_cast<int>(slot)));
    layers_.reserve(layers_.size() + 1);
    mapv_.reserve(mapv_.size() + 1);
    dynamic_->add_layer(bounds_);
    // Nothing below raises.
    const int k = dynamic_->total_layers() - 1;
    for (LayerEntry& e : layers_)
        if (e.segment && e.scene_layer >= layer) ++e.scene_layer;
    if (slot == layers_.size()) layers_.emplace_back();
    LayerEntry& e = layers_[slot];
    e.sdb = &dynamic_->tree(k);
    e.segment = dynamic_;
    e.segment_layer = k;
    e.list = list;
    e.scene_layer = layer;
    e.size = 0;
    mapv_.insert(mapv_.begin() + layer, static_cast<int>(slot));
}

void qvBasicPagedScene::delete_layer(int layer) {
    finish_pending();
    remove_layer(layer);
}

// Each shape destroyed writes pages, and on a full disk one of them may
// not be had. Until the first shape is gone a raise leaves the layer
// whole, and the delete raises: trying it again is safe. After that the
// layer cannot be put back, so the delete is done as far as the
// application can tell, and returns: the layer leaves the map at once
// (nothing of it is drawn, counted, enumerated or connected again, and
// the walks that have it still to walk end), and what is left goes first
// thing in the next operation, which raises while it cannot (as a failed
// load's undo does). Raising here would have the application try again
// once there is room, and its second delete_layer(layer) would delete the
// layer that has taken this one's number.
void qvBasicPagedScene::remove_layer(int layer) {
    check_layer(layer);
    const std::size_t slot = at(mapv_[at(layer)]);
    const int whole = layers_[slot].size;
    try {
        if (whole > 0) destroy_shapes(slot);
        drop_entry(slot);
    } catch (...) {
        if (layers_[slot].size == whole) throw;
        // The walks of other layers go on: nothing of theirs changes.
        end_enumerations(slot);
        deleting_ = static_cast<int>(slot);
    }
    unmap(layer);
}

// Restartable: the entry holds exactly the shapes still to go. The
// operations of its destruction are the finish itself, so they find
// nothing pending meanwhile.
void qvBasicPagedScene::finish_delete() {
    const std::size_t slot = at(deleting_);
    deleting_ = -1;
    try {
        if (layers_[slot].size > 0) destroy_shapes(slot);
        drop_entry(slot);
    } catch (...) {
        deleting_ = static_cast<int>(slot);
        throw;
    }
}

// A walk still to reach the entry would go on in its deleted quadtree.
void qvBasicPagedScene::drop_entry(std::size_t slot) {
    end_enumerations(slot);
    qvPagedSceneSegment* const segment = layers_[slot].segment;
    const int segment_layer = layers_[slot].segment_layer;
    segment->remove_layer(segment_layer);
    layers_[slot] = LayerEntry{};
    for (LayerEntry& e : layers_)
        if (e.segment == segment && e.segment_layer > segment_layer) --e.segment_layer;
}

void qvBasicPagedScene::unmap(int layer) noexcept {
    layers_[at(mapv_[at(layer)])].scene_layer = -1;
    for (LayerEntry& e : layers_)
        if (e.segment && e.scene_layer > layer) --e.scene_layer;
    mapv_.erase(mapv_.begin() + layer);
}

void qvBasicPagedScene::move_layer(int from, int to) {
    finish_pending();
    check_layer(from);
    check_layer(to);
    if (from == to) return;
    const auto position = [this](int p) { return mapv_.begin() + p; };
    if (from < to)
        std::rotate(position(from), position(from + 1), position(to + 1));
    else
        std::rotate(position(to), position(from), position(from + 1));
    for (int p = std::min(from, to); p <= std::max(from, to); ++p) layers_[at(mapv_[at(p)])].scene_layer = p;
}

int qvBasicPagedScene::size(int layer) const {
    finish_pending();
    if (layer >= 0) {
        check_layer(layer);
        return entry_of(layer).size;
    }
    int total = 0;
    for (int slot : mapv_) total += layers_[at(slot)].size;
    return total;
}

// ---------------------------------------------------------------------------
// Drawing

void qvBasicPagedScene::render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) {
    finish_pending();
    port.palette(palette_);
    const int total = static_cast<int>(mapv_.size());
    if (layer < 0) {
        for (int l = 0; l < total; ++l) render(port, reverse ? total - 1 - l : l, area, reverse);
        return;
    }
    QV_ASSERT_TEXT(layer < total, "l < int(mapv.size())");
    LayerEntry& e = entry_of(layer);
    for (auto record = e.sdb->query(area, reverse); record; ++record) port.draw_shape(*record);
    if (e.list.get() == nullptr) return;
    std::vector<qvShapeBase*> copies;
    copies_->query(mapv_[at(layer)], area, reverse, copies);
    for (qvShapeBase* record : copies) port.draw_shape(*record);
}

// ---------------------------------------------------------------------------
// Scene stream

// The count is what follows: every connected record, then every unmasked
// stored one, also those no query over the bounds would meet.
void qvBasicPagedScene::save(qvOutputStream& os) const {
    finish_pending();
    if (own_palette_) palette_->save(os);
    qvWriteInt32(os, static_cast<long>(mapv_.size()));
    for (int slot : mapv_) {
        LayerEntry const& e = layers_[at(slot)];
        long count = e.list.get() != nullptr ? e.list->size() : 0;
        for (auto record = e.sdb->every_record(); record; ++record) ++count;
        qvWriteInt32(os, count);
        if (e.list.get() != nullptr)
            for (auto record = e.list->enumerate(); record; ++record) qvWriteShapeRecord(os, *record);
        for (auto record = e.sdb->every_record(); record; ++record) qvWriteShapeRecord(os, *record);
    }
}

long qvBasicPagedScene::store(std::size_t e, qvShapeBase& record, qvQuadTreeHandleData const& cell) {
    LayerEntry& entry = layers_[e];
    qvHandleDatabase::RecordLock handle_lock;
    hdb_->create(nullptr, static_cast<int>(sizeof(qvHandleRecord)), handle_lock);
    // The next handles take the next slots of the page: their line is on
    // its way while this record is placed (past the page's end, a
    // prefetch is only a hint).
    __builtin_prefetch(handle_lock.record + 128, 1);
    qvHandleRecord h = handle_lock.get();
    try {
        record.shape_handle = h.handle;
        h.quadtree = entry.sdb->create_deferred(record, cell);
    } catch (...) {
        hdb_->remove(handle_lock);
        throw;
    }
    h.layer = static_cast<std::int16_t>(e);
    h.stored = 1;
    handle_lock.set(h);
    hdb_->release(handle_lock);
    ++entry.size;
    return h.handle;
}

// One step of the undo, whole or not at all: the two look-ups are all
// that can fail (a page that cannot be read, or a cache that cannot write
// one back to make room), and they change nothing. What follows them only
// changes locked pages. A record not in its node was never written (its
// batch was given back unwritten); its handle still counted in its layer.
// No handle of the load can be connected, destroyed or reused meanwhile:
// every operation that could reach one finishes the undo first.
void qvBasicPagedScene::take_back(long handle) {
    QV_ASSERT_TEXT(hmap_.find(handle) == hmap_.end(), "hmap.find(handle) == hmap.end()");
    qvHandleDatabase::RecordLock handle_lock;
    hdb_->modify(handle, handle_lock);
    if (!handle_lock) return;
    const qvHandleRecord h = handle_lock.get();
    LayerEntry& entry = entry_named(h);
    qvQuadTree::RecordLock lock;
    if (entry.sdb->modify_if_stored(h, lock)) entry.sdb->remove(lock);
    --entry.size;
    hdb_->remove(handle_lock);
}

// Restartable: each handle leaves its list once taken back, so a raise
// (the disk still full) leaves exactly what is still to do, for the next
// operation. The appended layers go last, from the top: every record in
// them was the load's, and no layer can have been added since.
void qvBasicPagedScene::take_back_load() {
    while (!unload_waiting_.empty()) {
        take_back(unload_waiting_.back());
        unload_waiting_.pop_back();
    }
    while (!unload_.empty()) {
        if (unload_.back()) take_back(static_cast<long>(unload_.size() - 1));
        unload_.pop_back();
    }
    std::vector<long>().swap(unload_waiting_);
    std::vector<bool>().swap(unload_);
    while (unload_layers_ >= 0 && static_cast<int>(mapv_.size()) > unload_layers_) {
        const int last = static_cast<int>(mapv_.size()) - 1;
        QV_ASSERT_TEXT(entry_of(last).size == 0, "layers[mapv.back()].size == 0");
        remove_layer(last);
    }
    unload_layers_ = -1;
}

namespace {

void load_mark(std::vector<bool>& marks, long handle) {
    if (marks.size() <= static_cast<std::size_t>(handle)) marks.resize(static_cast<std::size_t>(handle) * 2 + 64);
    marks[static_cast<std::size_t>(handle)] = true;
}

}  // namespace

// All or nothing: the handle of each stored record is marked in a bitmap
// over handle numbers (an eighth of a byte per handle, not a list), and
// the appended layers sit on top; an error takes both away again.
//
// Records are stored in stream order, each in the node and slot a record
// by record load gives it, but their bytes wait (deferred stores of the
// quadtree) and are written node by node once a batch is complete. In
// stream order each record locked the node page of a random cell, and once
// the nodes outgrew the page cache nearly every record cost a page written
// back and another read; batched, a node page is read and written once per
// batch. Until its batch is written a record is in no page: an error first
// gives those slots back, and their handles go without a record.
//
// The undo itself needs pages, and on a full disk a cache that cannot
// write one back cannot make room for the next: then the undo stops where
// it is, the load raises its own error, and the rest is taken back first
// by the next operation of the scene, which raises (a close leaves the
// scene open) while it cannot be.
// Records are never written without their handle, nor a handle kept for
// a record given back, at any point of that.
//
// Each record takes its attribute before it is stored; `attributes` gives
// back what the load took in the palette as the error leaves, also when
// the undo is kept: the records that name those attributes are never seen
// again.
void qvBasicPagedScene::load(qvInputStream& is) {
    if (!initialized_) qvRaisePagedSceneError("Paged scene was not initialized");
    finish_pending();
    qvLoadedAttributes attributes(is, *palette_, own_palette_);
    attributes.read_palette();
    const long count = qvReadInt32(is);
    const int before = static_cast<int>(mapv_.size());
    std::vector<bool> stored;
    std::vector<long> waiting;   // handles of the batch not yet marked in stored
    qvQuadTree* deferred = nullptr;
    try {
        const long lists = std::max(count, static_cast<long>(before));
        for (long l = 0; l < lists; ++l) {
            const long records = qvReadInt32(is);
            if (l >= static_cast<long>(mapv_.size())) insert_layer(static_cast<int>(mapv_.size()));
            const std::size_t e = at(mapv_[at(static_cast<int>(l))]);
            // A handle record names its entry in 16 bits.
            if (e > 0x7FFF) qvRaisePagedSceneError("Illegal layer number specified");
            deferred = layers_[e].sdb;
            std::size_t bytes = 0;
            const auto write = [&](bool last) {
                if (last)
                    deferred->end_deferred();
                else
                    deferred->write_deferred();
                for (long handle : waiting) load_mark(stored, handle);
                waiting.clear();
                bytes = 0;
            };
            // One record is read ahead: the node it will most likely go to
            // is fetched while the one before it is stored.
            auto next = decltype(qvCreateShapeFromSerialization(is))();
            qvQuadTreeHandleData next_cell{};
            const auto read_next = [&] {
                next = qvCreateShapeFromSerialization(is);
                next_cell = deferred->prepare_deferred(*next);
            };
            if (records > 0) read_next();
            for (long r = 0; r < records; ++r) {
                const auto record = next;   // takes the record over from next
                const qvQuadTreeHandleData cell = next_cell;
                attributes.take(*record);
                if (r + 1 < records) read_next();
                // Room first, so that a stored record always gets its entry.
                if (waiting.size() == waiting.capacity()) waiting.reserve(waiting.size() * 2 + 1024);
                waiting.push_back(store(e, *record, cell));
                bytes += static_cast<std::size_t>(record->size);
                if (bytes >= load_batch_bytes_) write(false);
            }
            write(true);
            deferred = nullptr;
        }
    } catch (...) {
        // A batch whose writing failed may be written in part: what was not
        // written gives its slots back, what was is taken back below. A
        // handle may be both in `waiting` and marked: taken back once, the
        // second finds it gone.
        if (deferred != nullptr) deferred->discard_deferred();
        end_enumerations();
        unload_.swap(stored);
        unload_waiting_.swap(waiting);
        unload_layers_ = before;
        try {
            take_back_load();
        } catch (...) {
            // Left for the next operation; the load's own error is the one
            // to report.
        }
        throw;
    }
    attributes.keep();
    // The senders' own flag does not hold back a whole invalidation.
    if (update_notification()) {
        rect_sender().invalidate();
        handle_sender().invalidate();
    }
}
