// qvIndirectRectIterator: ownership transfer and the embedded iterator.
// A holder using its embedded iterator never lets another holder point into
// it: copies and moves re-point at their own embedded copy.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRectIterator.hpp>

#include "geometry/qvRegionRectRules.hpp"

qvIndirectRectIterator::qvIndirectRectIterator(qvMathRectOf<double> const& single) noexcept
    : held_(&embedded_), embedded_(single, !qvRegionRectIsVoid(single)), uses_embedded_(true) {}

qvIndirectRectIterator::qvIndirectRectIterator(qvIndirectRectIterator const& other) noexcept {
    take(other);
}

qvIndirectRectIterator::qvIndirectRectIterator(qvIndirectRectIterator&& other) noexcept {
    take(other);
    other.held_ = nullptr;
    other.uses_embedded_ = false;
}

qvIndirectRectIterator& qvIndirectRectIterator::operator=(qvIndirectRectIterator const& other) noexcept {
    if (&other == this) return *this;
    if (!other.uses_embedded_ && other.held_ == held_ && held_ != nullptr) {
        // Both hold the same heap iterator: nothing is deleted, ownership
        // gathers here.
        owner_ = owner_ || other.owner_;
        other.owner_ = false;
        return *this;
    }
    release();
    take(other);
    return *this;
}

qvIndirectRectIterator& qvIndirectRectIterator::operator=(qvIndirectRectIterator&& other) noexcept {
    if (&other == this) return *this;
    operator=(static_cast<qvIndirectRectIterator const&>(other));
    other.held_ = nullptr;
    other.uses_embedded_ = false;
    return *this;
}

qvIndirectRectIterator::~qvIndirectRectIterator() { release(); }

qvMathRectOf<double> const* qvIndirectRectIterator::current() const {
    QV_ASSERT_TEXT(held_ != nullptr, "_object.get()");
    return held_->get();
}

void qvIndirectRectIterator::release() noexcept {
    if (owner_ && !uses_embedded_) delete held_;
    held_ = nullptr;
    owner_ = false;
    uses_embedded_ = false;
}

// Precondition: this holder owns nothing.
void qvIndirectRectIterator::take(qvIndirectRectIterator const& other) noexcept {
    if (other.uses_embedded_) {
        embedded_ = other.embedded_;
        held_ = &embedded_;
        owner_ = false;
        uses_embedded_ = true;
    } else {
        held_ = other.held_;
        owner_ = other.owner_;
        other.owner_ = false;
        uses_embedded_ = false;
    }
}
