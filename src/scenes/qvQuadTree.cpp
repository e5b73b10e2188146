// qvQuadTree: records by handle and by area over the directory of nodes.
//
// Every search for a record walks the directory's path to the record's
// cell, deepest cell first, through every node of every cell on it: a
// split moves only the records of one node of a cell, so another node of
// that cell can keep a record whose own cell got nodes since; stopping at
// the first cell with nodes would lose it. In a cell of many nodes the
// handle index names the node to read first; the nodes read since their
// last new record are known to the index, so only the others are read when
// it names none, and a lookup that fails through the index reads the whole
// path once more before it gives up. Before any of that, a lookup tries the
// record the last query yielded (a hit is connected while the query stands
// on it), checked on its page like every other hint.

#include <orvane/scenes/qvQuadTree.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvPageDevice.hpp>

#include "core/qvStreamFields.hpp"
#include "scenes/qvQuadTreeQuery.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void raise_quadtree_error(char const* message) {
    qvRaise(qvErrorFrom<qvQuadTree>(message));
}

[[noreturn]] void raise_quadtree_corrupt() { raise_quadtree_error("Invalid or corrupt Orvane pagefile"); }

constexpr float touched = 1.0f;   // unlock priority of nodes that create, remove and find touch

// Cells with this many nodes keep a handle index.
constexpr std::size_t indexed_from = 8;

bool usable_base(qvMathRectOf<double> const& b) noexcept {
    return std::isfinite(b.x1) && std::isfinite(b.y1) && std::isfinite(b.x2) && std::isfinite(b.y2) &&
           b.x1 < b.x2 && b.y1 < b.y2;
}

// A box is stored when it overlaps the base's interior or lies in the base
// (edges included, so a point on the border counts); never with a NaN.
bool within_limits(qvMathRectOf<double> const& b, qvMathRectOf<double> const& base) noexcept {
    if (std::isnan(b.x1) || std::isnan(b.y1) || std::isnan(b.x2) || std::isnan(b.y2)) return false;
    const bool overlaps = !(base.x2 <= b.x1 || b.x2 <= base.x1 || base.y2 <= b.y1 || b.y2 <= base.y1);
    const bool contained = b.x1 >= base.x1 && b.y1 >= base.y1 && b.x2 <= base.x2 && b.y2 <= base.y2;
    return overlaps || contained;
}

// A node that can take no record at all: the slot limit, or less room than
// a record header.
bool full(qvQuadTreeNode const& node) noexcept {
    return node.fill_no >= qvQuadTreeNode::most_records ||
           node.fill_mem + static_cast<int>(sizeof(qvShapeBase)) > qvUSEFUL_PAGE_SIZE;
}

bool fits_entry(qvQuadTreeNodeData const& e, long page_count) noexcept {
    const qvQuadTreeHandleData cell{e.x, e.y, e.z};
    return qvIsQuadTreeCell(cell) && e.page >= 2 && e.page < page_count && e.fill_no >= 0 &&
           e.fill_no <= qvQuadTreeNode::most_records && e.fill_mem >= 0 && e.fill_mem <= qvUSEFUL_PAGE_SIZE &&
           e.fill_mem % 8 == 0;
}

}  // namespace

// --- construction ------------------------------------------------------------

qvQuadTree::qvQuadTree(qvPageDevice* device) noexcept : device_(device) {}

qvQuadTree::qvQuadTree(qvPageDevice* device, qvMathRectOf<double> const& base) : device_(device) {
    set_base_rect(base);
}

qvQuadTree::~qvQuadTree() = default;

void qvQuadTree::set_base_rect(qvMathRectOf<double> const& base) {
    if (directory_) raise_quadtree_error("Cannot re-initialize the quadtree");
    if (!usable_base(base)) raise_quadtree_error("Illegal bounds specified");
    auto directory = std::make_unique<qvQuadTreeDirectory>(base);
    auto root = std::make_unique<qvQuadTreeNode>(device_, 0, 0, 0);
    root->bbox = qvMathRectOf<float>(qvRectOf<float>(qvRectOf<double>(base)));
    directory->add(root.release());
    directory_ = std::move(directory);
}

