#pragma once
// qvDriverBitmapVBuf: a driver that makes buffers over bitmaps. Asked of
// the driver through query_interface; a null answer means the driver makes
// none, and a null buffer that the image type is not supported.
//
// Keeps true: no bases, only the operations the library calls and a
// virtual destructor, and an identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvColorMapReference;
class qvVBufObject;

class qvDriverBitmapVBuf {
public:
    virtual ~qvDriverBitmapVBuf() = default;
    virtual bool supports(int image_type) = 0;
    virtual qvISafePtr<qvVBufObject> new_bitmap_vbuf(int type, long width, long height,
                                                     qvColorMapReference const& colors) = 0;
};

QV_INTERFACE_NAME(qvDriverBitmapVBuf);
