#pragma once
// qvQuadTree: the spatial store of one paged scene layer. It keeps the
// layer's shape records in node pages of the scene's page device, one or
// more nodes per cell of a quadtree over a fixed base rectangle, finds a
// record again by its handle record (shape handle and cell) or by area,
// and names its nodes in a small stream form; the records stay in the
// page file. The cell arithmetic and the split policy are left to a
// derived class (qvQTree).
//
// Keeps true:
//  - the directory exists exactly once a base rectangle is set or loaded,
//    and always holds the root node (0, 0, 0) and every node of the layer;
//  - a record lies in a node of its own cell (rect_to_handle of its box)
//    or of a cell above it on the path from the root; create puts it in
//    the deepest cell on that path that has nodes, in the first of that
//    cell's nodes with room (at most 327 records and 15,720 bytes);
//  - masks are a multiset of shape handles per quadtree: mask adds one
//    occurrence, the examine or modify that finds and locks the record
//    takes one away (one whose lock is refused leaves it), and a query
//    skips a record while its handle is masked, in whichever node a split
//    has put it. An empty set costs a query nothing;
//  - cells with many nodes (records across centre lines pile up near the
//    root) remember in memory in which node each shape handle was seen, so
//    a lookup there reads one page, not every node of the cell; the index
//    is a hint, checked on the page at every use, and a lookup that finds
//    nothing through it reads every node of the path before it gives up;
//  - failures leave the store as it was: refusals come before any change,
//    a split makes and locks every new node before it moves a record and
//    takes them out again when one of those steps raises (a full disk),
//    a failed load leaves no directory and no node object behind.
//
// Query order is drawing order and hit order: the directory's walk (a
// cell's nodes in order, then its children with their subtrees), and
// within a node its slot order. Paged layers have no z-order: `reverse` is
// ignored. A query holds its current node's page pinned through the device
// (cache locks nest), so examine and in-place modify of that node leave it
// valid; any other change of the store ends its validity. Records reach
// callers in place, valid only until the query moves on or the lock ends:
// keep shape handles, never record pointers.
//
// Stream form (save, load; little-endian):
//   offset       size  field
//        0         32  base rectangle: double x1, y1, x2, y2
//       32          4  node count n
//   36 + 16k       16  node k (qvQuadTreeNodeData), k = 0 … n − 1, in the
//                      directory's walk order, so each cell's nodes keep
//                      their order
// Load refuses with "Invalid or corrupt Orvane pagefile" a base that is
// not finite or not ordered strictly, n below 0 or above the device's page
// count (before anything is allocated), z above 15, x or y that is no cell
// of level z, a page outside 2 … page count − 1 or named twice, fill_no
// above 327, fill_mem above 15,720 or not a multiple of 8, and a stream
// without a node of the root cell, where every search begins; each node's
// page is checked at its first lock (qvQuadTreeNode). A short stream raises
// qvErrorFrom<qvInputStream> "Incomplete data on input".
//
// Errors are qvErrorFrom<qvQuadTree>; those of the device pass through.

#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvHandleRecord.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>
#include <orvane/scenes/qvQuadTreeHandle.hpp>
#include <orvane/scenes/qvQuadTreeNode.hpp>
#include <orvane/scenes/qvShapeDatabase.hpp>
#include <orvane/shapes/qvShapeSource.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class qvPageDevice;

class qvQuadTree : public qvShapeDatabase, public qvShapeSource, public qvStreamPersistence {
public:
    ~qvQuadTree() override;
    qvQuadTree(qvQuadTree const&) = delete;
    qvQuadTree& operator=(qvQuadTree const&) = delete;

    // "Cannot re-initialize the quadtree" once there is a directory;
    // "Illegal bounds specified" for a base that is not finite or has
    // x1 >= x2 or y1 >= y2. Makes the directory and the root node.
    void set_base_rect(qvMathRectOf<double> const& base);

