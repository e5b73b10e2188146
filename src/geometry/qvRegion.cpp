// qvRegion: construction of the one implementation, and forwarding.
// Every constructor creates the implementation in its member initialiser,
// before anything else can fail, so a handle never exists without one.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <utility>

namespace {

// static_create always makes a grid region; the handle keeps its own type.
qvGridRegion* as_grid(qvBaseRegion* made) noexcept { return static_cast<qvGridRegion*>(made); }

}  // namespace

// ---- construction -------------------------------------------------------------------

qvBaseRegion* qvRegion::static_create() { return new qvGridRegion; }
qvBaseRegion* qvRegion::static_create(Rect const& rect) { return new qvGridRegion(rect); }
qvBaseRegion* qvRegion::static_create(qvBaseRegion const& other) { return new qvGridRegion(other); }
qvBaseRegion* qvRegion::static_create(Point const& point) {
    return new qvGridRegion(Rect(point, point));
}

qvRegion::qvRegion() : impl_(as_grid(static_create())) {}
qvRegion::qvRegion(Point const& point) : impl_(as_grid(static_create(point))) {}
qvRegion::qvRegion(Rect const& rect) : impl_(as_grid(static_create(rect))) {}
qvRegion::qvRegion(qvBaseRegion const& other) : impl_(as_grid(static_create(other))) {}
qvRegion::qvRegion(qvRegion const& other)
    : qvBaseRegion(other), impl_(as_grid(static_create(*other.impl_))) {}
qvRegion::qvRegion(qvRegion&& other)
    : qvBaseRegion(other), impl_(new qvGridRegion(std::move(*other.impl_))) {}

qvRegion::~qvRegion() { delete impl_; }

qvRegion& qvRegion::operator=(qvRegion const& other) {
    *impl_ = static_cast<qvBaseRegion const&>(*other.impl_);
    return *this;
}

qvRegion& qvRegion::operator=(qvRegion&& other) noexcept {
    *impl_ = std::move(*other.impl_);
    return *this;
}

qvRegion::operator qvBaseRegion*() noexcept { return impl_; }
qvRegion::operator qvBaseRegion const*() const noexcept { return impl_; }
qvBaseRegion& qvRegion::object() noexcept { return *impl_; }
qvBaseRegion const& qvRegion::object() const noexcept { return *impl_; }

// ---- forwarding -------------------------------------------------------------------------

void* qvRegion::query_interface(qvInterfaceInfo const& info) { return impl_->query_interface(info); }

qvBaseRegion& qvRegion::assign(Rect const& rect) { return impl_->assign(rect); }

qvBaseRegion& qvRegion::operator=(qvBaseRegion const& other) {
    *impl_ = other;
    return *this;
}

qvBaseRegion& qvRegion::operator=(Rect const& rect) {
    *impl_ = rect;
    return *this;
}

qvBaseRegion& qvRegion::operator=(Point const& point) {
    *impl_ = point;
    return *this;
}

qvBaseRegion& qvRegion::add(Rect const& rect) { return impl_->add(rect); }
qvBaseRegion& qvRegion::operator+=(qvBaseRegion const& other) { return *impl_ += other; }
qvBaseRegion& qvRegion::operator+=(Rect const& rect) { return *impl_ += rect; }
qvBaseRegion& qvRegion::operator+=(Point const& point) { return *impl_ += point; }

qvBaseRegion& qvRegion::subtract(Rect const& rect) { return impl_->subtract(rect); }
qvBaseRegion& qvRegion::operator-=(qvBaseRegion const& other) { return *impl_ -= other; }
qvBaseRegion& qvRegion::operator-=(Rect const& rect) { return *impl_ -= rect; }
qvBaseRegion& qvRegion::operator-=(Point const& point) { return *impl_ -= point; }

qvBaseRegion& qvRegion::intersect(Rect const& rect) { return impl_->intersect(rect); }
qvBaseRegion& qvRegion::operator*=(qvBaseRegion const& other) { return *impl_ *= other; }
qvBaseRegion& qvRegion::operator*=(Rect const& rect) { return *impl_ *= rect; }
qvBaseRegion& qvRegion::operator*=(Point const& point) { return *impl_ *= point; }

qvIndirectRectIterator qvRegion::enumerate() const { return impl_->enumerate(); }
bool qvRegion::empty() const { return impl_->empty(); }
qvMathRectOf<double> const& qvRegion::bbox() const { return impl_->bbox(); }
bool qvRegion::simple() const { return impl_->simple(); }
qvBaseRegion& qvRegion::erase() { return impl_->erase(); }
qvBaseRegion& qvRegion::translate(qvRestrictedTransformation const& rt) { return impl_->translate(rt); }
qvBaseRegion& qvRegion::normalize() { return impl_->normalize(); }
qvBaseRegion* qvRegion::clone() const { return impl_->clone(); }
qvBaseRegion* qvRegion::create() const { return impl_->create(); }

bool qvRegion::operator==(Rect const& rect) const { return impl_->operator==(rect); }
bool qvRegion::operator==(qvBaseRegion const& other) const { return impl_->operator==(other); }
bool qvRegion::operator!=(Rect const& rect) const { return impl_->operator!=(rect); }
bool qvRegion::operator!=(qvBaseRegion const& other) const { return impl_->operator!=(other); }
bool qvRegion::operator<(Rect const& rect) const { return impl_->operator<(rect); }
bool qvRegion::operator<(qvBaseRegion const& other) const { return impl_->operator<(other); }
bool qvRegion::operator>(Rect const& rect) const { return impl_->operator>(rect); }
bool qvRegion::operator>(qvBaseRegion const& other) const { return impl_->operator>(other); }
