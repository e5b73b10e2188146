#pragma once
// qvShapeReadLock: the read guard of an in-scene shape. Opened with check,
// it refuses a proxy without a record with qvErrorFrom<qvSingleShapeProxyBase>
// "Attempt to query uninitialized shape"; it changes and reports nothing.

#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

class qvShapeReadLock {
public:
    qvShapeReadLock(qvSingleShapeProxyBase& proxy, bool check) : proxy_(&proxy) {
        if (check && proxy.record() == nullptr)
            qvSingleShapeProxyBase::raise_uninitialized();
    }
    qvShapeReadLock(qvShapeReadLock const&) = delete;
    qvShapeReadLock& operator=(qvShapeReadLock const&) = delete;

    qvSingleShapeProxyBase* proxy() const noexcept { return proxy_; }

private:
    qvSingleShapeProxyBase* proxy_;
};