qvMathRectOf<double> qvQuadTree::bbox() const {
    return directory_ ? directory_->base() : qvMathRectOf<double>::make_empty();
}

// --- records by handle -------------------------------------------------------

namespace {

// The index of the first record of `handle` in node, or −1; every handle
// seen goes into `index` when one is given, and the node is then indexed.
int scan_node(qvQuadTreeNode& node, std::int32_t handle, qvQuadTreeDirectory::CellNodes::HandleIndex* index) {
    node.lock(false);
    int found = -1;
    try {
        if (index == nullptr) {
            found = node.index_of(handle);
        } else {
            for (int i = 0; i < node.fill_no; ++i) {
                const std::int32_t seen = node[i].shape_handle;
                index->insert_or_assign(seen, &node);
                if (seen == handle && found < 0) found = i;
            }
        }
    } catch (...) {
        node.unlock(touched);
        throw;
    }
    node.unlock(touched);
    if (index != nullptr) node.set_indexed(true);
    return found;
}

}  // namespace

// A cell's nodes in order, or, through the cell's handle index: the node
// the index names, then the nodes not indexed yet (each read once, its
// handles taken into the index, until the handle turns up).
qvQuadTree::Found qvQuadTree::find_in_cell(qvQuadTreeDirectory::CellNodes const& cell, std::int32_t handle,
                                           bool use_index) {
    if (!use_index) {
        for (std::size_t i = 0; i < cell.size(); ++i)
            if (const int at = scan_node(*cell[i], handle, nullptr); at >= 0) return {cell[i], at};
        return {nullptr, -1};
    }
    auto& index = cell.make_handles();
    if (const auto hint = index.find(handle); hint != index.end()) {
        if (const int at = scan_node(*hint->second, handle, nullptr); at >= 0) return {hint->second, at};
        index.erase(hint);   // the record moved or went
    }
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i]->indexed()) continue;
        if (const int at = scan_node(*cell[i], handle, &index); at >= 0) return {cell[i], at};
    }
    return {nullptr, -1};
}

// The hint's node is looked for among the path's nodes before it is read,
// so a node freed since is never touched; a record's handle is unique in
// a sound quadtree, so the hint finds the record the walk would find.
qvQuadTree::Found qvQuadTree::yielded_on_path(qvHandleRecord const& h,
                                              std::array<qvQuadTreeDirectory::CellNodes, 16> const& cells,
                                              int count) {
    if (yielded_.node == nullptr || yielded_.shape_handle != h.handle) return {nullptr, -1};
    qvQuadTreeNode* const node = yielded_.node;
    const int index = yielded_.index;
    yielded_ = Yielded{};
    for (int c = 0; c < count; ++c) {
        qvQuadTreeDirectory::CellNodes const& cell = cells[static_cast<std::size_t>(c)];
        for (std::size_t i = 0; i < cell.size(); ++i) {
            if (cell[i] != node) continue;
            if (index < 0 || index >= node->fill_no) return {nullptr, -1};
            node->lock(false);
            bool holds = false;
            try {
                holds = (*node)[index].shape_handle == h.handle;
            } catch (...) {
                node->unlock(touched);
                throw;
            }
            node->unlock(touched);
            if (!holds) return {nullptr, -1};
            if (auto* handles = cell.handles(); handles != nullptr) handles->insert_or_assign(h.handle, node);
            return {node, index};
        }
    }
    return {nullptr, -1};
}

qvQuadTree::Found qvQuadTree::connect(qvHandleRecord const& h) {
    const Found found = find(h);
    if (found.node == nullptr) raise_quadtree_error("Cannot reconnect to the shape by handle");
    return found;
}

