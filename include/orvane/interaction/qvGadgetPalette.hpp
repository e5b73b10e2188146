#pragma once
// qvGadgetPalette: the process-wide unique object "Gadget palette", a weak
// reference to the palette every gadget takes its look from. Manipulators
// never colour their gadgets: they connect the gadget's attribute by name to
// one of the four styles, so restyling one of them restyles every gadget of
// every view.
//
// Keeps true: the unique object never keeps the palette alive; each gadget
// scene of a gadget layer holds it counted. While no gadget scene holds it
// the reference is empty, and the next gadget scene makes and fills a fresh
// palette (styles the host changed on the old one are not carried over).
//
// The four styles, shared attributes made in this order:
//   "DashedRectangle"  line style 3, line colour (0, 0, 1)
//   "DashedLine"       line style 3, line colour (0, 0, 1)
//   "HandleBar"        marker style 6 (square), marker size 4.0,
//                      fill colour grey 0.25, fill style 0
//   "NewPoint"         as "HandleBar"

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/core/qvWeakPtr.hpp>

class qvGadgetPalette : public qvWeakPtr<qvStandardPalette> {
public:
    using qvWeakPtr<qvStandardPalette>::qvWeakPtr;
    using qvWeakPtr<qvStandardPalette>::operator=;

    static char const* get_name() noexcept { return "Gadget palette"; }
    // The module's holder of the unique object; get() binds it, making an
    // empty reference if absent.
    static qvUniqueObject<qvGadgetPalette>& holder() noexcept;

    // Adds the four styles to the palette referred to; nothing without one.
    void initialize();
};
