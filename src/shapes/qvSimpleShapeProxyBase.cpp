// The stand-alone proxy base (see qvSimpleShapeProxyBase.hpp): its private
// record block, grown but never shrunk, and never shared.

#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstring>
#include <limits>
#include <utility>

namespace {

// A new block holding the first `size` bytes of `source`, or null.
qvShapeBase* duplicate(qvShapeBase const* source) {
    if (source == nullptr)
        return nullptr;
    qvShapeBase* const copy = qvNewShapeRecord(source->size);
    std::memcpy(static_cast<void*>(copy), source, static_cast<std::size_t>(source->size));
    return copy;
}

}  // namespace

void qvSimpleShapeProxyBase::raise_uninitialized() {
    qvRaise(qvErrorFrom<qvSimpleShapeProxyBase>("Attempt to query uninitialized shape"));
}

int qvSimpleShapeProxyBase::record_size(std::int64_t bytes) {
    QV_ASSERT_TEXT(bytes >= static_cast<std::int64_t>(sizeof(qvShapeBase)), "bytes >= sizeof(qvShapeBase)");
    if (bytes > std::numeric_limits<std::int32_t>::max())
        qvRaise(qvErrorFrom<qvSimpleShapeProxyBase>("Limitation: shape size exceeds maximum allowed for a record"));
    return static_cast<int>(bytes);
}

// ---------------------------------------------------------------------------
// Ownership

qvSimpleShapeProxyBase::~qvSimpleShapeProxyBase() { delete record_; }

qvSimpleShapeProxyBase::qvSimpleShapeProxyBase(qvSimpleShapeProxyBase const& other)
    : record_(duplicate(other.record_)) {}

qvSimpleShapeProxyBase::qvSimpleShapeProxyBase(qvSimpleShapeProxyBase&& other) noexcept
    : record_(std::exchange(other.record_, nullptr)) {}

qvSimpleShapeProxyBase& qvSimpleShapeProxyBase::operator=(qvSimpleShapeProxyBase const& other) {
    if (this != &other) {
        qvShapeBase* const copy = duplicate(other.record_);
        delete record_;
        record_ = copy;
    }
    return *this;
}

qvSimpleShapeProxyBase& qvSimpleShapeProxyBase::operator=(qvSimpleShapeProxyBase&& other) noexcept {
    if (this != &other) {
        delete record_;
        record_ = std::exchange(other.record_, nullptr);
    }
    return *this;
}

// ---------------------------------------------------------------------------
// The record

void qvSimpleShapeProxyBase::allocate(int size) {
    if (record_ == nullptr)
        record_ = qvNewShapeRecord(size);
    else if (record_->size < size)
        record_ = qvResizeShapeRecord(record_, size);
}

void qvSimpleShapeProxyBase::copy_record(qvShapeBase const& source) {
    QV_ASSERT_TEXT(source.size >= static_cast<std::int32_t>(sizeof(qvShapeBase)), "source.size >= sizeof(qvShapeBase)");
    qvShapeBase* const copy = duplicate(&source);
    delete record_;
    record_ = copy;
}

void qvSimpleShapeProxyBase::connect_attribute(qvAttributeFolderInterface const& attribute) {
    attribute.check_attached();
    if (record_ != nullptr)
        record_->attribute_handle = qvCheckedInt32(attribute.attribute_handle());
}
