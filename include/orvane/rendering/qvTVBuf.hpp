#pragma once
// qvTVBuf: the counted handle that makes a transformed buffer over a real
// one. Copies share the buffer; the last one released deletes it.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/rendering/qvTVBufObject.hpp>

class qvTVBuf : public qvISafePtr<qvTVBufObject> {
public:
    explicit qvTVBuf(qvVBufObject& real) : qvISafePtr<qvTVBufObject>(new qvTVBufObject(real)) {}
};