// Not found is an answer here, never an error: only the device and a
// damaged page raise. The caller takes the mask once it holds the record.
qvQuadTree::Found qvQuadTree::find(qvHandleRecord const& h) {
    if (!directory_ || !qvIsQuadTreeCell(h.quadtree)) return Found{nullptr, -1};
    std::array<qvQuadTreeDirectory::CellNodes, 16> cells;
    const int n = directory_->path(h.quadtree, cells);
    if (const Found hinted = yielded_on_path(h, cells, n); hinted.node != nullptr) return hinted;
    bool indexed = false;
    for (int pass = 0; pass < 2; ++pass) {
        for (int c = 0; c < n; ++c) {
            qvQuadTreeDirectory::CellNodes const& cell = cells[static_cast<std::size_t>(c)];
            const bool use_index = pass == 0 && cell.size() >= indexed_from;
            indexed = indexed || use_index;
            const Found found = find_in_cell(cell, h.handle, use_index);
            if (found.node == nullptr) continue;
            if (auto* index = cell.handles(); index != nullptr) index->insert_or_assign(h.handle, found.node);
            return found;
        }
        // A record whose handle changed in place escapes the index: read
        // every node once more before giving up.
        if (!indexed) break;
    }
    return Found{nullptr, -1};
}

// The mask goes only with a lock taken: a lookup refused by the device
// leaves the stored copy hidden behind the scene's connected one.
void qvQuadTree::lock_found(qvHandleRecord const& h, RecordLock& lock, bool write) {
    lock_node(connect(h), lock, write);
    unmask(h.handle);
}

void qvQuadTree::lock_node(Found const& found, RecordLock& lock, bool write) {
    found.node->lock(write);
    try {
        lock.record = &(*found.node)[found.index];
    } catch (...) {
        found.node->unlock(touched);
        throw;
    }
    lock.node = found.node;
}

void qvQuadTree::examine(qvHandleRecord const& h, RecordLock& lock) { lock_found(h, lock, false); }

void qvQuadTree::modify(qvHandleRecord const& h, RecordLock& lock) { lock_found(h, lock, true); }

bool qvQuadTree::modify_if_stored(qvHandleRecord const& h, RecordLock& lock) {
    const Found found = find(h);
    if (found.node == nullptr) return false;
    lock_node(found, lock, true);
    unmask(h.handle);
    return true;
}

void qvQuadTree::release(RecordLock& lock) {
    if (lock.node != nullptr) lock.node->unlock(touched);
    lock = RecordLock{};
}

void qvQuadTree::update(RecordLock& lock) { release(lock); }

// The index is found while the lock still holds the page where the record
// address points; remove then relocks for writing on its own.
void qvQuadTree::remove(RecordLock& lock) {
    qvQuadTreeNode* const node = lock.node;
    QV_ASSERT_TEXT(node != nullptr && node->locked(), "p");
    int index = 0;
    while (index < node->fill_no && &(*node)[index] != lock.record) ++index;
    QV_ASSERT_TEXT(index < node->fill_no, "index < p->fill_no");
    const std::int32_t handle = lock.record->shape_handle;
    try {
        node->remove(index);
    } catch (...) {
        node->unlock(touched);
        lock = RecordLock{};
        throw;
    }
    node->unlock(touched);
    lock = RecordLock{};
    --size_;
    directory_->reopen(*node);
    directory_->forget(*node, handle);
    rebalance(node);
}

// --- new records -------------------------------------------------------------

void qvQuadTree::create(qvShapeBase* shape, int size, RecordLock& lock) {
    if (size > qvUSEFUL_PAGE_SIZE) raise_quadtree_error("Limitation: shape size exceeds maximum allowed for the quadtree");
    QV_ASSERT(shape != nullptr);
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    if (!within_limits(shape->bbox(), directory_->base())) raise_quadtree_error("The shape is outside limits of the scene");
    place(shape, size, lock);
}

