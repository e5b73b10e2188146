// qvIndirectRectIterator: adoption, ownership transfer and the holder's own
// rectangle. A holder of its own rectangle never lets another holder point
// into it: copies and moves re-point at their own copy.

#include <orvane/geometry/qvRectIterator.hpp>

#include "geometry/qvRegionRectRules.hpp"

#include <memory>
#include <utility>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
using Interface = qvIteratorInterface<Rect>;

// An adopted iterator's rectangles, read out in order and followed by the
// last of them again (the empty marker when there was none), so that
// reading past the end stays inside the array. The adopted iterator lives
// on with them and goes when they go. As an iterator it walks the array
// from its own position.
class DrainedRectIterator final : public qvIterator<Rect> {
public:
    explicit DrainedRectIterator(std::unique_ptr<Interface> source) : source_(std::move(source)) {
        for (; !source_->at_end(); source_->next()) rects_.push_back(*source_->get());
        rects_.push_back(rects_.empty() ? Rect::make_empty() : rects_.back());
    }

    Rect const* first() const noexcept { return rects_.data(); }
    Rect const* last_end() const noexcept { return rects_.data() + rects_.size() - 1; }

    Rect* get() override { return &rects_[position_]; }
    void next() override {
        if (!at_end()) ++position_;
    }
    bool at_end() const override { return position_ + 1 == rects_.size(); }

private:
    std::unique_ptr<Interface> source_;
    std::vector<Rect> rects_;
    std::size_t position_ = 0;
};

}  // namespace

qvIndirectRectIterator::qvIndirectRectIterator(Interface* adopted) {
    if (adopted == nullptr) return;
    auto drained = std::make_unique<DrainedRectIterator>(std::unique_ptr<Interface>(adopted));
    next_ = drained->first();
    end_ = drained->last_end();
    held_ = drained.release();
    owner_ = true;
}

qvIndirectRectIterator::qvIndirectRectIterator(qvMathRectOf<double> const& single) noexcept
    : own_{single, single}, uses_own_(true) {
    next_ = own_;
    end_ = own_ + (qvRegionRectIsVoid(single) ? 0 : 1);
}

qvIndirectRectIterator::qvIndirectRectIterator(qvIndirectRectIterator const& other) noexcept {
    take(other);
}

qvIndirectRectIterator::qvIndirectRectIterator(qvIndirectRectIterator&& other) noexcept {
    take(other);
    other.forget();
}

qvIndirectRectIterator& qvIndirectRectIterator::operator=(qvIndirectRectIterator const& other) noexcept {
    if (&other == this) return *this;
    if (other.held_ == held_ && held_ != nullptr) {
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
    other.forget();
    return *this;
}

qvIndirectRectIterator::~qvIndirectRectIterator() { release(); }

void qvIndirectRectIterator::release() noexcept {
    if (owner_) delete held_;
    forget();
}

// Holds nothing afterwards; deletes nothing.
void qvIndirectRectIterator::forget() noexcept {
    held_ = nullptr;
    grid_ = nullptr;
    list_ = nullptr;
    owner_ = false;
    next_ = end_ = nullptr;
    uses_own_ = false;
}

// Precondition: this holder owns nothing.
void qvIndirectRectIterator::take(qvIndirectRectIterator const& other) noexcept {
    held_ = other.held_;
    grid_ = other.grid_;
    list_ = other.list_;
    owner_ = other.owner_;
    other.owner_ = false;
    uses_own_ = other.uses_own_;
    if (uses_own_) {
        own_[0] = other.own_[0];
        own_[1] = other.own_[1];
        next_ = own_ + (other.next_ - other.own_);
        end_ = own_ + (other.end_ - other.own_);
    } else {
        next_ = other.next_;
        end_ = other.end_;
    }
}
