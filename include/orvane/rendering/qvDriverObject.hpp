#pragma once
// qvDriverObject: a host's output device, the maker of buffers. A host
// implements it for its screens and printers; the dump driver is the
// library's own. Optional capabilities (qvDriverColorMap and its kin) are
// found through query_interface, never by the language's type checks.
//
// Keeps true: the object is counted (qvISafePtr<qvDriverObject>) and carries
// no data of its own, so copying an interface copies nothing; buffer types
// are numbered 0 .. available() - 1; a buffer that new_vbuf gives with a
// width or height that is not positive means failure.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvVBufObject;

// Property bits of a buffer type (info()) and of a buffer.
inline constexpr unsigned qvVBufInfoNoMemoryBuffer = 0x2;    // cannot serve as an off-screen memory buffer
inline constexpr unsigned qvVBufInfoPlacementOffset = 0x10;  // accepts a placement offset

class qvDriverObject : public virtual qvRefBase, public virtual qvDynamicInterface {
public:
    virtual int available() const = 0;
    virtual unsigned info(int type) const = 0;
    virtual qvISafePtr<qvVBufObject> new_master_vbuf() = 0;
    virtual qvISafePtr<qvVBufObject> new_vbuf(int type, long width, long height,
                                              qvISafePtr<qvVBufObject> const& compatible) = 0;
    virtual bool initialized() const = 0;
    virtual double h_quantum() const = 0;
    virtual double v_quantum() const = 0;
    virtual double h_dpi() const = 0;
    virtual double v_dpi() const = 0;
    virtual void added_width(long width) = 0;
    virtual long added_width() const = 0;

protected:
    qvDriverObject() noexcept = default;
    qvDriverObject(qvDriverObject const&) noexcept : qvRefBase(), qvDynamicInterface() {}
    qvDriverObject& operator=(qvDriverObject const&) noexcept { return *this; }
};

QV_INTERFACE_NAME(qvDriverObject);