void qvQuadTree::create_anywhere(qvShapeBase* shape, int size, RecordLock& lock) {
    if (size > qvUSEFUL_PAGE_SIZE) raise_quadtree_error("Limitation: shape size exceeds maximum allowed for the quadtree");
    QV_ASSERT(shape != nullptr);
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    place(shape, size, lock);
}

void qvQuadTree::place(qvShapeBase* shape, int size, RecordLock& lock) {
    qvQuadTreeNode* const node = find_room(size, rect_to_handle(shape->box));
    const int index = node->add(size);
    lock.node = node;
    lock.record = &(*node)[index];
    ++size_;
}

// A split does not change the record's cell, only who serves it.
qvQuadTreeNode* qvQuadTree::find_room(int size, qvQuadTreeHandleData const& cell) {
    QV_ASSERT(qvIsQuadTreeCell(cell));
    // Each split either moves records a level down or adds a node with
    // room, so a handful of rounds always ends; more means a broken split.
    for (int round = 0; round < 64; ++round) {
        // Most often the open node has room: the cell stays unread.
        if (qvQuadTreeNode* const node = directory_->open_node(cell);
            node != nullptr && !full(*node) && node->fill_mem + size <= qvUSEFUL_PAGE_SIZE)
            return node;
        const qvQuadTreeDirectory::CellNodes nodes = directory_->serving(cell);
        QV_ASSERT_TEXT(nodes.size() > 0, "(bool) i");
        // The first node with room, past the nodes known to be full.
        std::size_t open = nodes.open();
        for (std::size_t i = open; i < nodes.size(); ++i) {
            qvQuadTreeNode* const node = nodes[i];
            if (full(*node)) {
                if (i == open) directory_->set_open(nodes, ++open);
                continue;
            }
            if (node->fill_mem + size > qvUSEFUL_PAGE_SIZE) continue;
            return node;
        }
        // A split reads the records of the cell's nodes.
        if (!waiting_.empty())
            for (std::size_t i = 0; i < nodes.size(); ++i) write_waiting(nodes[i]);
        nodes[0]->unlock(touched);
        split(nodes[0], size);
    }
    QV_ASSERT_TEXT(false, "split made no room");
    return nullptr;
}

// --- deferred stores ---------------------------------------------------------
//
// A record waits as its bytes and the slot its node reserved; the node's
// fill already counts it, so the next record is placed exactly as if it had
// been written. Slots are reserved at the end of a node only and a split
// writes its cell first, so what waits for a node is always its last slots,
// in the order they were made. Writing sorts the waiting records by node
// (nodes in page order) with one counting pass, then lays out each node's
// records as they lie in its page and writes them with their slot entries
// in two writes of bytes. A node page the cache does not hold is not read
// for that: the cache writes the bytes in place. Once the nodes outgrow
// the cache, nearly every batch meets nearly every node, and reading each
// page in, to write it back whole when it is pushed out, made the page
// traffic of a load grow with the square of its size.

qvQuadTreeHandleData qvQuadTree::create_deferred(qvShapeBase const& record) {
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    return create_deferred(record, rect_to_handle(record.box));
}

// The node's header is what placing the record reads first; the record
// before it is placed meanwhile.
qvQuadTreeHandleData qvQuadTree::prepare_deferred(qvShapeBase const& record) {
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    const qvQuadTreeHandleData cell = rect_to_handle(record.box);
    if (qvQuadTreeNode const* const node = directory_->open_node(cell)) __builtin_prefetch(node);
    return cell;
}