    // Finds the record of h.handle in h's cell or a cell above it, deepest
    // first, and locks its node for reading (examine) or writing (modify);
    // "Cannot reconnect to the shape by handle" when no node holds it.
    void examine(qvHandleRecord const& h, RecordLock& lock) override;
    void modify(qvHandleRecord const& h, RecordLock& lock) override;
    // As modify, but false, the lock left empty, when no node holds the
    // record: for an undo that must tell a record never written from a
    // page that cannot be read, which still raises.
    bool modify_if_stored(qvHandleRecord const& h, RecordLock& lock);
    // Reserves `size` bytes for a record with shape's box and returns a
    // write lock on them; the caller copies the record in. "Limitation:
    // shape size exceeds maximum allowed for the quadtree" above 15,720;
    // "The shape is outside limits of the scene" for a box with a NaN, or
    // one that neither overlaps the base's interior nor lies in the base.
    void create(qvShapeBase* shape, int size, RecordLock& lock) override;
    // As create, for a record the scene already holds (written back or
    // read from its own stream): a box with a NaN or outside the base is
    // kept in the root cell instead of refused, so nothing a scene once
    // held is lost.
    void create_anywhere(qvShapeBase* shape, int size, RecordLock& lock);
    // Deferred stores, for a load larger than the page cache:
    // create_deferred takes the node and slot that create_anywhere would
    // (the same sequence gives the same nodes, slots and splits) and keeps
    // the record's bytes; write_deferred writes what waits node by node, in
    // page order, each node's records and slot entries in two writes of
    // bytes through the device (a page not cached is written in place,
    // not read) instead of a lock per record. A split first writes what waits in the
    // cell it splits. While records wait nothing else may use the
    // quadtree; discard_deferred gives their slots back unwritten.
    // create_deferred returns the record's cell, what store_handle writes.
    // A batch should hold about deferred_batch_bytes of records: room for
    // that is taken once, at the first deferred store, and kept until
    // discard_deferred or end_deferred, which also writes what waits.
    static constexpr std::size_t deferred_batch_bytes = std::size_t{32} << 20;
    qvQuadTreeHandleData create_deferred(qvShapeBase const& record);
    // For a record stored a little later: its cell, which create_deferred
    // then takes instead of working it out again (it must be the cell
    // prepare_deferred returned for that record), and the node that will
    // most likely take it fetched into the processor's cache meanwhile.
    qvQuadTreeHandleData prepare_deferred(qvShapeBase const& record);
    qvQuadTreeHandleData create_deferred(qvShapeBase const& record, qvQuadTreeHandleData const& cell);
    void write_deferred();
    void end_deferred();
    void discard_deferred() noexcept;
    // Both unlock the lock's node (priority 1.0) and empty the lock.
    void release(RecordLock& lock) override;
    void update(RecordLock& lock) override;
    // Deletes the locked record, unlocks its node, calls rebalance.
    void remove(RecordLock& lock) override;

    void store_handle(qvShapeBase* shape, qvHandleRecord& h) override;
    void mask(qvHandleRecord const& h) override;
    // Takes one occurrence away, as the examine or modify that finds the
    // record does: for a holder that lets its copy go without looking the
    // record up (it is unchanged). Nothing for a handle not masked.
    void unmask(std::int32_t shape_handle) noexcept;
    qvMathRectOf<double> bbox() const override;
    // Records created minus removed; a loaded quadtree starts from the sum
    // of its nodes' fill_no.
    int size() const override { return size_; }

    virtual void split(qvQuadTreeNode* node, int size) = 0;
    virtual void rebalance(qvQuadTreeNode* node) = 0;
    virtual qvMathRectOf<float> handle_to_rect(qvQuadTreeHandleData const& h) = 0;
    virtual qvQuadTreeHandleData rect_to_handle(qvMathRectOf<float> const& r) = 0;

