#pragma once
// qvBitmapClippingBase: what the two bitmap clippings share: one bitmap,
// one transformation t from the caller's device coordinates into bitmap
// space, and the standard type of the bitmaps they produce.
//
// Bitmap space has its origin at the bitmap's lower-left corner and y
// pointing up: storage row r of a bitmap of height h covers y from
// h - r - 1 to h - r, so row 0 is the top row.
//
// Keeps true: t's inverse is computed once, at construction (the identity
// when t cannot be inverted); the bitmap is a reference, not a copy: its
// header, pixels and colours must outlive the clipping. Copies copy all
// four members.

#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/attributes/qvStandardBitmapType.hpp>
#include <orvane/geometry/qvTransformation.hpp>

class qvRegion;

class qvBitmapClippingBase {
public:
    virtual ~qvBitmapClippingBase() = default;

    // Works out, for the region (device coordinates), the part of the
    // bitmap to produce.
    virtual void set_region(qvRegion const& region) = 0;
    // Forgets the region.
    virtual void set_region() = 0;
    virtual bool empty() const = 0;

    qvTransformation const& transformation() const noexcept { return transformation_; }
    qvTransformation const& inverse_transformation() const noexcept { return inverse_; }
    qvBitmapReference const& bitmap() const noexcept { return bitmap_; }
    qvStandardBitmapType output_type() const noexcept { return output_type_; }

protected:
    qvBitmapClippingBase(qvBitmapReference const& bitmap, qvTransformation const& t,
                         qvStandardBitmapType output_type) noexcept;
    qvBitmapClippingBase(qvBitmapClippingBase const&) = default;
    qvBitmapClippingBase& operator=(qvBitmapClippingBase const&) = default;

    // `to` gets the transparent value of the bitmap, when it has one: the
    // colour for an RGBA output, the index otherwise.
    void copy_transparency(qvBitmapReference& to) const;

private:
    qvTransformation transformation_;
    qvTransformation inverse_;
    qvBitmapReference bitmap_;
    qvStandardBitmapType output_type_;
};
