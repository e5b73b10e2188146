// Gradients: a two-colour linear gradient brush saved to a memory stream and
// read back.

#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <iostream>
#include <sstream>

namespace {

void print_color(qvRgbColor const& c) {
    std::cout << "(" << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha()
              << ")";
}

}  // namespace

void example_gradients() {
    std::cout << "Gradients\n";
    // Red at the start point fading to half-transparent blue at the end point.
    const qvLinearGradient gradient(qvCrdOf<double>(0, 0), qvRgbColor(1, 0, 0),
                                    qvCrdOf<double>(100, 50), qvRgbColor(0.0, 0.0, 1.0, 0.5));
    const qvCustomBrush brush = gradient;

    std::stringbuf memory;
    {
        qvOutputStream os(&memory, qvVersion::default_version(), true);
        brush.save(os);
    }
    std::cout << "  saved brush: " << memory.str().size()
              << " bytes (26 of them the stream header)\n";

    qvInputStream is(&memory);
    qvCustomBrush loaded;
    loaded.load(is);
    const qvLinearGradient back(loaded);
    std::cout << "  read back a linear gradient with " << back->stop_count() << " stops:\n";
    for (int i = 0; i < back->stop_count(); ++i) {
        std::cout << "    at " << back->stop_position(i) << " colour ";
        print_color(back->stop_color(i));
        std::cout << '\n';
    }
}
