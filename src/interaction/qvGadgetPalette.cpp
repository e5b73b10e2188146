// The gadget palette's unique object and its four styles (see
// qvGadgetPalette.hpp). Each style is a shared attribute made through a
// proxy of handle 0: setting the first property allocates it, and releasing
// the proxy leaves the attribute in the palette.

#include <orvane/interaction/qvGadgetPalette.hpp>

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvRgbColor.hpp>

qvUniqueObject<qvGadgetPalette>& qvGadgetPalette::holder() noexcept {
    static constinit qvUniqueObject<qvGadgetPalette> gadget_palette_holder;
    return gadget_palette_holder;
}

namespace {

void add_gadget_line_style(qvStandardPalette& palette, char const* name) {
    qvSharedAttributeProxy style(palette, 0);
    style.line_style(qvLineStyle{3});
    style.line_color(qvRgbColor(0.0f, 0.0f, 1.0f));
    style.attribute_name(name);
}

void add_gadget_marker_style(qvStandardPalette& palette, char const* name) {
    qvSharedAttributeProxy style(palette, 0);
    style.marker_style(qvMarkerStyle{6});
    style.marker_size(qvMarkerSize(4.0));
    style.fill_color(0.25f);
    style.fill_style(qvFillStyle{0});
    style.attribute_name(name);
}

}  // namespace

void qvGadgetPalette::initialize() {
    qvStandardPalette* const palette = get();
    if (palette == nullptr)
        return;
    add_gadget_line_style(*palette, "DashedRectangle");
    add_gadget_line_style(*palette, "DashedLine");
    add_gadget_marker_style(*palette, "HandleBar");
    add_gadget_marker_style(*palette, "NewPoint");
}
