#pragma once
// qvRenderer: the counted handle of a renderer that can make like
// renderers. See qvViewHandle for the rules.

#include <orvane/views/qvBaseRenderer.hpp>
#include <orvane/views/qvRendererObject.hpp>

class qvRenderer
    : public qvViewHandle<qvRendererObject, qvBaseRendererObject, qvBaseRenderer> {
public:
    using qvViewHandle::qvViewHandle;
};
