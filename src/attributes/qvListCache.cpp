// The library's instances of the list cache: cookies by cookie handle, held
// with shared ownership as palettes keep them, and with the owning auto
// pointer that bakers hand over.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvListCache.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvSafePtr.hpp>

template class qvListCache<qvCookieHandle, qvSafePtr<qvCookie>>;
template class qvListCache<qvCookieHandle, orvane::auto_ptr<qvCookie>>;
