// Notification: a receiver connected to a scene publisher hears nothing
// while the scene's notification is suspended, and one whole refresh per
// sender when it is resumed.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/shapes/qvScenePublisher.hpp>

#include <iostream>
#include <string>

namespace {

class AreaPrinter : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    ~AreaPrinter() override { disconnect_all(); }

    void invalidate() override { std::cout << "    everything changed\n"; }
    void invalidate(qvMathRectOf<double> const& r, int layer) override {
        std::cout << "    area (" << r.x1 << ", " << r.y1 << ")-(" << r.x2 << ", " << r.y2
                  << ") changed in " << (layer < 0 ? "every layer" : "layer " + std::to_string(layer))
                  << '\n';
    }
};

// What a scene does when a shape moves: nothing while suspended.
void shape_moved(qvScenePublisher& scene, qvMathRectOf<double> const& box, int layer) {
    if (scene.update_notification())
        scene.rect_sender().invalidate(box, layer);
}

}  // namespace

void example_notification() {
    std::cout << "Notification\n";
    qvScenePublisher scene;
    AreaPrinter printer;
    printer.connect(scene.rect_sender());

    std::cout << "  a shape moves in layer 2:\n";
    shape_moved(scene, qvMathRectOf<double>(0, 0, 10, 5), 2);

    scene.update_notification(false, false);
    std::cout << "  suspended; three shapes move:\n";
    for (int i = 1; i <= 3; ++i)
        shape_moved(scene, qvMathRectOf<double>(i, i, i + 1, i + 1), -1);
    std::cout << "    (nothing)\n";

    std::cout << "  resumed:\n";
    scene.update_notification(true, false);
}
