#pragma once
// qvScaledTextProxyBase: the in-scene scaled text: the box-keeping text
// layers over the height layer, plus a box-keeping height setter and
// adjust_extent.
//
// adjust_extent(): inside one guard, nothing without a record or for an
// empty text; otherwise the text is measured in the font of the shape's own
// attribute at its font size, and the font's height H is read from the
// process-wide size mode (qvTextExtent::font_size_mode): bit 1 adds ascent
// - extra, bit 2 descent, bit 4 extra; an H of 0 counts as 1. The extent
// becomes (stretch x height x width / H, height x descent / H, height x
// ascent / H), written into the record with the header's box; an extent
// beyond the float range is refused (qvShapeCoordinates) before it is
// written. So with a provider that accepts mode 3 the font's ascent minus
// extra plus descent becomes exactly the height; with the default provider
// (mode 0) the measured extent is multiplied by the height.

#include <orvane/shapes/qvGenericScaledTextProxy.hpp>
#include <orvane/shapes/qvScaledTextProxyInnerBase.hpp>
#include <orvane/shapes/qvTextProxy.hpp>

class qvScaledTextProxyBase : public qvTextProxy<qvGenericScaledTextProxy<qvScaledTextProxyInnerBase>> {
    using Height = qvGenericScaledTextProxy<qvScaledTextProxyInnerBase>;

public:
    ~qvScaledTextProxyBase() override = default;

    using Height::height;
    void height(double h) override;
    void adjust_extent() override;

protected:
    qvScaledTextProxyBase() noexcept = default;
    qvScaledTextProxyBase(qvScaledTextProxyBase const&) noexcept = default;
    qvScaledTextProxyBase& operator=(qvScaledTextProxyBase const&) noexcept = default;
};
