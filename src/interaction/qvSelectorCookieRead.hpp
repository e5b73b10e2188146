#pragma once
// The selector cookies of a record's attribute as the tests read them: from
// the port's palette through its cookie cache, or, when the port has no
// palette or the record no attribute, the values an attribute without
// properties bakes. The result holds its cookie: the cache may drop the
// entry meanwhile, never free it.

#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/interaction/qvSelector.hpp>
#include <orvane/interaction/qvSelectorCookie.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

template <class T>
class qvSelectorCookieOf {
public:
    qvSelectorCookieOf(qvShapeBase const& record, qvSelector::Info info) {
        if (info.palette != nullptr && record.attribute_handle != 0)
            held_ = qvCookieAccess<T>(*info.palette, record.attribute_handle).cookie;
    }
    T const& operator*() const noexcept { return held_ ? *held_ : defaults(); }
    T const* operator->() const noexcept { return &**this; }

private:
    static T const& defaults() noexcept {
        static T const made = [] {
            T cookie;
            if constexpr (requires { cookie.filled; })
                cookie.filled = false;  // no fill style bakes unfilled
            return cookie;
        }();
        return made;
    }

    qvSafePtr<T> held_;
};
