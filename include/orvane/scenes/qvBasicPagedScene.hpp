#pragma once
// qvBasicPagedScene: the container scene whose shape records live in
// quadtrees in the pages of paged scene files. It puts together one or
// more segments (groups of quadtree layers), a handle database that maps
// each shape handle to its qvHandleRecord, a layer table that maps scene
// layers onto (segment, segment layer) pairs, a palette, and per layer a
// shape list of the shapes connected (copied to the heap for editing).
//
// Keeps true:
//  - layer entries are never removed or renumbered while the scene is
//    open: handle records name entries, not scene layers. A deleted layer
//    leaves a hole (no segment, segment layer −1, scene layer −1), which
//    the next insert_layer reuses;
//  - `mapv` holds each non-hole entry index once (but that of a layer
//    whose delete is still to finish), and the element of `mapv` at an
//    entry's scene layer is that entry's index;
//  - the connected lists share one node table; `hmap` maps a connected
//    shape's handle to its node handle;
//  - not initialized (constructed, closed, or after a failed create or
//    open: handle tree gone, segments emptied, no entries, empty map) or
//    initialized (between create or open and close). A writable open
//    clears the read-only flag before it loads "$Layout", so every entry
//    of a writable scene has a connected list;
//  - a close that raises leaves the scene initialized, its open mark in
//    the file, and can be called again (after space was freed, say): what
//    it wrote back stays written, what it did not stays connected;
//  - the destructor closes a scene that is still open (its layout is
//    written); when that close raises, the session is given up: nothing
//    more is written, every copy is freed, and the destructor returns. The
//    file keeps its open mark, as after a killed writer. Owners that must
//    know call close first;
//  - a shape is stored only (its handle record's stored field 1), or
//    connected: a heap copy in its entry's connected list, its handle in
//    `hmap`, its stored copy (if any) masked. Disconnect writes the copy
//    back (in place when size and box are unchanged, else removed and
//    created anew in the cell of its box, the root cell for a box with a
//    NaN or outside the bounds); it raises nothing over a record's
//    content, and on an I/O failure keeps the shape connected for close
//    to write back, its copy handed out again by the next connect of its
//    handle. In a read-only scene every connect is a new copy that
//    disconnect only frees;
//  - close writes every connected copy back (layer 0 first, each list in
//    order) and detaches the copies: their proxies keep them, the scene
//    frees them at their disconnect or its destruction. On a closed scene
//    connect, allocate, destroy and shape_layer raise "Paged scene was not
//    initialized". Close also ends every live enumeration;
//  - a detached copy (written back by a close, or a read-only connection
//    once its session closed) belongs to no session: the proxy site lists
//    no proxy of it, so a later session's connect of its handle makes a
//    new copy, and a guard opened over it raises "Paged scene was not
//    initialized", in a later session as well; its disconnect only frees it;
//  - with a file, create and a writable open add the root "$Open" (page 1,
//    nothing allocated) and sync; a writable open refused after it added
//    "$Open" removes it again and syncs (the first sync may have stored
//    it), storing nothing else that the file did not hold; a clean close
//    writes everything back, writes "$Layout", syncs, removes "$Open" and
//    syncs. A writable open
//    of a file that has "$Open" raises "Invalid or corrupt Orvane
//    pagefile" before it writes anything, and so does one where a page
//    the layout names (map, directory, node, handle-tree and layout
//    pages) is marked free in the map or named twice. A handle record that names a
//    hole or no entry, has a stored field other than 0 or 1, or a cell
//    that is none raises the same;
//  - paged layers have no z-order (no qvShapeOrderInterface): render
//    and the stream give a layer's stored records in quadtree order, then
//    its connected ones in list order; `reverse` reverses the order of the
//    layers and of a layer's connected records, never the stored ones;
//  - render finds a layer's connected copies by box, as its stored
//    records: an index of the copies (qvConnectedCopyIndex) holds each by
//    the box it had when it was connected, made or written, or when the
//    last modification guard of its proxy closed; while a guard is open
//    the copy is tested wherever an area is. A caller that connects a
//    record itself and moves its box without a guard has it found at its
//    new box from its disconnect on (until then an area away from the old
//    box may miss it);
//  - bbox and insert_layer refuse a negative layer ("Illegal layer number
//    specified"); size and render take any negative layer as every layer;
//  - a delete_layer that raises leaves its layer whole, so trying it
//    again deletes the same layer. One that cannot finish once it has
//    destroyed a shape (a full disk) returns with the layer gone entirely
//    from the application's view: the layer leaves `mapv` at once
//    (nothing counts, draws, enumerates, connects or saves any of it
//    again), and its other shapes and its quadtree go first thing in
//    every later operation but disconnect; while they cannot, that
//    operation raises and keeps the rest, as with a failed load's undo. A
//    close or a destructor finishes it first, through the live proxies of
//    the layer's shapes, which are left without a record as after a whole
//    delete;
//  - a delete_layer ends the live enumerations that have its layer still
//    to walk before the layer's quadtree goes (or leaves the map); the
//    walks of the other layers go on.
//
// "$Layout" stream form (int32 fields little-endian unless named):
//   own palette flag (0 or 1), then the palette's stream form when 1
//   own handle database flag (0 or 1), then the handle tree's form when 1
//   bounds: double x1, y1, x2, y2
//   segment count s, then s segment stream forms in attach order
//   scene layer count n
//   entry count m, then m entries of four int32: segment index (−1 for a
//   hole), segment layer, scene layer, size
// Load refuses with "Invalid or corrupt Orvane pagefile" a palette part the
// palette refuses (its stream checks and its handle assertions), a flag other than
// 0 or 1 or a handle tree flag other than the scene's own (a palette flag
// other than the scene's own raises "Stored layout incompatible with the
// scene's palette": a caller's choice, not damage), a negative count or size, more
// scene layers than entries, a segment index at or above s, a segment
// layer outside its segment, two entries on one quadtree, a scene layer
// outside 0 … n − 1, taken twice or left unfilled; "Stored layout
// incompatible with the current segment set" when s differs from the
// attached segments.
//
// Scene stream form (as the memory scene's): the palette when owned;
// int32 layer count; per scene layer an int32 count and exactly that many
// records (the connected ones, then every unmasked stored one). Load
// stores each record (new handle, layer, stored = 1) directly in its
// layer's quadtree, appending missing layers as their part is reached. A
// record's attribute is what the memory scene makes of it
// (qvMemoryScene.hpp): an owned palette that holds no attribute (a new
// file's) is replaced by the stream's; one that holds any keeps every
// attribute it has, and each loaded record names a copy of the stream's
// attribute; a palette not owned gives each record a reference on the
// attribute it names. A record naming one that the palette it is read
// against does not hold raises qvErrorFrom<qvInputStream> "Invalid
// attribute handle on input". Load
// is all or nothing: on an error the records it stored are removed with
// their handles, the layers it appended deleted, and the palette is put
// back as it was (the same attributes under the same handles, with the
// same counts) by the time the error reaches the caller, even while the
// rest of its undo waits: the records left waiting are never seen again.
// Where the undo cannot be written (a full disk, say), the load raises
// its own error with the rest of the undo kept: from then on every
// operation of the scene but disconnect (reads included: drawing,
// enumeration, counts, connect) finishes it first, raising and changing
// nothing while it still cannot.
// So no record of the failed load ever reaches the application, no handle
// number it holds is given to a new shape, and a close that returns leaves
// the content from before the load plus every change made since that
// returned. A load that raises also ends every live enumeration (its walk
// would meet the undo). Then one invalidate() on each sender.
//
// Errors are qvErrorFrom<qvBasicPagedScene>; those of the handle tree,
// segments, quadtrees, streams and device pass through.
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>
#include <orvane/scenes/qvQuadTree.hpp>
#include <orvane/scenes/qvRecordPtr.hpp>
#include <orvane/scenes/qvShapeList.hpp>
#include <orvane/shapes/qvContainerScene.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_set>
#include <vector>

