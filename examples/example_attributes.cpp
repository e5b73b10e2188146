// Attribute proxies: pen, brush and font values set through one proxy, the
// attribute shared with a second proxy, then changed through the first
// (which gets a private copy), and the pen and brush cookies both bake.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include <iostream>

namespace {

std::ostream& operator<<(std::ostream& os, qvRgbColor const& c) {
    return os << '(' << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha() << ')';
}

void print_cookies(char const* who, qvAttributeProxy& proxy) {
    qvPalette& palette = *proxy.attribute_palette();
    const qvCookieAccess<qvStandardPenCookie> pen(palette, proxy.attribute_handle());
    const qvCookieAccess<qvStandardBrushCookie> brush(palette, proxy.attribute_handle());
    std::cout << "  " << who << " (attribute " << proxy.attribute_handle() << "): pen style "
              << pen.cookie->line_style << " width " << pen.cookie->line_width << " colour "
              << pen.cookie->color << "; brush style " << brush.cookie->fill_style << " colour "
              << brush.cookie->color << (brush.cookie->empty ? " (empty)" : "") << '\n';
}

}  // namespace

void example_attributes() {
    std::cout << "Attribute proxies\n"
              << "  (style codes: 0 draws nothing, 1 is unset, 6 a patterned line, 8 and 9 image and\n"
              << "  brush fills; the rest, like 2 here, are for drivers; colours: red, green, blue, alpha)\n";
    qvStandardPalette palette;
    qvAttributeProxy first(palette, 0);
    first.line_style(qvLineStyle{2});
    first.line_color(0.0f, 0.0f, 1.0f);
    first.line_width(1.5);
    first.fill_style(qvFillStyle{2});
    first.fill_color(0.75f);
    first.font_style(QV_FF_SWISS, "Sans", 12.0f, QV_FS_UPRIGHT, QV_FW_BOLD, qvFontAttribute{});

    qvAttributeProxy second(palette, 0);
    second.connect_attribute(first);
    std::cout << "  shared: both hold attribute " << second.attribute_handle() << ", font "
              << second.font_name() << ' ' << static_cast<float>(second.font_size()) << '\n';

    first.line_color(1.0f, 0.0f, 0.0f);  // shared: the change goes to a private copy
    first.line_width(3.0);
    print_cookies("first", first);
    print_cookies("second", second);
}
