#pragma once
// GIF files: a bitmap written as a one-image GIF87a/GIF89a file, and one
// image of a GIF file read into an indexed bitmap.
//
// The functions move only the file's bytes: write to an output stream made
// with version 0 or without a stream header, and read from a buffer that
// holds the file from its first byte.
//
// File written (little-endian 16-bit fields):
//   offset  size  meaning
//        0     6  "GIF87a", or "GIF89a" when asked for
//        6     4  screen width, height
//       10     1  0xF7: global table of 256 entries, 8-bit colour resolution
//       11     1  background colour index: the transparent index, else 0
//       12     1  pixel aspect ratio, 0
//       13   768  global colour table: red, green, blue per entry
//      781    10  image descriptor: 0x2C, left 0, top 0, width, height,
//                 0x40 when interlaced else 0
//      791     1  LZW minimum code size, 8
//      792        LZW data in sub-blocks (a length byte, up to 255 bytes),
//                 a 0-length block, then the trailer 0x3B
//
// Kept as they are: no graphic control extension is written, so a
// transparent index travels as the background colour index, and the reader
// takes a non-zero background index as transparent when no graphic control
// extension says otherwise. Monochrome bitmaps are always written black and
// white, whatever their own 2-entry map says.
//
// Errors of the GIF coder and reader are qvErrorFrom<qvGifIO*>; short input
// raises qvErrorFrom<qvInputStream> "Incomplete data on input".

class qvBitmap;
class qvBitmapReference;
class qvGifIO;
class qvInputStream;
class qvOutputStream;

// Writes the bitmap as one image. An indexed bitmap goes as it is (a map
// whose index bytes leave gaps is laid out by pixel value, black in the slots
// no entry names); RGBA and monochrome bitmaps are mapped onto the 6 x 6 x 6
// colour cube, however few colours they hold, a transparent RGBA colour
// (with alpha 255) becoming index 255, whose table entry is black. An RGBA
// colour becomes the cube colour nearest to the centre of its cell in a
// 16 x 16 x 8 lookup table, which may be a step from the one nearest to it.
// Any other bitmap type fails the assertion "false"; a width or height above
// 65535 raises "Bitmap too large for GIF" before anything is written.
void qvSaveToGif(qvOutputStream& out, qvBitmapReference const& bitmap, bool interlaced,
                 bool gif89a);

// Reads image number `image` (1 is the first) into the bitmap, which becomes
// an indexed bitmap with the image's colour map (the local table, else the
// global one, else the colour cube). Returns false, leaving the bitmap as it
// was, when the file holds fewer images. Rows the image data never reaches
// stay zero; pixel values beyond the colour table are kept as they are.
//
// Errors: "Bad input stream" (no "GIF" signature), "Invalid bitmap size on
// input" (an image beyond 0x7FFFFFFF bytes), "Invalid LZW code size on
// input", "Invalid LZW code on input", "Circular table entry", and
// "Incomplete data on input". A failed read leaves the bitmap as it was.
bool qvLoadFromGif(qvInputStream& in, qvBitmap& bitmap, int image);
