#pragma once
// The range rules of the colour constructors, shared by the RGB and grey
// colours. A component is valid in 0..1; the undefined colour has every
// given component -1. The rules are checked in the argument type (float or
// double) before any rounding, and a failure raises the assertion with the
// rule's fixed text, which callers recognise.

#include <orvane/core/qvAssertionError.hpp>

namespace qvColorRules {

template <class T>
constexpr bool unit(T x) noexcept {
    return 0 <= x && x <= 1;
}

template <class T>
void check_rgb(T r, T g, T b) {
    QV_ASSERT_TEXT((unit(r) && unit(g) && unit(b)) || (r == -1 && g == -1 && b == -1),
                   "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || "
                   "xr == -1 && xg == -1 && xb == -1");
}

template <class T>
void check_rgba(T r, T g, T b, T a) {
    QV_ASSERT_TEXT((unit(r) && unit(g) && unit(b) && unit(a)) ||
                       (r == -1 && g == -1 && b == -1 && a == -1),
                   "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 && "
                   "0 <= xa && xa <= 1 || xr == -1 && xg == -1 && xb == -1 && xa == -1");
}

inline void check_gray(float i) {
    QV_ASSERT_TEXT(unit(i) || i == -1, "0 <= xi && xi <= 1 || xi == -1");
}

inline void check_gray_alpha(float i, float a) {
    QV_ASSERT_TEXT((unit(i) && unit(a)) || (i == -1 && a == -1),
                   "0 <= xi && xi <= 1 && 0 <= xa && xa <= 1 || xi == -1 && xa == -1");
}

}  // namespace qvColorRules
