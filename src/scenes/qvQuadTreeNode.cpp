// qvQuadTreeNode: the slot table and heap of one node page.
//
// Every slot is read through slot_target, which checks in 64 bits that the
// target lies 8-aligned inside the used heap; a record's padded size is
// the gap to the next target. So a page whose bytes changed behind the
// node (a page named twice, a damaged file) raises "Invalid or corrupt
// Orvane pagefile" instead of leading a read or a move outside the page.

#include <orvane/scenes/qvQuadTreeNode.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/scenes/qvPageDevice.hpp>

#include "scenes/qvPageLayout.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

#include <array>
#include <cstring>

class qvQuadTree;

namespace {

[[noreturn]] void raise_node_corrupt() {
    qvRaise(qvErrorFrom<qvQuadTree>("Invalid or corrupt Orvane pagefile"));
}

constexpr long heap_start = qvQuadTreeNode::heap_offset;
constexpr long heap_end = heap_start + qvUSEFUL_PAGE_SIZE;   // 16,384
constexpr long least_record = static_cast<long>(sizeof(qvShapeBase));
static_assert(heap_end == static_cast<long>(qvPageBytes));

constexpr long slot_position(int i) noexcept { return 4 + 2 * static_cast<long>(i); }

constexpr long padded(long size) noexcept { return qvQuadTreeNode::padded_size(size); }

std::int16_t slot_value(unsigned char const* page, int i) noexcept {
    std::int16_t value;
    std::memcpy(&value, page + slot_position(i), sizeof value);
    return value;
}

// A slot's table entry: its block's offset from the entry itself.
std::int16_t slot_entry(int i, long target) noexcept { return static_cast<std::int16_t>(target - slot_position(i)); }

void set_slot(unsigned char* page, int i, long target) noexcept {
    const std::int16_t value = slot_entry(i, target);
    std::memcpy(page + slot_position(i), &value, sizeof value);
}

std::int32_t size_field(unsigned char const* page, long offset) noexcept {
    std::int32_t size;
    std::memcpy(&size, page + offset, sizeof size);
    return size;
}

void set_size_field(unsigned char* page, long offset, std::int32_t size) noexcept {
    std::memcpy(page + offset, &size, sizeof size);
}

}  // namespace

// --- construction ------------------------------------------------------------

qvQuadTreeNode::qvQuadTreeNode(qvPageDevice* device) noexcept : device_(device), checked_(false) {}

qvQuadTreeNode::qvQuadTreeNode(qvPageDevice* device, int x_, int y_, int z_) : device_(device), checked_(true) {
    x = static_cast<std::int16_t>(x_);
    y = static_cast<std::int16_t>(y_);
    z = static_cast<std::int16_t>(z_);
    const long number = device->allocate();
    try {
        page = qvCheckedInt32(number);
        // Written whole, so never read: a page freed by another structure
        // keeps its bytes, and a page the file just grew by holds nothing.
        alignas(qvPageBufferAlignment) unsigned char fresh[qvPageBytes] = {};
        qvSetPageWord(fresh, 0, static_cast<std::uint32_t>(number));
        device->write_bytes(number, 0, fresh, qvPageBytes, 0.0f);
    } catch (...) {
        try {
            device->free(number);
        } catch (qvError const&) {
            // The page stays marked used: lost space, never a page handed out twice.
        }
        throw;
    }
}

qvQuadTreeNode::~qvQuadTreeNode() {
    if (locked()) qvError::abort(qvAssertionError("!locked()", __FILE__, __LINE__));
}

// --- locking -----------------------------------------------------------------

void qvQuadTreeNode::lock(bool write) {
    if (locked() && (write_locked_ || !write)) return;
    if (locked()) unlock(0.0f);
    auto* bytes = static_cast<unsigned char*>(device_->lock(page, write));
    page_address_ = bytes;
    write_locked_ = write;
    if (write)
        wrote();
    if (!checked_) {
        try {
            check(bytes);
        } catch (...) {
            unlock(0.0f);
            throw;
        }
    }
}

void qvQuadTreeNode::unlock(float priority) {
    if (!locked()) return;
    if (write_locked_)
        wrote();
    page_address_ = nullptr;
    write_locked_ = false;
    device_->unlock(page, priority);
}

