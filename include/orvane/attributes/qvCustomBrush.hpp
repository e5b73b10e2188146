#pragma once
// qvCustomBrush: a counted reference to a custom fill object (a gradient),
// the value of "CUSTOM_BRUSH" attributes.
//
// Keeps true: an empty brush refers to nothing; a non-empty brush holds one
// count of its fill object, and copies share the object (a copy never
// duplicates the gradient). The last release deletes the object. Loading
// re-points the brush at a new object and never changes the old one; a
// failed load leaves the brush as it was.
//
// Stream form (little-endian):
//   offset  size  meaning
//        0     4  format version (int32), always 0
//        4     4  kind (int32): 0 linear, 1 radial, 2 conical gradient,
//                 -1 no gradient (an empty brush, or a fill of another kind)
//        8     *  the kind's gradient form (see qvLinearGradientIO and its
//                 siblings); nothing for kind -1

#include <orvane/attributes/qvCustomBrushDataAccess.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/core/qvWeakPtr.hpp>

class qvCustomBrush : public qvISafePtr<qvCustomBrushDataAccess>,
                      public virtual qvStreamPersistence {
public:
    qvCustomBrush() noexcept = default;
    qvCustomBrush(qvISafePtr<qvCustomBrushDataAccess> const& fill) noexcept
        : qvISafePtr<qvCustomBrushDataAccess>(fill) {}
    qvCustomBrush(qvIWeakPtr<qvCustomBrushDataAccess> const& fill) noexcept
        : qvISafePtr<qvCustomBrushDataAccess>(fill) {}
    // Any strong pointer whose object offers `fill`: shares its counter.
    qvCustomBrush(qvSafePtrBase const& owner, qvCustomBrushDataAccess* fill) noexcept
        : qvISafePtr<qvCustomBrushDataAccess>(owner, fill) {}
    // Adopts the object through its own count; null gives an empty brush.
    qvCustomBrush(qvCustomBrushDataAccess* fill) noexcept
        : qvISafePtr<qvCustomBrushDataAccess>(fill) {}
    qvCustomBrush(qvCustomBrush const& other) noexcept = default;
    qvCustomBrush& operator=(qvCustomBrush const& other) noexcept = default;
    ~qvCustomBrush() override = default;

    // Version 0 first, then an unknown version fails the assertion "false".
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;
};
