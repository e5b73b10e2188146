// The cookie lookup of qvCookieAccess<T> (see qvCookieShare.hpp).

#include "attributes/qvCookieShare.hpp"

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvStandardCook.hpp>
#include <orvane/core/qvAssertionError.hpp>

std::shared_ptr<qvStandardCookie> qvStandardCookieShare(qvPalette& palette, qvCookieHandle key,
                                                        qvCook& cook) {
    if (qvCookie* const cached = palette.cookie(key))
        return static_cast<qvCookieShare*>(cached)->cookie;
    orvane::auto_ptr<qvCookie> baked = cook.bake(palette, key);
    QV_ASSERT_TEXT(baked.get() != nullptr, "this->cookie.get()");
    std::shared_ptr<qvStandardCookie> cookie(static_cast<qvStandardCookie*>(baked.release()));
    cookie->time_stamp = palette.time_stamp();
    palette.cookie(key, orvane::auto_ptr<qvCookie>(new qvCookieShare(cookie)));
    return cookie;
}

std::shared_ptr<qvStandardCookie> qvStandardCookieShare(qvPalette& palette, qvCookieHandle key) {
    static qvStandardCook standard_cook;
    return qvStandardCookieShare(palette, key, standard_cook);
}
