#pragma once
// qvCookieAccess<T>: how drawing code gets the standard cookie of one kind
// for an attribute: from the palette's cookie cache when present, else
// baked by the process-wide standard cook and stored in the cache.
//
// Keeps true:
//  - the accessor shares ownership of its cookie with the cache, so the
//    cookie stays valid while the accessor lives, even when a change of the
//    attribute or an eviction drops it from the cache; the next accessor
//    after such a drop bakes a new one;
//  - an (attribute, kind) pair is baked once and then found in the cache
//    until the cache drops it (hits, LRU order and invalidation are the
//    cache's);
//  - the cache entries of kinds 0 to 3 are the standard cookies' shares,
//    stored only through this accessor; nothing else may store cookies of
//    those kinds in a palette.

#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>

#include <memory>

class qvPalette;

// The shared cookie of the key, found in the palette's cache or baked by the
// standard cook and cached; a null bake fails the assertion
// "this->cookie.get()".
std::shared_ptr<qvStandardCookie> qvStandardCookieShare(qvPalette& palette, qvCookieHandle key);

template <class T>
class qvCookieAccess {
public:
    qvCookieAccess(qvPalette& palette, long handle)
        : cookie(std::static_pointer_cast<T>(
              qvStandardCookieShare(palette, qvCookieHandle(handle, T::kind)))) {}

    std::shared_ptr<T> cookie;
};
