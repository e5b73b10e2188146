// Geometry: fit a model area into a 640 x 480 window and come back.

#include <orvane/geometry/qvMappingTransformation.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

#include <iostream>

namespace {

void print_point(char const* label, qvCrdOf<double> const& p) {
    std::cout << label << "(" << p.x << ", " << p.y << ")";
}

}  // namespace

void example_geometry() {
    std::cout << "Geometry\n";
    // A model area (y up) shown whole, centred, in a window (y down).
    const qvMathRectOf<double> model(-250, 100, 750, 600);
    const qvMathRectOf<double> window(0, 0, 640, 480);
    const qvMappingTransformation to_window(model, window, /*flip=*/true, /*align=*/0,
                                            /*fit=*/true);
    const qvRestrictedTransformation to_model = qvInvert(to_window);
    std::cout << "  model (-250, 100)-(750, 600) in a 640 x 480 window, scale "
              << to_window.m0() << '\n';

    const qvCrdOf<double> corners[] = {model.lt(), model.rt(), model.lb(), model.rb()};
    char const* const names[] = {"top left:     ", "top right:    ", "bottom left:  ",
                                 "bottom right: "};
    for (int i = 0; i < 4; ++i) {
        const qvCrdOf<double> on_window = qvTransformation(to_window) * corners[i];
        std::cout << "    " << names[i];
        print_point("window ", on_window);
        print_point(", back in the model ", qvTransformation(to_model) * on_window);
        std::cout << '\n';
    }
}
