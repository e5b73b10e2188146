// The lookup-or-bake behind qvCookieAccess<T> (see qvCookieAccess.hpp), and
// the standard family's cook.

#include <orvane/attributes/qvCookieAccess.hpp>

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvStandardCook.hpp>
#include <orvane/core/qvAssertionError.hpp>

qvSafePtr<qvCookie> qvSharedCookie(qvPalette& palette, qvCookieHandle key, qvCook& cook) {
    qvSafePtr<qvCookie> cached = palette.shared_cookie(key);
    if (cached && cached->cookie_kind() == key.kind)
        return cached;
    // Nothing cached, or a cookie of another type that someone stored under
    // this key: a fresh bake takes the entry.
    orvane::auto_ptr<qvCookie> baked = cook.bake(palette, key);
    QV_ASSERT_TEXT(baked.get() != nullptr && baked.owner() && baked->cookie_kind() == key.kind,
                   "this->cookie.get()");
    qvSafePtr<qvCookie> fresh(baked.get());
    baked.release();
    palette.replace_cookie(key, fresh);
    return fresh;
}

qvCook& qvStandardCookie::cook() noexcept {
    static qvStandardCook standard_cook;
    return standard_cook;
}
