#pragma once
// qvBitmapLayout: the type and pixel size of a bitmap.
//
// The pixel size is the number of bytes per pixel when positive; when
// negative it is minus the number of pixels per byte (-8 for monochrome);
// 0 means no per-pixel layout (the default layout, type -1).

#include <orvane/attributes/qvStandardBitmapType.hpp>

struct qvBitmapLayout {
    int type = -1;
    int pixel_size = 0;

    constexpr qvBitmapLayout() noexcept = default;
    constexpr qvBitmapLayout(int layout_type, int layout_pixel_size) noexcept
        : type(layout_type), pixel_size(layout_pixel_size) {}
    // A standard type keeps its value and gets its own pixel size (-8, 1, 4);
    // any other value gives (-1, 0).
    constexpr qvBitmapLayout(qvStandardBitmapType standard) noexcept
        : type(standard >= 1 && standard <= 3 ? standard : -1),
          pixel_size(standard == qvMonochromeBitmap ? -8
                     : standard == qvIndexedBitmap  ? 1
                     : standard == qvRgbaBitmap     ? 4
                                                    : 0) {}
};
