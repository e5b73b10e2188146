#pragma once
// The optional interfaces of a driver, asked of the driver object through
// query_interface; a null answer means the capability is absent and the
// caller takes its fallback path. They have no bases: an implementing
// driver offers each one from its own query_interface.
//
// Keeps true: each holds only the operations the library calls (the rest
// of a host's protocol is the host's business) and a virtual destructor;
// each has its identity under its own class name.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvColorMap;
class qvColorMapReference;
class qvPalette;
class qvVBufObject;

class qvDriverInteractiveOptions {
public:
    virtual ~qvDriverInteractiveOptions() = default;
};

class qvDriverSubsystems {
public:
    virtual ~qvDriverSubsystems() = default;
};

// A driver that caches device objects per attribute: told when an
// attribute, or every attribute of a palette, is gone.
class qvDriverAttributeCache {
public:
    virtual ~qvDriverAttributeCache() = default;
    virtual void drop(qvPalette* palette, long handle) = 0;
    virtual void drop_all(qvPalette* palette) = 0;
};

class qvDriverShapeCache {
public:
    virtual ~qvDriverShapeCache() = default;
};

// A driver that makes buffers over bitmaps; a null buffer means the image
// type is not supported.
class qvDriverBitmapVBuf {
public:
    virtual ~qvDriverBitmapVBuf() = default;
    virtual bool supports(int image_type) = 0;
    virtual qvISafePtr<qvVBufObject> new_bitmap_vbuf(int type, long width, long height,
                                                     qvColorMapReference const& colors) = 0;
};

class qvDriverColorMap {
public:
    virtual ~qvDriverColorMap() = default;
    virtual void colors(qvColorMap const& map) = 0;
    // Hands the map to colors() and answers 1.
    long load_colors(qvColorMap const& map);
    void unload_colors(long) noexcept {}
};

class qvDriverBackground {
public:
    virtual ~qvDriverBackground() = default;
};

class qvDriverFontMapping {
public:
    virtual ~qvDriverFontMapping() = default;
};

QV_INTERFACE_NAME(qvDriverInteractiveOptions);
QV_INTERFACE_NAME(qvDriverSubsystems);
QV_INTERFACE_NAME(qvDriverAttributeCache);
QV_INTERFACE_NAME(qvDriverShapeCache);
QV_INTERFACE_NAME(qvDriverBitmapVBuf);
QV_INTERFACE_NAME(qvDriverColorMap);
QV_INTERFACE_NAME(qvDriverBackground);
QV_INTERFACE_NAME(qvDriverFontMapping);