// A loaded node's page must hold exactly what its entry says: its own
// number first, then fill_no records packed from the heap start, each at
// least a record header long, ending at fill_mem. Each record passes the
// one record check (as a record from a stream must) and names a shape
// handle: whatever reads, draws or connects a record later relies on both.
void qvQuadTreeNode::check(void const* page_bytes) {
    auto const* bytes = static_cast<unsigned char const*>(page_bytes);
    if (qvPageWord(bytes, 0) != static_cast<std::uint32_t>(page)) raise_node_corrupt();
    if (fill_no < 0 || fill_no > slot_count || fill_mem < 0 || fill_mem > qvUSEFUL_PAGE_SIZE) raise_node_corrupt();
    long expected = heap_start;
    for (int i = 0; i < fill_no; ++i) {
        if (slot_position(i) + slot_value(bytes, i) != expected) raise_node_corrupt();
        if (expected + least_record > heap_end) raise_node_corrupt();
        const long size = size_field(bytes, expected);
        if (size < least_record) raise_node_corrupt();
        const long start = expected;
        expected += padded(size);
        if (expected > heap_end) raise_node_corrupt();
        auto const& record = *reinterpret_cast<qvShapeBase const*>(bytes + start);
        if (record.shape_handle <= 0 || !qvShapeRecordValid(record)) raise_node_corrupt();
    }
    if (expected != heap_start + fill_mem) raise_node_corrupt();
    checked_ = true;
}

// --- slots -------------------------------------------------------------------

unsigned char* qvQuadTreeNode::locked_page() const {
    QV_ASSERT_TEXT(page_address_ != nullptr, "page");
    return page_address_;
}

long qvQuadTreeNode::record_offset(unsigned char const* page_bytes, int i) const {
    const long target = slot_position(i) + slot_value(page_bytes, i);
    if (target < heap_start || (target - heap_start) % 8 != 0 || target + 8 > heap_start + fill_mem)
        raise_node_corrupt();
    return target;
}

long qvQuadTreeNode::end_of(int i) const {
    const long end = i + 1 < fill_no ? record_offset(i + 1) : heap_start + fill_mem;
    if (end <= record_offset(i)) raise_node_corrupt();
    return end;
}

qvShapeBase& qvQuadTreeNode::operator[](int i) {
    return *record_in(locked_page(), i);
}

qvShapeBase* qvQuadTreeNode::record_in(unsigned char* page_bytes, int i) const {
    QV_ASSERT_TEXT(i >= 0 && i < fill_no, "index >= 0 && index < fill_no");
    const long target = record_offset(page_bytes, i);
    if (target + least_record > heap_end) raise_node_corrupt();
    return reinterpret_cast<qvShapeBase*>(page_bytes + target);
}

// One pass over the slot table with operator[]'s checks inline: a lookup
// by handle reads every record of a node, hundreds at a time.
int qvQuadTreeNode::index_of(std::int32_t shape_handle) const {
    unsigned char* const page = locked_page();
    const long used_end = heap_start + fill_mem;
    for (int i = 0; i < fill_no; ++i) {
        const long target = slot_position(i) + slot_value(page, i);
        if (target < heap_start || (target - heap_start) % 8 != 0 || target + 8 > used_end ||
            target + least_record > heap_end)
            raise_node_corrupt();
        if (reinterpret_cast<qvShapeBase const*>(page + target)->shape_handle == shape_handle) return i;
    }
    return -1;
}

int qvQuadTreeNode::size(int i) {
    QV_ASSERT_TEXT(i >= 0 && i < fill_no, "index >= 0 && index < fill_no");
    lock(false);
    return static_cast<int>(end_of(i) - record_offset(i));
}

// --- changes -----------------------------------------------------------------

int qvQuadTreeNode::add(int size) {
    QV_ASSERT(size > 0);
    QV_ASSERT_TEXT(fill_mem + size <= qvUSEFUL_PAGE_SIZE, "fill_mem + size <= qvUSEFUL_PAGE_SIZE");
    QV_ASSERT_TEXT(fill_no < slot_count, "fill_no < 330");
    lock(true);
    const long target = heap_start + fill_mem;
    const long block = padded(size);
    set_slot(page_address_, fill_no, target);
    std::memset(page_address_ + target, 0, static_cast<std::size_t>(block));
    fill_mem = static_cast<std::int16_t>(fill_mem + block);
    settled_ = false;
    indexed_ = false;
    return fill_no++;
}

int qvQuadTreeNode::reserve(int size, long& target) {
    QV_ASSERT(size > 0);
    QV_ASSERT_TEXT(fill_mem + size <= qvUSEFUL_PAGE_SIZE, "fill_mem + size <= qvUSEFUL_PAGE_SIZE");
    QV_ASSERT_TEXT(fill_no < slot_count, "fill_no < 330");
    if (!checked_) {
        // The check compares the page with fill_no: before it changes.
        lock(false);
        unlock(1.0f);
    }
    target = heap_start + fill_mem;
    fill_mem = static_cast<std::int16_t>(fill_mem + padded(size));
    settled_ = false;
    indexed_ = false;
    wrote();   // what a query learnt of the node counted fewer records
    return fill_no++;
}

