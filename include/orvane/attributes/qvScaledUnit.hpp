#pragma once
// qvScaledUnit<Kind>: what every unit kind shares: a name, an abbreviation
// and a scale, the size of the unit in the base unit of its kind (seconds,
// metres). Kind is the concrete unit class (qvTimeUnit, qvLengthUnit); it
// names its interface identity and the type its errors come from.
//
// Keeps true: a unit answers only the identity of its own kind, so two units
// are of one kind exactly when each answers the other's identity. A null
// unit given to convertTo or convertFrom fails the assertion "unit".

#include <orvane/attributes/qvUnit.hpp>

template <class Kind>
class qvScaledUnit : public qvUnit {
public:
    qvScaledUnit(qvString const& name, qvString const& abbreviation, double scale);

    double getScale() const noexcept { return scale_; }

    qvString getAbbreviation() const override { return abbreviation_; }
    qvString getName() const override { return name_; }
    bool canConvertTo(qvUnit const* unit) const override;
    double convertTo(double value, qvUnit const* unit) const override;
    bool canConvertFrom(qvUnit const* unit) const override;
    double convertFrom(double value, qvUnit const* unit) const override;
    bool equals(qvUnit const* unit) const override;

    void* query_interface(qvInterfaceInfo const& info) override;

private:
    // The unit as this kind, or null when it is null or of another kind.
    static Kind const* same_kind(qvUnit const* unit);
    // The unit as this kind; raises for another kind.
    static Kind const& convertible(qvUnit const* unit);

    qvString name_;
    qvString abbreviation_;
    double scale_;
};