qvQuadTreeHandleData qvQuadTree::create_deferred(qvShapeBase const& record, qvQuadTreeHandleData const& cell) {
    const int size = record.size;
    if (size > qvUSEFUL_PAGE_SIZE) raise_quadtree_error("Limitation: shape size exceeds maximum allowed for the quadtree");
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    qvQuadTreeNode* const node = find_room(size, cell);
    // Room first, so that nothing can fail once the slot is taken: for a
    // whole batch at once (never grown and copied while it is filled),
    // more only for a batch larger than asked.
    if (waiting_bytes_.capacity() == 0) {
        waiting_bytes_.reserve(deferred_batch_bytes + qvUSEFUL_PAGE_SIZE);
        waiting_.reserve(deferred_batch_bytes / sizeof(qvShapeBase));
        run_heap_.resize(qvUSEFUL_PAGE_SIZE);
    }
    if (waiting_.size() == waiting_.capacity()) waiting_.reserve(waiting_.size() * 2 + 1024);
    if (node->waiting == 0 && waiting_nodes_.size() == waiting_nodes_.capacity())
        waiting_nodes_.reserve(waiting_nodes_.size() * 2 + 256);
    const std::size_t at = waiting_bytes_.size();
    auto const* bytes = reinterpret_cast<unsigned char const*>(&record);
    waiting_bytes_.insert(waiting_bytes_.end(), bytes, bytes + size);
    long target = 0;
    int slot = 0;
    try {
        slot = node->reserve(size, target);
    } catch (...) {
        waiting_bytes_.resize(at);
        throw;
    }
    const auto index = static_cast<std::int32_t>(waiting_.size());
    // The chain runs backwards, so that a new record writes only its own
    // entry: a link in the entry before it would be a write to a place of
    // the list far behind, a cache miss for nearly every record.
    waiting_.push_back(Waiting{node, slot, static_cast<std::int32_t>(target), size,
                               node->waiting == 0 ? -1 : node->waiting_last, at});
    if (node->waiting++ == 0) waiting_nodes_.push_back(node);
    node->waiting_last = index;
    ++size_;
    return cell;
}

// Runs of slots that follow one another, with their blocks, go in one
// write of the slot entries and one of the heap bytes each. What waits for
// a node always forms one run (its last slots, made in order); a record
// that would not continue the run starts another, so none is written at a
// wrong place. A written run's records are marked written at once, so that
// a failure further on gives back only what still waits.
void qvQuadTree::fill_node(qvQuadTreeNode* node, std::uint32_t const* list, std::size_t count) {
    std::array<std::int32_t, qvQuadTreeNode::slot_count> targets;
    constexpr std::size_t ahead = 8;
    std::size_t k = 0;
    while (k < count) {
        Waiting const& first = waiting_[list[k]];
        long end = first.target;
        std::size_t n = 0;
        for (; k + n < count; ++n) {
            Waiting const& w = waiting_[list[k + n]];
            if (w.slot != first.slot + static_cast<std::int32_t>(n) || w.target != end) break;
            if (k + n + ahead < count) __builtin_prefetch(&waiting_bytes_[waiting_[list[k + n + ahead]].at]);
            unsigned char* const block = run_heap_.data() + (w.target - first.target);
            const auto padded = static_cast<std::size_t>(qvQuadTreeNode::padded_size(w.size));
            std::memcpy(block, &waiting_bytes_[w.at], static_cast<std::size_t>(w.size));
            std::memset(block + w.size, 0, padded - static_cast<std::size_t>(w.size));
            targets[n] = w.target;
            end += static_cast<long>(padded);
        }
        node->fill_reserved(first.slot, static_cast<int>(n), targets.data(), run_heap_.data(), end, touched);
        for (std::size_t i = 0; i < n; ++i) waiting_[list[k + i]].node = nullptr;
        node->waiting -= static_cast<std::int32_t>(n);
        k += n;
    }
}

