#pragma once
// qvBitmap: an owning, persistent bitmap whose copies share pixels and
// colours.
//
// Keeps true: the reference part always points at this bitmap's own header
// and into its two storages (null where there is none). The pixel storage is
// a counted block of exactly size() bytes, the colour storage a counted
// array of exactly color_count entries; copies share both (writing a pixel
// through one copy changes every copy), and only colormap(...), assignment
// and load detach a bitmap from them. New storage is zero-filled. Every
// operation that fails leaves the bitmap as it was; a failed allocation
// throws std::bad_alloc.
//
// Pixels lie as qvBitmapReference lays them out: rows top first (row 0 is
// the top row, unlike a BMP file's bottom-up rows), each padded to a
// multiple of 4 bytes.
//
// Stream form (little-endian, no version of its own):
//   offset        size           meaning
//        0          48           the header, field by field as in qvBitmapHeader
//       48          size()       the pixels, raw
//   48 + size()     4 x colours  colour entries: red, green, blue, index

#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvStreamPersistence.hpp>

#include <vector>

class qvBitmap : public qvBitmapReference, public virtual qvStreamPersistence {
public:
    // Default header, no storage.
    qvBitmap() noexcept;
    // Zeroed pixels, no colours. A negative size, or an image beyond
    // 0x7FFFFFFF bytes, raises qvErrorFrom<qvBitmapHeader> "Invalid bitmap
    // size".
    qvBitmap(qvBitmapLayout const& layout, int width, int height);
    // Copies the header, the pixels and the colours (each when given) into
    // new storage. Sizes are checked as above; a colour count outside 0..256
    // raises the colour map's 256 error.
    qvBitmap(qvBitmapReference const& source);
    // Shares both storages.
    qvBitmap(qvBitmap const& other) noexcept;
    ~qvBitmap() override = default;

    qvBitmap& operator=(qvBitmap const& other) noexcept;
    qvBitmap& operator=(qvBitmapReference const& source);

    using qvBitmapReference::colormap;
    // New colour storage holding a copy of the map; the copies of this bitmap
    // keep their colours. More than 256 entries raise the colour map's error.
    void colormap(qvColorMapReference const& map);

    // Identity: both share one pixel storage (or both have none).
    bool operator==(qvBitmap const& other) const noexcept { return pixels_ == other.pixels_; }

    // Load validates the header before allocating ("Invalid bitmap header on
    // input") and reads the pixels in bounded pieces; short data raises
    // "Incomplete data on input". Both are qvErrorFrom<qvInputStream>.
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

private:
    template <class T>
    struct Storage : qvRefBase {
        explicit Storage(std::size_t count) : items(count) {}
        std::vector<T> items;
    };
    using PixelStorage = Storage<unsigned char>;
    using ColorStorage = Storage<qvColorMapEntry>;

    void point_at_storage() noexcept;
    static qvISafePtr<PixelStorage> read_pixels(qvInputStream& is, long count);

    qvBitmapHeader own_header_;
    qvISafePtr<PixelStorage> pixels_;
    qvISafePtr<ColorStorage> colors_held_;
};