class qvConnectedCopyIndex;
class qvPagedSceneFile;
class qvShapeNodeTable;
class qvPS_SimpleIterator;

class qvBasicPagedScene : public qvContainerScene {
public:
    // One element of the layer table; a hole has no segment.
    struct LayerEntry {
        qvQuadTree* sdb = nullptr;
        qvPagedSceneSegment* segment = nullptr;
        int segment_layer = -1;
        orvane::auto_ptr<qvShapeList> list;   // connected shapes; may be absent
        int scene_layer = -1;
        int size = 0;
    };

    // Over a handle database the caller owns; file may be null (then no
    // "$Layout" is read or written).
    qvBasicPagedScene(qvHandleDatabase& hdb, qvPagedSceneFile* file, qvPalette* palette = nullptr, bool own = false);
    // Makes its own handle tree (record size 16) at create and open.
    explicit qvBasicPagedScene(qvPagedSceneFile& file, qvPalette* palette = nullptr, bool own = false);
    qvBasicPagedScene(qvBasicPagedScene const&) = delete;
    qvBasicPagedScene& operator=(qvBasicPagedScene const&) = delete;
    ~qvBasicPagedScene() override;

    // The root that marks a file open for writing (its page is no page the
    // mark owns: nothing is allocated for it).
    static constexpr char const* open_mark = "$Open";
    static constexpr long open_mark_page = 1;

