#pragma once
// qvColorCube: the 6 x 6 x 6 colour cube. The entry at position
// 36 r + 6 g + b (each level 0..5) is (51 r, 51 g, 51 b) with that position
// as its index.

#include <orvane/attributes/qvColorMap.hpp>

class qvColorCube : public qvColorMap {
public:
    qvColorCube();
};
