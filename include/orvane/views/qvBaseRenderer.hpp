#pragma once
// qvBaseRenderer: the counted handle of any renderer; what renderer
// factories return and what a view manager is given. See qvViewHandle for
// the rules.

#include <orvane/views/qvBaseRendererObject.hpp>
#include <orvane/views/qvViewHandle.hpp>

class qvBaseRenderer : public qvViewHandle<qvBaseRendererObject, qvBaseRendererObject> {
public:
    using qvViewHandle::qvViewHandle;
};
