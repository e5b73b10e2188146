// qvScaledUnit<Kind>: the conversions shared by every unit kind, built for
// the two kinds of the library.

#include <orvane/attributes/qvScaledUnit.hpp>

#include <orvane/attributes/qvLengthUnit.hpp>
#include <orvane/attributes/qvTimeUnit.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

template <class Kind>
qvScaledUnit<Kind>::qvScaledUnit(qvString const& name, qvString const& abbreviation, double scale)
    : name_(name), abbreviation_(abbreviation), scale_(scale) {}

template <class Kind>
Kind const* qvScaledUnit<Kind>::same_kind(qvUnit const* unit) {
    // Asking is not changing: query_interface is non-const only by its
    // signature.
    return qvQueryInterface<Kind>(const_cast<qvUnit*>(unit));
}

template <class Kind>
Kind const& qvScaledUnit<Kind>::convertible(qvUnit const* unit) {
    QV_ASSERT_TEXT(unit != nullptr, "unit");
    Kind const* other = same_kind(unit);
    if (other == nullptr)
        qvRaise(qvErrorFrom<Kind>("Unit is not supported!"));
    return *other;
}

template <class Kind>
bool qvScaledUnit<Kind>::canConvertTo(qvUnit const* unit) const {
    return same_kind(unit) != nullptr;
}

template <class Kind>
double qvScaledUnit<Kind>::convertTo(double value, qvUnit const* unit) const {
    return scale_ * value / convertible(unit).getScale();
}

template <class Kind>
bool qvScaledUnit<Kind>::canConvertFrom(qvUnit const* unit) const {
    return same_kind(unit) != nullptr;
}

template <class Kind>
double qvScaledUnit<Kind>::convertFrom(double value, qvUnit const* unit) const {
    return convertible(unit).getScale() * value / scale_;
}

template <class Kind>
bool qvScaledUnit<Kind>::equals(qvUnit const* unit) const {
    Kind const* other = same_kind(unit);
    return other != nullptr && name_ == other->name_ && abbreviation_ == other->abbreviation_ &&
           scale_ == other->scale_;
}

template <class Kind>
void* qvScaledUnit<Kind>::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<Kind>(static_cast<Kind*>(this), info);
}

template class qvScaledUnit<qvTimeUnit>;
template class qvScaledUnit<qvLengthUnit>;
