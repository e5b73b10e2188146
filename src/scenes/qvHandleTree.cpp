// qvHandleTree: slots in pages, one page table in memory (see
// qvHandleTree.hpp).
//
// Every word read from a page or a stream is checked before it is used as
// an index or a page number: a damaged file is reported, never followed.
#include <orvane/scenes/qvHandleTree.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/scenes/qvPageDevice.hpp>

#include "core/qvStreamFields.hpp"
#include "scenes/qvPageLayout.hpp"

#include <algorithm>
#include <utility>

namespace {

[[noreturn]] void raise_handle_tree_error(char const* message) { qvRaise(qvErrorFrom<qvHandleTree>(message)); }
[[noreturn]] void raise_handle_tree_corrupt() { raise_handle_tree_error("Invalid or corrupt Orvane pagefile"); }

constexpr float kept = 1.0f;   // unlock priority of every handle-tree page

// Room for slots in a page, after its first-free word.
constexpr int slot_room = static_cast<int>(qvPageBytes) - 8;

int records_per_page(int record_size) noexcept {
    if (record_size <= 0) return 0;
    return slot_room / ((record_size + 7) / 8 * 8);
}

std::uint32_t handle_word(unsigned char const* slot) noexcept { return qvPageWord(slot, 0); }

}  // namespace

// ---------------------------------------------------------------------------
// Page pins

qvHT_PagePtr::~qvHT_PagePtr() {
    if (tree_) tree_->unlock(index_);
}

void qvHT_PagePtr::reset() {
    qvHT_PagePtr().swap(*this);
}

