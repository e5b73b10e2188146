#pragma once
// qvStandardBitmapType: the three standard pixel layouts of bitmaps. Any
// other value is invalid and stands as -1 in a layout.
//   1 monochrome: one bit per pixel, eight pixels per byte, the leftmost
//     pixel in the most significant bit
//   2 indexed: one byte per pixel, a colour-map index
//   3 RGBA: four bytes per pixel in the order blue, green, red, alpha

enum qvStandardBitmapType : int {
    qvMonochromeBitmap = 1,
    qvIndexedBitmap = 2,
    qvRgbaBitmap = 3,
};
