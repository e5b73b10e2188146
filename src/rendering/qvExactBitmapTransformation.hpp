#pragma once
// The 1:1 workers: the source rectangle SR (the clipping moved into the
// source) is read pixel for pixel, row SR.top + j and column SR.left + i
// going to destination pixel (DF.left + i, DF.top + j) and mask pixel
// (MF.left + i, MF.top + j). The transformation and the clipping are not
// used.
//
// qvCopyBitmapTransformation<T>: the rows copied as blocks of destination
// width pixels (T unsigned char or qvRgbaQuad), alpha included.
//
// qvExactBitmapTransformation<S, D, m>, with conversion:
//   indexed to indexed  the value through the index-to-index table (built
//                       for the call from the source's colour map and the
//                       RGB-to-index table; inactive it passes values on)
//   indexed to RGBA     the colour-map entry as (blue, green, red, 255)
//   RGBA to indexed     the RGB-to-index table's cell of the quad's colour
//   RGBA to RGBA        the quad with its alpha (only with a mask)
// Without a mask no transparency is tested. With one, a source pixel equal
// to the source's transparent value (when it has one) becomes the
// destination's transparent value with mask bit 0; every other pixel is
// converted, mask bit 1.

#include <orvane/attributes/qvIndexToIndex.hpp>
#include <orvane/attributes/qvRgbToIndex.hpp>
#include <orvane/rendering/qvBitmapTransformationBase.hpp>

#include "rendering/qvBitmapPixels.hpp"

#include <cstring>
#include <type_traits>

template <class T>
class qvCopyBitmapTransformation final : public qvBitmapTransformationBase {
public:
    constexpr qvCopyBitmapTransformation() noexcept = default;

    void transform(qvBitmapTransformation const&, qvBitmapReference const& source,
                   qvBitmapFrame const& source_rect, qvBitmapFrame const&,
                   qvBitmapReference const& destination, qvBitmapFrame const& destination_frame,
                   qvBitmapReference const&, qvBitmapFrame const&,
                   qvRgbToIndex const*) const override {
        const qvBitmapPixels::View<T> src(source, source_rect);
        const qvBitmapPixels::View<T> dst(destination, destination_frame);
        if (destination_frame.width() <= 0) return;   // rows of nothing; maybe no storage
        const std::size_t bytes = sizeof(T) * static_cast<std::size_t>(destination_frame.width());
        for (int j = 0; j < destination_frame.height(); ++j) {
            // memmove: a bitmap may be copied onto itself.
            std::memmove(dst.row(dst.top + j) + sizeof(T) * static_cast<std::size_t>(dst.left),
                         src.row(src.top + j) + sizeof(T) * static_cast<std::size_t>(src.left),
                         bytes);
        }
    }

    static const qvCopyBitmapTransformation instance;
};

template <class T>
const qvCopyBitmapTransformation<T> qvCopyBitmapTransformation<T>::instance{};

template <class S, class D, int m>
class qvExactBitmapTransformation final : public qvBitmapTransformationBase {
public:
    constexpr qvExactBitmapTransformation() noexcept = default;

    void transform(qvBitmapTransformation const&, qvBitmapReference const& source,
                   qvBitmapFrame const& source_rect, qvBitmapFrame const&,
                   qvBitmapReference const& destination, qvBitmapFrame const& destination_frame,
                   qvBitmapReference const& mask, qvBitmapFrame const& mask_frame,
                   qvRgbToIndex const* table) const override;

    static const qvExactBitmapTransformation instance;
};

template <class S, class D, int m>
const qvExactBitmapTransformation<S, D, m> qvExactBitmapTransformation<S, D, m>::instance{};

namespace qvExactBitmapDetail {

using namespace qvBitmapPixels;

// The conversion of one source value, made once per call.
template <class S, class D>
class Convert;

template <>
class Convert<unsigned char, unsigned char> {
public:
    Convert(qvBitmapReference const& source, qvRgbToIndex const* table)
        : indices_(source.colormap(), table) {}
    unsigned char operator()(unsigned char v) const noexcept { return indices_(v); }

private:
    qvIndexToIndex indices_;
};

template <>
class Convert<unsigned char, qvRgbaQuad> {
public:
    Convert(qvBitmapReference const& source, qvRgbToIndex const*) : colors_(source.colormap()) {}
    qvRgbaQuad operator()(unsigned char v) const { return from_rgb<qvRgbaQuad>(colors_(v), nullptr); }

private:
    SourceColors colors_;
};

template <>
class Convert<qvRgbaQuad, unsigned char> {
public:
    Convert(qvBitmapReference const&, qvRgbToIndex const* table) : table_(table) {
        QV_ASSERT_TEXT(table != nullptr, "table");
    }
    unsigned char operator()(qvRgbaQuad q) const noexcept { return (*table_)(q.red(), q.green(), q.blue()); }

private:
    qvRgbToIndex const* table_;
};

template <>
class Convert<qvRgbaQuad, qvRgbaQuad> {
public:
    Convert(qvBitmapReference const&, qvRgbToIndex const*) noexcept {}
    qvRgbaQuad operator()(qvRgbaQuad q) const noexcept { return q; }
};

}  // namespace qvExactBitmapDetail

template <class S, class D, int m>
void qvExactBitmapTransformation<S, D, m>::transform(
    qvBitmapTransformation const&, qvBitmapReference const& source, qvBitmapFrame const& source_rect,
    qvBitmapFrame const&, qvBitmapReference const& destination,
    qvBitmapFrame const& destination_frame, qvBitmapReference const& mask,
    qvBitmapFrame const& mask_frame, qvRgbToIndex const* table) const {
    using namespace qvExactBitmapDetail;
    const View<S> src(source, source_rect);
    const View<D> dst(destination, destination_frame);
    const View<bool> bits(mask, mask_frame);
    const Convert<S, D> convert(source, table);
    const int width = destination_frame.width();
    if (width <= 0) return;   // rows of nothing; maybe no storage
    for (int j = 0; j < destination_frame.height(); ++j) {
        unsigned char const* srow = src.row(src.top + j);
        unsigned char* drow = dst.row(dst.top + j);
        unsigned char* mrow = m ? bits.row(bits.top + j) : nullptr;
        for (int i = 0; i < width; ++i) {
            const S v = Access<S>::get(srow, src.left + i);
            if constexpr (m != 0) {
                const bool drawn = src.opaque(v);
                Access<D>::put(drow, dst.left + i, drawn ? convert(v) : dst.transparent);
                Access<bool>::put(mrow, bits.left + i, drawn);
            } else {
                Access<D>::put(drow, dst.left + i, convert(v));
            }
        }
    }
}