    // --- segments and life cycle
    void add_segment(qvPagedSceneSegment& segment, bool dynamic);
    // "Segment is not associated with the paged scene" for a foreign one.
    void remove_segment(qvPagedSceneSegment& segment);
    void dynamic_segment(qvPagedSceneSegment& segment);
    qvPagedSceneSegment* dynamic_segment() const noexcept { return dynamic_; }
    // Both "Paged scene already initialized" when initialized.
    void create(qvMathRectOf<double> const& bounds);
    void open(bool read_only);
    // "Paged scene was not initialized" when not initialized.
    void close();
    bool is_open() const noexcept { return initialized_; }
    void save_layout(qvOutputStream& os);
    void load_layout(qvInputStream& is);
    qvMathRectOf<double> bbox(int layer);
    qvMathRectOf<double> const& bounds() const noexcept { return bounds_; }

    // --- scene contract
    qvPalette& palette() override { return *palette_; }
    bool read_only() override { return read_only_; }
    qvShapeBase* connect(long handle) override;
    void disconnect(qvShapeBase* record) override;
    qvShapeBase* allocate(int size, qvShapeBase* old) override;
    void destroy(qvShapeBase* record) override;
    void shape_layer(long handle, int layer) override;
    int shape_layer(long handle) override;
    void insert_layer(int layer) override;
    // Destroys the layer's shapes through their proxies (connected ones
    // first, then the stored ones; one of no registered proxy class and no
    // live proxy directly), then the layer; its quadtree's node pages go
    // back to the allocator. A copy its caller connected itself refuses
    // the delete ("Shape handle not found") before anything goes. A raise
    // leaves the layer whole; what a delete that cannot finish leaves:
    // see "Keeps true".
    void delete_layer(int layer) override;
    void move_layer(int from, int to) override;
    int size(int layer) const override;
    qvIndirectIterator<qvGraphic> enumerate(int layer) override;
    int total_layers() override;
    void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) override;
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

    // --- what tests and the connection code look at
    std::vector<LayerEntry> const& layers() const noexcept { return layers_; }
    std::vector<int> const& layer_map() const noexcept { return mapv_; }
    qvHandleDatabase* handle_database() const noexcept { return hdb_; }
    // Copies handed out and no longer the scene's to store: read-only
    // connections, and connected copies a close wrote back. Their proxies
    // hand them to disconnect, which only frees them.
    std::size_t loose_copies() const noexcept { return loose_.size(); }
    // The connected copies by box.
    qvConnectedCopyIndex const& connected_copies() const noexcept { return *copies_; }
    // The bytes of records a load stores before it writes them, node by
    // node (qvQuadTree::deferred_batch_bytes unless set): smaller batches
    // hold less memory and write more often.
    void load_batch_bytes(std::size_t bytes) noexcept { load_batch_bytes_ = bytes; }

protected:
    // The file, when the scene has one.
    qvPagedSceneFile* file() const noexcept { return file_; }
    // "Paged scene was not initialized" unless initialized.
    void require_open() const;
    // Ends every live enumeration (its pins released, at end from now on),
    // or only those with the entry `slot` still to walk.
    void end_enumerations(std::size_t slot = every_entry) noexcept;
    static constexpr std::size_t every_entry = ~std::size_t{0};
    // Back to not initialized without writing anything: connected copies
    // freed, structures dropped. For a destructor whose close failed.
    void give_up() noexcept;
    // For a destructor, before its close: what a failed operation left
    // unfinished is finished where it can be, then every proxy is told
    // the scene is gone.
    void detach_proxies() noexcept;

