#pragma once
// qvCookieHandle: the key of a cached cookie, an attribute handle and the
// kind of cookie baked from it (0 pen, 1 brush, 2 marker, 3 font). Keys
// order by attribute handle, then by kind, so the cookies of one attribute
// form one key range.

struct qvCookieHandle {
    constexpr qvCookieHandle() noexcept = default;
    constexpr qvCookieHandle(long handle_, int kind_) noexcept : handle(handle_), kind(kind_) {}

    constexpr bool operator==(qvCookieHandle const& other) const noexcept {
        return handle == other.handle && kind == other.kind;
    }
    constexpr bool operator<(qvCookieHandle const& other) const noexcept {
        return handle < other.handle || (handle == other.handle && kind < other.kind);
    }

    long handle = 0;
    int kind = 0;
};
