// libFuzzer target of the BMP reader: any input ends in a bitmap or a
// qvError; an assertion, crash, leak or sanitizer report is a finding. The
// reader reads the pixel rows before it makes the bitmap, so a header that
// announces a huge image over a short input costs no more than the input:
// no input is left out for its announced size. A bitmap read must write as
// a BMP (unless its resolution does not fit the written field) that reads
// back into the same pixels.

#include "fuzz_support.hpp"

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    std::stringbuf buffer(qvfuzz::bytes_of(data, size));
    qvInputStream in(&buffer);
    qvBitmap bitmap;
    if (!qvfuzz::attempt([&] { qvLoadFromBmp(in, bitmap); })) return 0;
    // A resolution read from a field of up to 2^32 pixels per metre may not
    // fit the writer's signed field: that save fails with a qvError.
    std::string file;
    if (!qvfuzz::attempt([&] {
            file = qvfuzz::saved([&](qvOutputStream& out) { qvSaveToBmp(out, bitmap); }, qvVersion());
        }))
        return 0;
    std::stringbuf again(file);
    qvInputStream reread(&again);
    qvBitmap copy;
    if (!qvfuzz::attempt([&] { qvLoadFromBmp(reread, copy); })) std::abort();
    qvfuzz::require_same_image(bitmap, copy);
    return 0;
}
