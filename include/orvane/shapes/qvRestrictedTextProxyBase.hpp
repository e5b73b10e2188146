#pragma once
// qvRestrictedTextProxyBase: the in-scene base of restricted texts, whose
// glyphs have a fixed size in device units: the box-keeping text layers
// plus the restricted text data access. Its extent in model units holds
// for one view transformation only; adjust_extent measures it again for
// another.
//
// adjust_extent(t): inside one guard, nothing without a record or for an
// empty text; otherwise the text is measured in the font of the shape's own
// attribute (device units) and the extent set, through the box-keeping
// setter, to (stretch x width x k, descent x k, ascent x k) with k = 1 / the
// smaller absolute axis scale of t (1 for null): at that scale the box
// covers the glyphs and errs on the large side on the other axis. A t
// that is not finite is refused (qvShapeCoordinates) before the guard
// opens (an infinite scale would give a text no extent at all), an extent
// beyond the float range (a tiny or zero scale) by the extent setter.
//
// It names the restricted text data access for the extended scale and the
// text data access for every other interaction.

#include <orvane/shapes/qvRestrictedTextDataAccess.hpp>
#include <orvane/shapes/qvTextProxy.hpp>
#include <orvane/shapes/qvTextProxyBase.hpp>

class qvRestrictedTextProxyBase : public qvTextProxy<qvTextProxyBase>, public virtual qvRestrictedTextDataAccess {
public:
    ~qvRestrictedTextProxyBase() override = default;

    void adjust_extent(qvRestrictedTransformation* t) override;

    // "qvRestrictedTextDataAccess", then the text base's.
    void* query_interface(qvInterfaceInfo const& info) override;
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;

protected:
    qvRestrictedTextProxyBase() noexcept = default;
    qvRestrictedTextProxyBase(qvRestrictedTextProxyBase const&) noexcept = default;
    qvRestrictedTextProxyBase& operator=(qvRestrictedTextProxyBase const&) noexcept = default;
};