private:
    friend class qvPS_SimpleIterator;
    // A guard's edit of a connected copy begins or ends: the copy leaves
    // its place in the index meanwhile and is placed by its new box after.
    void record_edit(qvShapeBase& record, bool editing) noexcept override;
    // Refuses a detached copy, then the shape_layer of the record's handle.
    int edit_layer(qvShapeBase const& record) override;
    // Stores `shape` as a new record of entry e's quadtree, naming it in
    // its handle record (cell, entry, stored = 1), and removes the record
    // the handle named in `stored_in` (none when null). Holds no page while
    // the record is placed; on a raise, nothing changed but the handle
    // record's own page.
    void place_record(std::size_t e, qvShapeBase const& shape, qvQuadTree* stored_in);
    // The entry a handle record names, or "Invalid or corrupt Orvane
    // pagefile" for a record that breaks the rules of a handle record.
    LayerEntry& entry_named(qvHandleRecord const& h);
    // Writes a connected copy into its layer's quadtree (the store part
    // of disconnect); the copy stays where it is.
    void write_back(qvShapeBase& shape);
    // Writes back every connected copy, layer 0 first, each list in order,
    // and makes them loose; the proxy site lists none of them from then on.
    void write_back_all();
    // The durable flush of the scene's file and every segment's file.
    void flush_files();
    // Destroys every shape of the entry through its proxy.
    void destroy_shapes(std::size_t slot);
    std::vector<LayerEntry>& table() noexcept { return layers_; }
    void check_layer(int layer) const;
    // "Invalid or corrupt Orvane pagefile" unless every page the session
    // writes in place (those of `pages`, read from the layout, among them)
    // is marked used in the file's map and named by one structure only.
    void check_page_use(std::vector<long> pages);
    // The own palette's part of "$Layout"; what it refuses is a damaged file.
    void load_stored_palette(qvInputStream& is);
    // The stamp of the scene's file (see qvPagedSceneFile::stamp); 0, which
    // no palette content matches, without a file.
    std::uint64_t file_stamp() const noexcept;
    LayerEntry& entry_of(int layer) const {
        return const_cast<LayerEntry&>(layers_[static_cast<std::size_t>(mapv_[static_cast<std::size_t>(layer)])]);
    }
    // Back to not initialized: segments emptied, table and map cleared,
    // an own handle tree deleted. Never raises.
    void reset() noexcept;
    void start();
    // Stores one record read from a stream in the layer of entry e; its
    // new shape handle.
    long store(std::size_t e, qvShapeBase& record, qvQuadTreeHandleData const& cell);
    // Takes the record of a handle a failed load stored back, with its
    // handle; nothing for a handle gone since (taken back by an earlier
    // try that raised after it).
    void take_back(long handle);
    // Finishes taking back what a failed load stored (nothing when none
    // is left); raises, with the rest still to do, when a page cannot be
    // had.
    void take_back_load();
    // What every operation does first: the undo a failed load left, and
    // the rest of a delete_layer that raised part way.
    void finish_pending() {
        if (unload_layers_ >= 0) take_back_load();
        if (deleting_ >= 0) finish_delete();
    }
    // For the const reads (size, save): a scene is never a const object,
    // it has to be created or opened, so the cast writes no const object.
    void finish_pending() const { const_cast<qvBasicPagedScene*>(this)->finish_pending(); }
    // delete_layer without finishing a failed load first (its undo deletes
    // the layers the load appended). Raises only with the layer whole.
    void remove_layer(int layer);
    // Destroys what is left of the entry a delete_layer that could not
    // finish took out of the map, then drops it; raises, with the rest
    // still to do, while it cannot.
    void finish_delete();
    // The quadtree of an emptied entry goes and the entry becomes a hole;
    // raises before it changes anything but the walks of the entry, which
    // end.
    void drop_entry(std::size_t slot);
    // The layer leaves the map: the layers above it move down by one.
    void unmap(int layer) noexcept;

    std::vector<LayerEntry> layers_;
    std::vector<qvPagedSceneSegment*> segments_;
    std::vector<int> mapv_;
    qvPagedSceneSegment* dynamic_ = nullptr;
    bool read_only_ = false;
    std::map<long, long> hmap_;
    qvPagedSceneFile* file_;
    qvHandleDatabase* hdb_;
    bool own_hdb_;
    qvPalette* palette_ = nullptr;
    bool own_palette_ = false;
    qvMathRectOf<double> bounds_;
    bool initialized_ = false;
    std::unique_ptr<qvShapeNodeTable> nodes_;
    std::unique_ptr<qvConnectedCopyIndex> copies_;
    std::unordered_set<qvShapeBase*> loose_;
    std::unordered_set<qvPS_SimpleIterator*> enumerations_;
    // What the last disconnect of an unchanged copy let go, kept for the
    // next connect: the copy's block (at least spare_copy_size_ bytes) and
    // its `hmap` node. Neither holds a live shape.
    std::unique_ptr<qvShapeBase> spare_copy_;
    int spare_copy_size_ = 0;
    std::map<long, long>::node_type spare_hmap_node_;
    // What a load that raised has still to take back: handles it stored
    // (a bitmap over handle numbers, and those of the last batch), and the
    // layer count before it (-1: nothing to take back).
    std::vector<bool> unload_;
    std::vector<long> unload_waiting_;
    int unload_layers_ = -1;
    // The entry whose delete_layer could not finish once some of its
    // shapes were gone: out of the map (scene layer -1), its other shapes
    // and its quadtree still to go; -1 for none.
    int deleting_ = -1;
    std::size_t load_batch_bytes_ = qvQuadTree::deferred_batch_bytes;
};
