#pragma once
// qvCookieCache: the cookie side of a palette, where baked cookies are kept
// by (attribute handle, kind) until the attribute changes.
//
// Keeps true:
//  - the cache keeps the cookies themselves, each through one share of a
//    counted pointer; whoever else holds a share (an accessor) keeps the
//    cookie alive after the cache has dropped it, so dropping an entry
//    (eviction, a change of the attribute) never ends a cookie in use;
//  - cookie(handle) and shared_cookie(handle) give the very object stored;
//  - storing through the auto pointer adopts the cookie into that shared
//    ownership; a cookie handed in for a key already cached is deleted and
//    the cached one stays. A cookie the auto pointer does not own is left
//    with its owner and not cached: the cache could not share it;
//  - any cookie may be stored under any kind. Readers that cast check the
//    cookie's cookie_kind() first (qvSharedCookie does).

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvCookieCache {
public:
    virtual ~qvCookieCache() = default;

    // Stores a cookie, stamped with the current time stamp.
    virtual void cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) = 0;
    // The cached cookie, or null; a hit counts as a use.
    virtual qvCookie* cookie(qvCookieHandle const& handle) = 0;
    // The palette's current time stamp.
    virtual long time_stamp() const = 0;

    // The cached cookie with a share of its ownership, or null; a hit
    // counts as a use.
    virtual qvSafePtr<qvCookie> shared_cookie(qvCookieHandle const& handle) = 0;
    // Stores a share of the cookie, stamped with the current time stamp, in
    // place of whatever is cached under the handle (a null cookie stores
    // nothing).
    virtual void replace_cookie(qvCookieHandle const& handle, qvSafePtr<qvCookie> const& cookie) = 0;

protected:
    qvCookieCache() noexcept = default;
    qvCookieCache(qvCookieCache const&) noexcept = default;
    qvCookieCache& operator=(qvCookieCache const&) noexcept = default;
};
