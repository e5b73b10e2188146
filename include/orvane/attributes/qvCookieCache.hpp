#pragma once
// qvCookieCache: the cookie side of a palette, where baked cookies are kept
// by (attribute handle, kind) until the attribute changes.
//
// Keeps true: a stored cookie belongs to the cache (the auto pointer hands
// its ownership over); a cookie handed in for a key already cached is
// deleted and the cached one stays.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/core/qvAutoPtr.hpp>

class qvCookieCache {
public:
    virtual ~qvCookieCache() = default;

    // Stores a cookie, stamped with the current time stamp.
    virtual void cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) = 0;
    // The cached cookie, or null.
    virtual qvCookie* cookie(qvCookieHandle const& handle) = 0;
    // The palette's current time stamp.
    virtual long time_stamp() const = 0;

protected:
    qvCookieCache() noexcept = default;
    qvCookieCache(qvCookieCache const&) noexcept = default;
    qvCookieCache& operator=(qvCookieCache const&) noexcept = default;
};
