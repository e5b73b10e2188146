#pragma once
// qvCook: a baker of cookies from the values of a palette's attributes.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/core/qvAutoPtr.hpp>

class qvPalette;

class qvCook {
public:
    virtual ~qvCook() = default;

    // A new cookie of the handle's kind for its attribute, owned by the
    // returned pointer; null for a kind the cook does not bake.
    virtual orvane::auto_ptr<qvCookie> bake(qvPalette& palette, qvCookieHandle handle) = 0;

protected:
    qvCook() noexcept = default;
    qvCook(qvCook const&) noexcept = default;
    qvCook& operator=(qvCook const&) noexcept = default;
};