void qvHandleTree::unlock(int index) noexcept {
    try {
        device_.unlock(pages_[static_cast<std::size_t>(index)].page, kept);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

// ---------------------------------------------------------------------------
// Construction

qvHandleTree::qvHandleTree(qvPageDevice& device, int record_size)
    : record_size_(record_size), per_page_(records_per_page(record_size)), device_(device) {}

qvHandleTree::~qvHandleTree() = default;

// ---------------------------------------------------------------------------
// Records

void qvHandleTree::lookup(long handle, RecordLock& lock, bool write) {
    if (!initialized_) raise_handle_tree_error("Handle tree must be initialized before use");
    release(lock);
    if (handle < 1 || handle >= bound_) return;
    const int index = static_cast<int>(handle / per_page_);
    const long i = handle % per_page_;
    void* const page = device_.lock(pages_[static_cast<std::size_t>(index)].page, write);
    qvHT_PagePtr pin(*this, index, page);
    unsigned char* const record = slot(pin.page(), i);
    const std::uint32_t word = handle_word(record);
    if (word == 0) return;   // freed
    if (word != static_cast<std::uint32_t>(handle)) raise_handle_tree_corrupt();
    lock.pin = std::move(pin);
    lock.record = record;
}

void qvHandleTree::examine(long const& handle, RecordLock& lock) { lookup(handle, lock, false); }

void qvHandleTree::modify(long const& handle, RecordLock& lock) { lookup(handle, lock, true); }

// The cursor's page is checked as it is used: its first-free slot must be
// free, and the slots the scan passes must hold their own handles.
void qvHandleTree::create(qvHandleRecord*, int, RecordLock& lock) {
    release(lock);
    if (!initialized_) {
        if (record_size_ == 0) raise_handle_tree_error("Illegal record size specified");
        initialized_ = true;
        cursor_ = 0;
        bound_ = 1;
    }
    while (cursor_ < static_cast<int>(pages_.size()) && pages_[static_cast<std::size_t>(cursor_)].free == 0) ++cursor_;
    const long first = static_cast<long>(cursor_) * per_page_;
    qvHT_PagePtr pin;
    if (cursor_ < static_cast<int>(pages_.size())) {
        pin = qvHT_PagePtr(*this, cursor_, device_.lock(pages_[static_cast<std::size_t>(cursor_)].page, true));
    } else {
        pages_.reserve(pages_.size() + 1);
        const long number = device_.allocate();
        void* page;
        try {
            page = device_.lock(number, true);
        } catch (...) {
            device_.free(number);
            throw;
        }
        pages_.push_back(PageEntry{number, per_page_});
        pin = qvHT_PagePtr(*this, cursor_, page);
        std::memset(page, 0, qvPageBytes);
        if (cursor_ == 0) {
            qvSetPageWord(page, 0, 1);
            --pages_.front().free;
        }
    }
    PageEntry& entry = pages_[static_cast<std::size_t>(cursor_)];
    unsigned char* const page = pin.page();
    const std::uint32_t i = qvPageWord(page, 0);
    if (i >= static_cast<std::uint32_t>(per_page_) || handle_word(slot(page, i)) != 0) raise_handle_tree_corrupt();
    const long handle = first + static_cast<long>(i);
    // Issued handles stay 32-bit: the narrowing raises before one is given.
    qvCheckedInt32(handle);
    qvSetPageWord(slot(page, i), 0, static_cast<std::uint32_t>(handle));
    std::uint32_t next = i + 1;
    for (; next < static_cast<std::uint32_t>(per_page_); ++next) {
        const std::uint32_t word = handle_word(slot(page, next));
        if (word == 0) break;
        if (word != static_cast<std::uint32_t>(first + static_cast<long>(next))) raise_handle_tree_corrupt();
    }
    qvSetPageWord(page, 0, next);
    --entry.free;
    while (cursor_ < static_cast<int>(pages_.size()) && pages_[static_cast<std::size_t>(cursor_)].free == 0) ++cursor_;
    if (handle >= bound_) bound_ = handle + 1;
    lock.record = slot(page, i);
    lock.pin = std::move(pin);
}

void qvHandleTree::release(RecordLock& lock) {
    lock.record = nullptr;
    lock.pin.reset();
}

void qvHandleTree::update(RecordLock& lock) { release(lock); }

void qvHandleTree::remove(RecordLock& lock) {
    if (!lock) return;
    const long handle = static_cast<long>(handle_word(lock.record));
    const long i = handle % per_page_;
    unsigned char* const page = lock.pin.page();
    if (static_cast<long>(qvPageWord(page, 0)) > i) qvSetPageWord(page, 0, static_cast<std::uint32_t>(i));
    qvSetPageWord(lock.record, 0, 0);
    ++pages_[static_cast<std::size_t>(lock.pin.index())].free;
    release(lock);
}

// ---------------------------------------------------------------------------
// Stream form

void qvHandleTree::save(qvOutputStream& os) const {
    qvWriteInt32(os, initialized_ ? 1 : 0);
    qvWriteInt32(os, record_size_);
    qvWriteInt32(os, per_page_);
    if (!initialized_) return;
    qvWriteInt32(os, cursor_);
    qvWriteInt32(os, bound_);
    qvWriteInt32(os, static_cast<long>(pages_.size()));
    for (PageEntry const& e : pages_) {
        qvWriteInt32(os, e.page);
        qvWriteInt32(os, e.free);
    }
}

// Reads and checks every field into locals; the tree changes only at the end.
void qvHandleTree::load(qvInputStream& is) {
    if (initialized_) raise_handle_tree_error("Cannot load already initialized handle tree");
    const long flag = qvReadInt32(is);
    const long size = qvReadInt32(is);
    const long per_page = qvReadInt32(is);
    if ((flag != 0 && flag != 1) || size != record_size_ || per_page != per_page_) raise_handle_tree_corrupt();
    if (flag == 0) return;
    const long cursor = qvReadInt32(is);
    const long bound = qvReadInt32(is);
    const long n = qvReadInt32(is);
    const long page_count = device_.page_count();
    if (n < 0 || n > page_count) raise_handle_tree_corrupt();
    if (cursor < 0 || cursor > n) raise_handle_tree_corrupt();
    if (bound < 1 || bound > std::max(1L, n * per_page_)) raise_handle_tree_corrupt();
    std::vector<PageEntry> pages;
    // Grown entry by entry: a claimed count reads no further than the stream.
    for (long k = 0; k < n; ++k) {
        const long page = qvReadInt32(is);
        const long free = qvReadInt32(is);
        if (page < 2 || page >= page_count || free < 0 || free > per_page_) raise_handle_tree_corrupt();
        pages.push_back(PageEntry{page, static_cast<int>(free)});
    }
    std::vector<long> numbers;
    numbers.reserve(pages.size());
    for (PageEntry const& e : pages) numbers.push_back(e.page);
    std::sort(numbers.begin(), numbers.end());
    if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end()) raise_handle_tree_corrupt();
    pages_.swap(pages);
    cursor_ = static_cast<int>(cursor);
    bound_ = bound;
    initialized_ = true;
}