// Before a split, along the node's chain, in the node's page: the split
// reads it next.
void qvQuadTree::write_waiting(qvQuadTreeNode* node) {
    if (node->waiting == 0) return;
    std::array<std::uint32_t, qvQuadTreeNode::slot_count> list;
    std::size_t count = 0;
    for (std::int32_t i = node->waiting_last; i >= 0; i = waiting_[static_cast<std::size_t>(i)].previous)
        if (waiting_[static_cast<std::size_t>(i)].node != nullptr) list[count++] = static_cast<std::uint32_t>(i);
    std::reverse(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(count));
    try {
        node->lock(true);
        fill_node(node, list.data(), count);
    } catch (...) {
        node->unlock(touched);
        throw;
    }
    node->unlock(touched);
    node->waiting = 0;
    node->waiting_last = -1;
}

void qvQuadTree::write_deferred() {
    std::vector<qvQuadTreeNode*>& nodes = waiting_nodes_;
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(), [](qvQuadTreeNode const* n) { return n->waiting == 0; }),
                nodes.end());
    // A node written by a split and given records again is listed twice.
    std::sort(nodes.begin(), nodes.end(),
              [](qvQuadTreeNode const* a, qvQuadTreeNode const* b) { return a->page_number() < b->page_number(); });
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    // Where each node's records start in the sorted order.
    std::vector<std::size_t> start(nodes.size() + 1, 0);
    for (std::size_t r = 0; r < nodes.size(); ++r) {
        nodes[r]->waiting_rank = static_cast<std::int32_t>(r);
        start[r + 1] = start[r] + static_cast<std::size_t>(nodes[r]->waiting);
    }
    std::vector<std::uint32_t> order(start.back());
    {
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < waiting_.size(); ++i)
            if (qvQuadTreeNode* const node = waiting_[i].node)
                order[next[static_cast<std::size_t>(node->waiting_rank)]++] = static_cast<std::uint32_t>(i);
    }
    for (std::size_t r = 0; r < nodes.size(); ++r) {
        qvQuadTreeNode* const node = nodes[r];
        try {
            fill_node(node, order.data() + start[r], start[r + 1] - start[r]);
        } catch (...) {
            node->unlock(touched);
            // What was written stays; what was not waits still.
            for (std::size_t q = 0; q < r; ++q) {
                nodes[q]->waiting = 0;
                nodes[q]->waiting_last = -1;
            }
            throw;
        }
        node->unlock(touched);
    }
    for (qvQuadTreeNode* node : nodes) {
        node->waiting = 0;
        node->waiting_last = -1;
    }
    waiting_.clear();
    nodes.clear();
    waiting_bytes_.clear();
}

void qvQuadTree::end_deferred() {
    write_deferred();
    std::vector<Waiting>().swap(waiting_);
    std::vector<qvQuadTreeNode*>().swap(waiting_nodes_);
    std::vector<unsigned char>().swap(waiting_bytes_);
    std::vector<unsigned char>().swap(run_heap_);
}

void qvQuadTree::discard_deferred() noexcept {
    // Each node's first waiting record is the first of its slots given back.
    for (Waiting const& w : waiting_) {
        if (w.node == nullptr || w.node->waiting == 0) continue;
        size_ -= w.node->waiting;
        w.node->waiting = 0;
        w.node->waiting_last = -1;
        w.node->unreserve(w.slot, w.target);
        try {
            directory_->reopen(*w.node);
        } catch (...) {
            // Only a hint: the node is found again by its own room.
        }
    }
    std::vector<Waiting>().swap(waiting_);
    std::vector<qvQuadTreeNode*>().swap(waiting_nodes_);
    std::vector<unsigned char>().swap(waiting_bytes_);
    std::vector<unsigned char>().swap(run_heap_);
}

void qvQuadTree::store_handle(qvShapeBase* shape, qvHandleRecord& h) {
    QV_ASSERT(shape != nullptr);
    QV_ASSERT_TEXT(directory_ != nullptr, "directory");
    h.quadtree = rect_to_handle(shape->box);
}

// --- masks -------------------------------------------------------------------

