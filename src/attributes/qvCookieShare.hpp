#pragma once
// The cookie lookup behind qvCookieAccess<T>, with the cook to bake a miss
// given by the caller (the accessors give the process-wide standard cook).
//
// A cache entry of a standard cookie is a qvCookieShare: a cookie of its
// own that holds one share of the baked cookie, so that the cache and any
// number of accessors own the cookie together. The share carries the time
// stamp the palette gives it; the baked cookie is stamped with the same.

#include <orvane/attributes/qvCook.hpp>
#include <orvane/attributes/qvCookieAccess.hpp>

#include <memory>

struct qvCookieShare final : qvCookie {
    explicit qvCookieShare(std::shared_ptr<qvStandardCookie> cookie_) noexcept
        : cookie(std::move(cookie_)) {}
    std::shared_ptr<qvStandardCookie> cookie;
};

std::shared_ptr<qvStandardCookie> qvStandardCookieShare(qvPalette& palette, qvCookieHandle key,
                                                        qvCook& cook);
