// Shape record blocks and the header constructor (see qvShapeBase.hpp).

#include <orvane/shapes/qvShapeBase.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvNumericConversion.hpp>

#include <algorithm>
#include <cstring>
#include <new>

qvShapeBase::qvShapeBase(long kind_code) : kind(qvCheckedInt32(kind_code)) {}

// The global allocation functions align to at least 16 bytes here, more than
// the 8 that records need; they are also what the tests' allocation probe
// watches, so a record's size is visible there.
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= 8);

void* qvShapeBase::operator new(std::size_t bytes) { return ::operator new(bytes); }

void qvShapeBase::operator delete(void* block) noexcept { ::operator delete(block); }

qvShapeBase* qvNewShapeRecord(int size) {
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    void* const block = qvShapeBase::operator new(static_cast<std::size_t>(size));
    std::memset(block, 0, static_cast<std::size_t>(size));
    qvShapeBase* const record = ::new (block) qvShapeBase();
    record->size = size;
    return record;
}

qvShapeBase* qvResizeShapeRecord(qvShapeBase* old, int size) {
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    QV_ASSERT_TEXT(old->size >= static_cast<int>(sizeof(qvShapeBase)), "old->size >= sizeof(qvShapeBase)");
    if (old->size == size)
        return old;
    void* const block = qvShapeBase::operator new(static_cast<std::size_t>(size));
    const std::size_t kept = static_cast<std::size_t>(std::min(old->size, size));
    std::memcpy(block, old, kept);
    std::memset(static_cast<char*>(block) + kept, 0, static_cast<std::size_t>(size) - kept);
    qvShapeBase* const record = static_cast<qvShapeBase*>(block);
    record->size = size;
    delete old;
    return record;
}
