// qvPageBufferPool: blocks of aligned page buffers, made on demand.

#include "scenes/qvPageBufferPool.hpp"

#include "scenes/qvPageLayout.hpp"

#include <algorithm>
#include <new>

namespace {

constexpr std::align_val_t alignment{qvPageBufferAlignment};
constexpr std::size_t first_block = 16;
constexpr std::size_t largest_block = 4096;   // 64 MiB

unsigned char* aligned_buffers(std::size_t count) {
    return static_cast<unsigned char*>(::operator new(count * qvPageBytes, alignment));
}

}  // namespace

void qvPageBufferPool::AlignedDelete::operator()(unsigned char* p) const noexcept {
    ::operator delete(p, alignment);
}

unsigned char* qvPageBufferPool::take() {
    if (spare_.empty() && in_blocks_ < pooled_) {
        const std::size_t count =
            std::min({pooled_ - in_blocks_, std::max(first_block, in_blocks_), largest_block});
        // Room for the block's bookkeeping first: after the allocation
        // nothing may fail, or the block would leak.
        blocks_.reserve(blocks_.size() + 1);
        ranges_.reserve(ranges_.size() + 1);
        spare_.reserve(in_blocks_ + count);
        Block block(aligned_buffers(count));
        unsigned char* const begin = block.get();
        ranges_.push_back({begin, begin + count * qvPageBytes});
        blocks_.push_back(std::move(block));
        in_blocks_ += count;
        for (std::size_t i = count; i-- > 0;) spare_.push_back(begin + i * qvPageBytes);
    }
    if (!spare_.empty()) {
        unsigned char* const buffer = spare_.back();
        spare_.pop_back();
        return buffer;
    }
    unsigned char* const single = aligned_buffers(1);
    ++singles_;
    return single;
}

bool qvPageBufferPool::from_block(unsigned char const* buffer) const noexcept {
    return std::any_of(ranges_.begin(), ranges_.end(),
                       [buffer](Range const& r) { return buffer >= r.begin && buffer < r.end; });
}

// spare_ has room for every block buffer (reserved when its block was made),
// so giving one back never allocates.
void qvPageBufferPool::give(unsigned char* buffer) noexcept {
    if (from_block(buffer)) {
        spare_.push_back(buffer);
    } else {
        AlignedDelete()(buffer);
        --singles_;
    }
}

void qvPageBufferPool::clear() noexcept {
    std::vector<unsigned char*>().swap(spare_);
    ranges_.clear();
    blocks_.clear();
    in_blocks_ = 0;
}

std::size_t qvPageBufferPool::bytes_held() const noexcept {
    return (in_blocks_ + singles_) * qvPageBytes;
}
