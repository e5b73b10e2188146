#pragma once
// qvGifIO: the variable-length-code LZW coder and decoder of GIF image data,
// and the one raise of every GIF error (qvErrorFrom<qvGifIO*>).
//
// Image data on the file:
//   size  meaning
//      1  minimum code size m (written 8; read 1..11)
//    n+1  sub-blocks: a length byte n (1..255), then n bytes of codes packed
//         least significant bit first
//      1  a 0-length sub-block
// Codes start m + 1 bits wide and grow to 12; code 2^m clears the table,
// 2^m + 1 ends the image.
//
// Pixels are one byte each in the rows of an indexed bitmap (row stride =
// the bitmap's row bytes), taken in qvGifRowOrder.
//
// Keeps true: the coder's tables live for one image; the decoder never
// writes outside the target's rows and never reads a table entry it has not
// made, whatever the input says.

#include <cstdint>

class qvBitmapReference;
class qvInputStream;
class qvOutputStream;

// Rows top to bottom, or in the four interlace passes starting at rows 0,
// 4, 2, 1 with steps 8, 8, 4, 2; rows at or beyond the height are skipped.
class qvGifRowOrder {
public:
    qvGifRowOrder(int height, bool interlaced) noexcept;

    bool done() const noexcept { return row_ >= height_; }
    int row() const noexcept { return row_; }
    void next() noexcept;

private:
    void settle() noexcept;   // moves past passes that start below the last row

    int height_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
};

class qvGifIO {
public:
    [[noreturn]] static void raise(char const* message);

    // Writes the image data of an indexed bitmap: code size 8, its pixels in
    // row order, the 0-length sub-block. A bitmap without pixels gives the
    // clear code and the end code only.
    static void write_image_data(qvOutputStream& out, qvBitmapReference const& indexed, bool interlaced);

    // Reads image data up to and including its 0-length sub-block, storing
    // the decoded pixels into the rows of `target` (an indexed bitmap). Rows
    // the data never reaches are left as they are. Raises "Invalid LZW code
    // size on input", "Invalid LZW code on input", "Circular table entry",
    // and "Incomplete data on input" for missing bytes.
    static void read_image_data(qvInputStream& in, qvBitmapReference const& target, bool interlaced);

    // Skips sub-blocks up to and including the 0-length one.
    static void skip_sub_blocks(qvInputStream& in);
};
