// Mapping control: one control keeps the scene layers of two views in step.
// The left view's layer is linked with no offset, the right view's with a
// device offset of (200, 0), so the right view shows every model point 200
// units to the right of where the left view shows it. The control is
// resized to a 400 x 300 window, zoomed by 2 about the model origin and
// scrolled by (30, 0) model units; after each step both layers' mappings
// (x scale, y scale, x offset, y offset) are printed.

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <iostream>

namespace {

void print_mappings(char const* step, qvViewSceneLayer const& left, qvViewSceneLayer const& right) {
    auto text = [](qvRestrictedTransformation const& m) {
        std::cout << '(' << m.m0() << ", " << m.m3() << ", " << m.m4() << ", " << m.m5() << ')';
    };
    std::cout << "  " << step << ": left ";
    text(left->mapping());
    std::cout << ", right ";
    text(right->mapping());
    std::cout << '\n';
}

}  // namespace

void example_mapping() {
    std::cout << "Mapping control\n";
    qvMemoryScene scene;
    qvViewManager left_view = qvViewCreator::create();
    qvViewManager right_view = qvViewCreator::create();
    qvViewSceneLayer left(scene, -1);
    qvViewSceneLayer right(scene, -1);
    left_view->add(left, qvOrderFirst);
    right_view->add(right, qvOrderFirst);

    qvMappingControl control = qvMappingControlObject::create();
    control->add(left, 3, {0, 0});
    control->add(right, 3, {200, 0});
    // Linking pushes nothing; setting the control's mapping pushes it, with
    // each layer's offset, into both.
    control->mapping(control->mapping());
    print_mappings("linked", left, right);

    control->resize(qvMathRectOf<double>(0, 0, 400, 300));
    print_mappings("resized to 400 x 300", left, right);
    control->zoom(2);
    print_mappings("zoomed by 2", left, right);
    control->scroll(30, 0);
    print_mappings("scrolled by (30, 0)", left, right);

    const qvCrdOf<double> p = control->model_to_device({50, 50});
    std::cout << "  model point (50, 50) is at (" << p.x << ", " << p.y << ") in the left view and ("
              << right->scene_to_device(qvCrdOf<double>(50, 50)).x << ", "
              << right->scene_to_device(qvCrdOf<double>(50, 50)).y << ") in the right one\n";
}
