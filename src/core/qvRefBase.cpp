// The counter record and the counting steps shared by every counted pointer.
//
// The weak list is created on the first attach and lives until the record
// dies; it only ever holds addresses of live weak pointers, because a weak
// pointer detaches before it dies or is cleared by the dying record.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvRefPtrBase.hpp>

#include <unordered_set>

// Kept by address, so that letting go of one of many weak pointers (a view
// tearing down thousands of layers that each watch it) is not a walk.
struct qvRefBase::WeakList {
    std::unordered_set<qvRefPtrBase*> c;
};

// --- qvRefBase -----------------------------------------------------------------

qvRefBase::~qvRefBase() {
    if (counter_ != 0)
        qvError::abort(qvAssertionError("counter == 0", __FILE__, __LINE__));
    if (weak_ == nullptr)
        return;
    for (qvRefPtrBase* wptr : weak_->c)
        wptr->clear();
    delete weak_;
}

void qvRefBase::attach(qvRefPtrBase const& wptr) const {
    if (weak_ == nullptr)
        weak_ = new WeakList;
    weak_->c.insert(const_cast<qvRefPtrBase*>(&wptr));
}

void qvRefBase::detach(qvRefPtrBase const& wptr) const {
    QV_ASSERT_TEXT(weak_, "weak");
    qvRefPtrBase* const address = const_cast<qvRefPtrBase*>(&wptr);
    QV_ASSERT_TEXT(weak_->c.count(address) != 0,
                   "_STL::find( weak->c.begin(), weak->c.end(), (qvRefPtrBase*)&wptr ) "
                   "!= weak->c.end()");
    weak_->c.erase(address);
}

bool qvRefBase::watched() const noexcept { return weak_ != nullptr && !weak_->c.empty(); }

// --- qvRefPtrBase: construction ------------------------------------------------

qvRefPtrBase::qvRefPtrBase(qvRefPtrBase const& other, void* object) noexcept
    : counter_(object ? other.counter_ : nullptr),
      object_(object),
      invasive_(object ? other.invasive_ : false) {}

qvRefPtrBase::qvRefPtrBase(qvRefBase* counter, void* object) noexcept
    : counter_(object ? counter : nullptr), object_(object), invasive_(object != nullptr) {}

qvRefPtrBase::qvRefPtrBase(void* object)
    : counter_(object ? new qvRefBase : nullptr), object_(object), invasive_(false) {}

void qvRefPtrBase::reset() noexcept {
    counter_ = nullptr;
    object_ = nullptr;
    invasive_ = false;
}

void qvRefPtrBase::reset(qvRefPtrBase const& other) noexcept {
    object_ = other.object_;
    counter_ = object_ ? other.counter_ : nullptr;
    invasive_ = object_ ? other.invasive_ : false;
}

// --- strong side -----------------------------------------------------------------

void qvRefPtrBase::take_strong() const noexcept {
    if (counter_ != nullptr)
        counter_->bump();
}

void* qvRefPtrBase::release_strong() const noexcept {
    if (counter_ == nullptr || counter_->dec() != 0)
        return nullptr;
    if (!invasive_)
        delete counter_;   // clears the weak pointers that watch the object
    return object_;
}

// The new use is taken before the old one is released: releasing the old
// object may destroy the pointer `other` lives in (a member of that object).
void* qvRefPtrBase::assign_strong(qvRefPtrBase const& other) noexcept {
    if (counter_ == other.counter_)
        return nullptr;
    qvRefPtrBase incoming;
    incoming.reset(other);
    incoming.take_strong();
    void* const dead = release_strong();
    *this = incoming;
    return dead;
}

// --- weak side -------------------------------------------------------------------

void qvRefPtrBase::take_weak() const {
    if (counter_ != nullptr)
        counter_->attach(*this);
}

// A separate record made for a weak pointer has no strong owner to free it:
// the last of its users, strong or weak, does.
void qvRefPtrBase::release_weak() const {
    if (counter_ == nullptr)
        return;
    qvRefBase* const record = counter_;
    record->detach(*this);
    if (!invasive_ && record->count() == 0 && !record->watched())
        delete record;
}

void qvRefPtrBase::release_weak_in_destructor() const noexcept {
    try {
        release_weak();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvRefPtrBase::assign_weak(qvRefPtrBase const& other) {
    if (counter_ == other.counter_)
        return;
    qvRefPtrBase incoming;
    incoming.reset(other);
    release_weak();
    reset(incoming);
    take_weak();
}
