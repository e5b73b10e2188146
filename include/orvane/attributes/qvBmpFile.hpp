#pragma once
// BMP files: a bitmap written as, and read from, an uncompressed Windows BMP
// with the 40-byte information header.
//
// The functions move only the file's bytes: write to an output stream made
// with version 0 or without a stream header, and read from a buffer that
// holds the file from its first byte.
//
// File layout (little-endian; offsets from the start of the file):
//   offset  size  meaning
//        0     2  "BM"
//        2     4  file size: 54 + 4 x colours + image size
//        6     4  reserved, 0
//       10     4  offset of the pixel rows: 54 + 4 x colours
//       14     4  information header size, 40
//       18     4  width
//       22     4  height; positive: rows stored bottom-up, negative: top-down
//       26     2  planes, 1
//       28     2  bits per pixel: written 1, 8 or 32; read 1, 4, 8, 16, 24, 32
//       30     4  compression, 0
//       34     4  image size in bytes
//       38     4  horizontal pixels per metre: dpi x 10000 / 254, truncated
//       42     4  vertical pixels per metre
//       46     4  colours used (0: 2, 16 or 256 for 1, 4 or 8 bits)
//       50     4  important colours, 0
//       54   4xn  colour table: blue, green, red, 0 per entry
//   offset        rows of 4-byte-padded pixels
//
// Kept as they are: a monochrome bitmap is always written with the table
// black, white, whatever its own 2-entry map says; 16-bit pixels read with
// their 5-bit channels (0..31) unscaled in the 8-bit channels of the RGBA
// pixel, and with alpha 0 (24-bit pixels too).

class qvBitmap;
class qvBitmapReference;
class qvInputStream;
class qvOutputStream;

// Monochrome bitmaps are written at 1 bit per pixel, indexed at 8 with their
// colour map, RGBA at 32 with no table. An indexed map whose index bytes
// leave gaps is written by pixel value: each entry in the slot of its index
// byte, black in the slots no entry names, and as many colours as the highest
// index + 1 needs. Any other bitmap type fails the assertion "false".
void qvSaveToBmp(qvOutputStream& out, qvBitmapReference const& bitmap);

// Replaces the bitmap's whole state with the file's image: 1 bit per pixel
// gives a monochrome bitmap, 4 and 8 bits an indexed one (a byte per pixel),
// 16, 24 and 32 bits an RGBA one. Pixels per metre v read as
// (v x 254 + 5000) / 10000 dpi, 72 when that is 0.
//
// Errors (qvErrorFrom<qvInputStream> unless said): "Invalid bitmap signature
// on input", "Unknown version of bitmap" (a header size other than 40),
// "Compressed and custom bitmaps not supported", "Invalid bit count of
// bitmap on input", "Invalid bitmap size on input" (width <= 0, height 0, or
// an image beyond 0x7FFFFFFF bytes), the colour map's "The number of colors
// cannot be greater then 256." (qvErrorFrom<qvColorMap>), "Invalid bitmap
// data offset on input" (pixels said to start inside the tables), "Incomplete
// data on input" and "Incomplete bitmap on input". A failed read leaves the
// bitmap as it was.
void qvLoadFromBmp(qvInputStream& in, qvBitmap& bitmap);
