// qvColorCube: the 216-entry web colour cube; see the header.

#include <orvane/attributes/qvColorCube.hpp>

qvColorCube::qvColorCube() : qvColorMap(216) {
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) {
                const int position = 36 * r + 6 * g + b;
                data()[position] = qvColorMapEntry(qvBitmapColor(51 * r, 51 * g, 51 * b),
                                                   static_cast<unsigned char>(position));
            }
}