void qvQuadTree::mask(qvHandleRecord const& h) {
    QV_ASSERT_TEXT(directory_ != nullptr && qvIsQuadTreeCell(h.quadtree), "p");
    QV_ASSERT_TEXT(directory_->serving(h.quadtree), "p");   // a node on the handle's path
    ++masks_[h.handle];
}

void qvQuadTree::unmask(std::int32_t shape_handle) noexcept {
    const auto found = masks_.find(shape_handle);
    if (found == masks_.end()) return;
    if (--found->second == 0) masks_.erase(found);
}

// --- queries -----------------------------------------------------------------

qvIndirectIterator<qvShapeBase> qvQuadTree::query(qvMathRectOf<double> const& area, bool) {
    if (!directory_) return qvIndirectIterator<qvShapeBase>();
    return qvIndirectIterator<qvShapeBase>(new qvQuadTreeQuery(*this, area));
}

qvIndirectIterator<qvShapeBase> qvQuadTree::every_record() {
    if (!directory_) return qvIndirectIterator<qvShapeBase>();
    return qvIndirectIterator<qvShapeBase>(new qvQuadTreeQuery(*this));
}

// --- stream form -------------------------------------------------------------

void qvQuadTree::save(qvOutputStream& os) const {
    if (!directory_) raise_quadtree_error("Cannot save uninitialized quadtree");
    qvMathRectOf<double> const& base = directory_->base();
    for (double v : {base.x1, base.y1, base.x2, base.y2}) qvWriteValue(os, v);
    int left = directory_->count();
    qvWriteInt32(os, left);
    for (qvQuadTreeDirectory::EnumerateIterator it(*directory_); it.get() != nullptr; it.next()) {
        QV_ASSERT_TEXT(--left >= 0, "dsize >= 0");
        qvWriteValue(os, it.get()->data());
    }
    QV_ASSERT_TEXT(left == 0, "dsize == 0");
}

// Reads and checks every entry before any node exists; the directory is
// then built in place and dropped again if building fails.
void qvQuadTree::load(qvInputStream& is) {
    if (directory_) raise_quadtree_error("Cannot load already initialized quadtree");
    qvMathRectOf<double> base;
    base.x1 = qvReadValue<double>(is);
    base.y1 = qvReadValue<double>(is);
    base.x2 = qvReadValue<double>(is);
    base.y2 = qvReadValue<double>(is);
    if (!usable_base(base)) raise_quadtree_corrupt();
    const long count = qvReadInt32(is);
    const long page_count = device_->page_count();
    if (count < 0 || count > page_count) raise_quadtree_corrupt();
    std::vector<qvQuadTreeNodeData> entries;
    std::vector<std::int32_t> pages;
    bool has_root = false;
    for (long k = 0; k < count; ++k) {
        const auto entry = qvReadValue<qvQuadTreeNodeData>(is);
        if (!fits_entry(entry, page_count)) raise_quadtree_corrupt();
        has_root = has_root || entry.z == 0;
        entries.push_back(entry);
        pages.push_back(entry.page);
    }
    // Every search starts at the root cell, so a tree always has a root node.
    if (!has_root) raise_quadtree_corrupt();
    std::sort(pages.begin(), pages.end());
    if (std::adjacent_find(pages.begin(), pages.end()) != pages.end()) raise_quadtree_corrupt();

    directory_ = std::make_unique<qvQuadTreeDirectory>(base);
    int records = 0;
    try {
        for (qvQuadTreeNodeData const& entry : entries) {
            auto node = std::make_unique<qvQuadTreeNode>(device_);
            static_cast<qvQuadTreeNodeData&>(*node) = entry;
            node->bbox = handle_to_rect({entry.x, entry.y, entry.z});
            directory_->add(node.release());
            records += entry.fill_no;
        }
    } catch (...) {
        directory_.reset();
        throw;
    }
    masks_.clear();
    size_ = records;
}
