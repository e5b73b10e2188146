#pragma once
// qvImageDataAccess: the bitmap that an image shape carries inside its
// record. bitmap() is a view into the record, valid until the record is
// reallocated or its proxy lets it go.

#include <orvane/attributes/qvBitmapLayout.hpp>
#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/shapes/qvAnchorDataAccess.hpp>

class qvImageDataAccess : public virtual qvAnchorDataAccess {
public:
    // Shapes the record for a bitmap of that layout, size and colour count.
    virtual void bitmap(qvBitmapLayout layout, int width, int height, int colours) = 0;
    virtual qvBitmapReference bitmap() = 0;
    // Copies a bitmap into the record.
    virtual void bitmap(qvBitmapReference const& source) = 0;

protected:
    qvImageDataAccess() noexcept = default;
    qvImageDataAccess(qvImageDataAccess const&) noexcept = default;
    qvImageDataAccess& operator=(qvImageDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvImageDataAccess);
