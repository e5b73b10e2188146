#pragma once
// qvCookieAccess<T>: how drawing code gets the cookie of one kind for an
// attribute: from the palette's cookie cache when present, else baked by
// the cook of T's family and stored in the cache. qvSharedCookie is the one
// lookup-or-bake behind it, for every family of cookies: a family names
// its cook (T::cook()) and its kinds (T::kind), nothing more.
//
// Keeps true:
//  - the accessor shares ownership of its cookie with the cache, so the
//    cookie stays valid while the accessor lives, even when a change of the
//    attribute or an eviction drops it from the cache; the next accessor
//    after such a drop bakes a new one;
//  - the cookie an accessor holds is the object the cache holds:
//    palette.cookie(key) gives the same pointer while the entry lasts;
//  - an (attribute, kind) pair is baked once and then found in the cache
//    until the cache drops it (hits, LRU order and invalidation are the
//    cache's);
//  - nothing is cast that was not checked: a cached cookie whose
//    cookie_kind() is not the key's kind (one stored there by someone else)
//    is never handed out; a fresh bake takes its entry. A cook that gives
//    no cookie, or one of another kind, fails the assertion
//    "this->cookie.get()" and nothing is cached.

#include <orvane/attributes/qvCook.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>
#include <orvane/core/qvSafePtr.hpp>

class qvPalette;

// The cookie of the key, found in the palette's cache or baked by `cook`
// and cached; its cookie_kind() is key.kind.
qvSafePtr<qvCookie> qvSharedCookie(qvPalette& palette, qvCookieHandle key, qvCook& cook);

template <class T>
class qvCookieAccess {
    static_assert(T::kind != qvCookie::unknown_kind, "a cookie family's kinds are known kinds");

public:
    qvCookieAccess(qvPalette& palette, long handle)
        : cookie(as_t(qvSharedCookie(palette, qvCookieHandle(handle, T::kind), T::cook()))) {}

    qvSafePtr<T> cookie;

private:
    // Safe because qvSharedCookie checked the cookie's kind.
    static qvSafePtr<T> as_t(qvSafePtr<qvCookie> const& checked) {
        return qvSafePtr<T>(checked, static_cast<T*>(checked.get()));
    }
};
