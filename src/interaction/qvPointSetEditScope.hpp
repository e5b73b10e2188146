#pragma once
// qvPointSetEditScope: one modification guard of an in-scene shape around a
// whole point-set edit that writes point by point. Inside it the shape's
// own edits are nested and leave the reports to it, so the scene hears the
// shape's box once before and once after (the area every single report
// would have covered) instead of twice per point. Outside a scene (no
// proxy) it does nothing.
//
// Open it only when there is something to write: its opening refuses a
// read-only scene with the error every write would raise.

#include <orvane/shapes/qvInteractionTarget.hpp>
#include <orvane/shapes/qvShapeWriteLock.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <optional>

class qvPointSetEditScope {
public:
    explicit qvPointSetEditScope(qvSingleShapeProxyBase* proxy) {
        if (proxy != nullptr)
            lock_.emplace(*proxy, false, true);
    }
    qvPointSetEditScope(qvPointSetEditScope const&) = delete;
    qvPointSetEditScope& operator=(qvPointSetEditScope const&) = delete;

    // The in-scene shape proxy of `target`, or null (no target, or a shape
    // outside a scene).
    static qvSingleShapeProxyBase* proxy_of(qvInteractionTarget* target) {
        return target != nullptr ? static_cast<qvSingleShapeProxyBase*>(
                                       target->query_interface(qvInterfaceIdentity<qvSingleShapeProxyBase>()))
                                 : nullptr;
    }

private:
    std::optional<qvShapeWriteLock> lock_;
};