    // The records whose boxes overlap area strictly, unmasked, in query
    // order; empty without a directory.
    qvIndirectIterator<qvShapeBase> query(qvMathRectOf<double> const& area, bool reverse) override;
    // Every unmasked record in query order, whatever its box (also a NaN
    // box or a degenerate one on the base's border, which no query meets).
    qvIndirectIterator<qvShapeBase> every_record();

    // "Cannot load already initialized quadtree" / "Cannot save
    // uninitialized quadtree".
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

    qvPageDevice* device() const noexcept { return device_; }
    // Null until a base rectangle is set or loaded.
    qvQuadTreeDirectory* directory() const noexcept { return directory_.get(); }
    // A query yields record `index` of `node`: a lookup of its handle that
    // follows (a hit connected at once) tries there first. Only a hint:
    // the lookup takes it when `node` is on the handle's path and still
    // holds the handle at `index`, and walks the path otherwise.
    void yielded(qvQuadTreeNode* node, int index, std::int32_t shape_handle) noexcept {
        yielded_ = Yielded{node, index, shape_handle};
    }
    // Whether a query skips the record of this shape handle.
    bool masked(std::int32_t shape_handle) const noexcept {
        return !masks_.empty() && masks_.find(shape_handle) != masks_.end();
    }

protected:
    explicit qvQuadTree(qvPageDevice* device) noexcept;
    qvQuadTree(qvPageDevice* device, qvMathRectOf<double> const& base);

private:
    struct Found {
        qvQuadTreeNode* node;
        int index;
    };
    // The record of h, "Cannot reconnect to the shape by handle" when no
    // node holds it; find answers that with a null node instead.
    Found connect(qvHandleRecord const& h);
    Found find(qvHandleRecord const& h);
    void lock_node(Found const& found, RecordLock& lock, bool write);
    // The record the last query yielded, when it is h's on h's path.
    Found yielded_on_path(qvHandleRecord const& h, std::array<qvQuadTreeDirectory::CellNodes, 16> const& cells,
                          int count);
    Found find_in_cell(qvQuadTreeDirectory::CellNodes const& cell, std::int32_t handle, bool use_index);
    void lock_found(qvHandleRecord const& h, RecordLock& lock, bool write);
    void place(qvShapeBase* shape, int size, RecordLock& lock);
    // The node that takes a record of `size` bytes whose box lies in `cell`
    // (rect_to_handle of the box), after the splits that make room.
    qvQuadTreeNode* find_room(int size, qvQuadTreeHandleData const& cell);
    // Writes what waits for `node` (deferred stores).
    void write_waiting(qvQuadTreeNode* node);
    // Writes `count` records waiting for `node`, given by their places in
    // waiting_ in slot order, and marks them written.
    void fill_node(qvQuadTreeNode* node, std::uint32_t const* list, std::size_t count);

    // A deferred record: its node (null once written) and slot, its block
    // in the page, its size, the record before it waiting for the same
    // node (-1 none) and where its bytes wait in waiting_bytes_.
    struct Waiting {
        qvQuadTreeNode* node;
        std::int32_t slot;
        std::int32_t target;
        std::int32_t size;
        std::int32_t previous;
        std::size_t at;
    };

    std::unique_ptr<qvQuadTreeDirectory> directory_;
    qvPageDevice* device_;
    int size_ = 0;
    std::unordered_map<std::int32_t, int> masks_;   // shape handle -> occurrences
    struct Yielded {
        qvQuadTreeNode* node = nullptr;   // compared with live nodes before any use
        int index = -1;
        std::int32_t shape_handle = 0;
    };
    Yielded yielded_;
    std::vector<Waiting> waiting_;   // in the order they were made
    std::vector<qvQuadTreeNode*> waiting_nodes_;   // each node once
    std::vector<unsigned char> waiting_bytes_;
    std::vector<unsigned char> run_heap_;   // one node's waiting blocks, laid out as in its page
};
