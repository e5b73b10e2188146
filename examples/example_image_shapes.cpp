// Image shapes and graphic lists: a generated bitmap placed twice in a
// memory scene, once as a restricted image (a fixed size on the device) and
// once as a scaled image (spanned by two vectors in the model); then a few
// shapes grouped in a graphic list that takes one line width for all.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/geometry/qvScaling.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvScaledImage.hpp>

#include <iostream>

namespace {

void print_box(char const* name, qvShapeBase const* record) {
    const qvMathRectOf<double> box = record->bbox();
    std::cout << "  " << name << ": " << record->size << "-byte record, box (" << box.x1 << ", " << box.y1
              << ")-(" << box.x2 << ", " << box.y2 << ")\n";
}

}  // namespace

void example_image_shapes() {
    std::cout << "Image shapes and graphic lists\n";
    qvMemoryScene scene;

    // A 16 x 8 RGBA gradient, at 72 dots per inch.
    qvBitmap bitmap(qvRgbaBitmap, 16, 8);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            unsigned char* const p = bitmap.pixel(x, y);
            p[0] = static_cast<unsigned char>(x * 16);
            p[1] = static_cast<unsigned char>(y * 32);
            p[2] = 128;
            p[3] = 255;
        }

    // Centred on its anchor; its extent fits a view that enlarges the model 4 times.
    const qvRestrictedImage icon(scene, qvCrdOf<double>(50, 50), bitmap, 15u, nullptr);
    qvRestrictedTransformation view = qvScaling(4);
    icon->adjust_extent(&view);
    print_box("restricted image", icon->record());

    // The same pixels stretched over a 32 x 16 parallelogram of the model.
    const qvScaledImage picture(scene, qvCrdOf<double>(0, 0), bitmap, qvCrdOf<double>(32, 0),
                                qvCrdOf<double>(4, 16), nullptr);
    print_box("scaled image    ", picture->record());

    // One line width for a group, read back from each member.
    const qvRectangle frame(scene, 0, 0, 100, 100);
    const qvEllipse ring(scene, qvCrdOf<double>(50, 50), 20.0);
    const qvRectangle inset(scene, 10, 10, 30, 30);
    qvGraphicList group;
    group->add(frame);
    group->add(ring);
    group->add(inset);
    group->line_width(1.5);
    int n = 0;
    for (qvIndirectIterator<qvGraphic> it = group->enumerate(); it; ++it) {
        auto* const attributes = qvQueryInterface<qvAttributeInterface>(it->get());
        std::cout << "  member " << ++n << " line width " << static_cast<double>(attributes->line_width())
                  << "\n";
    }
    std::cout << "  the group's width " << static_cast<double>(group->line_width()) << "\n";
}
