// Texts: a restricted text (its glyphs a fixed size on the device) and a
// scaled text (a height in model units) added to a memory scene with one
// font attribute, measured by the library's default provider, which gives
// every byte a square cell of the font size.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>

#include <iostream>

namespace {

void print(char const* name, qvTextDataAccess& text, qvShapeBase const* record) {
    const qvExtent e = text.extent();
    const qvMathRectOf<double> box = record->bbox();
    std::cout << "  " << name << " \"" << text.text() << "\": extent width " << e.width << ", descent "
              << e.descent << ", ascent " << e.ascent << "; box (" << box.x1 << ", " << box.y1 << ")-(" << box.x2
              << ", " << box.y2 << ")\n";
}

}  // namespace

void example_texts() {
    std::cout << "Texts\n";
    qvMemoryScene scene;
    qvAttributeProxy font(scene, 0);
    font.font_style(QV_FF_SWISS, "Helvetica", 12.0f, QV_FS_UPRIGHT, QV_FW_NORMAL, qvFontAttribute{});

    // 12-unit glyphs on a device that shows the model 4 times enlarged: in
    // the model the box is a quarter of the device size.
    qvRestrictedTransformation view = qvScaling(4);
    const qvRestrictedText label(scene, qvCrdOf<double>(10, 20), "label", 12u, &font, &view);
    print("restricted", *label, label->record());

    // Height 2, stretched by 1.5 and centred on its anchor. The default
    // provider accepts no size mode, so the extent is the measure at the
    // font size times the height; a host provider accepting mode 3 would
    // make the font's ascent and descent exactly the height.
    const qvScaledText title(scene, qvCrdOf<double>(0, 0), "title", 2.0, 1.5f, 15u, &font);
    print("scaled    ", *title, title->record());

    // The scaled text grows with its height; the restricted one fits another view.
    title->height(4.0);
    print("taller    ", *title, title->record());
    view = qvScaling(0.5);
    label->adjust_extent(&view);
    print("zoomed out", *label, label->record());
}