// The slot entries are made in order here; the heap bytes come laid out.
// Two ranges of the page, each written once, and nothing read.
void qvQuadTreeNode::fill_reserved(int first, int count, std::int32_t const* targets, unsigned char const* heap,
                                   long heap_end, float priority) {
    QV_ASSERT_TEXT(first >= 0 && count > 0 && first + count <= fill_no, "index >= 0 && index < fill_no");
    QV_ASSERT(targets[0] >= heap_start && targets[0] < heap_end && heap_end <= heap_start + fill_mem);
    std::array<unsigned char, 2 * slot_count> table;
    for (int k = 0; k < count; ++k) {
        QV_ASSERT(k == 0 || targets[k] > targets[k - 1]);
        const std::int16_t value = slot_entry(first + k, targets[k]);
        std::memcpy(table.data() + 2 * k, &value, sizeof value);
    }
    const auto table_at = static_cast<std::size_t>(slot_position(first));
    const auto table_length = static_cast<std::size_t>(2 * count);
    const auto heap_at = static_cast<std::size_t>(targets[0]);
    const auto heap_length = static_cast<std::size_t>(heap_end - targets[0]);
    if (locked()) {
        lock(true);
        std::memcpy(page_address_ + table_at, table.data(), table_length);
        std::memcpy(page_address_ + heap_at, heap, heap_length);
        return;
    }
    wrote();
    device_->write_bytes(page, heap_at, heap, heap_length, priority);
    device_->write_bytes(page, table_at, table.data(), table_length, priority);
}

void qvQuadTreeNode::unreserve(int slot, long target) noexcept {
    wrote();
    fill_no = static_cast<std::int16_t>(slot);
    fill_mem = static_cast<std::int16_t>(target - heap_start);
}

// The records behind i form one block: it moves down by record i's padded
// size in one move, and each of their slots names the place before.
void qvQuadTreeNode::remove(int i) {
    QV_ASSERT_TEXT(i >= 0 && i < fill_no, "index >= 0 && index < fill_no");
    lock(true);
    std::array<long, slot_count + 1> target{};
    for (int j = i; j < fill_no; ++j) target[static_cast<std::size_t>(j)] = record_offset(j);
    const long used_end = heap_start + fill_mem;
    target[static_cast<std::size_t>(fill_no)] = used_end;
    for (int j = i; j < fill_no; ++j)
        if (target[static_cast<std::size_t>(j + 1)] <= target[static_cast<std::size_t>(j)]) raise_node_corrupt();
    const long start = target[static_cast<std::size_t>(i)];
    const long next = target[static_cast<std::size_t>(i) + 1];
    const long gap = next - start;
    std::memmove(page_address_ + start, page_address_ + next, static_cast<std::size_t>(used_end - next));
    for (int j = i + 1; j < fill_no; ++j) set_slot(page_address_, j - 1, target[static_cast<std::size_t>(j)] - gap);
    std::memset(page_address_ + used_end - gap, 0, static_cast<std::size_t>(gap));
    std::memset(page_address_ + slot_position(fill_no - 1), 0, 2);
    fill_mem = static_cast<std::int16_t>(fill_mem - gap);
    --fill_no;
}

void qvQuadTreeNode::fast_remove(int i) {
    unsigned char* const bytes = locked_page();
    QV_ASSERT_TEXT(i >= 0 && i < fill_no, "index >= 0 && index < fill_no");
    QV_ASSERT(write_locked_);
    set_size_field(bytes, record_offset(i), -1);
}

void qvQuadTreeNode::compress() {
    unsigned char* const bytes = locked_page();
    QV_ASSERT(write_locked_);
    std::array<long, slot_count + 1> target{};
    for (int j = 0; j < fill_no; ++j) target[static_cast<std::size_t>(j)] = record_offset(j);
    const long used_end = heap_start + fill_mem;
    target[static_cast<std::size_t>(fill_no)] = used_end;
    for (int j = 0; j < fill_no; ++j)
        if (target[static_cast<std::size_t>(j + 1)] <= target[static_cast<std::size_t>(j)]) raise_node_corrupt();
    long write = heap_start;
    int kept = 0;
    for (int j = 0; j < fill_no; ++j) {
        const long from = target[static_cast<std::size_t>(j)];
        const long length = target[static_cast<std::size_t>(j) + 1] - from;
        if (size_field(bytes, from) <= 0) continue;
        if (write != from) std::memmove(bytes + write, bytes + from, static_cast<std::size_t>(length));
        set_slot(bytes, kept++, write);
        write += length;
    }
    std::memset(bytes + write, 0, static_cast<std::size_t>(used_end - write));
    std::memset(bytes + slot_position(kept), 0, static_cast<std::size_t>(2 * (fill_no - kept)));
    fill_no = static_cast<std::int16_t>(kept);
    fill_mem = static_cast<std::int16_t>(write - heap_start);
}
