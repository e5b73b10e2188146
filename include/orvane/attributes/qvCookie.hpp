#pragma once
// qvCookie: the base of every cookie, a device-ready object baked from the
// values of one attribute (a pen, brush, marker or font). The palette that
// caches a cookie stamps it with its own time stamp when storing it.
//
// Copies and assignment copy the time stamp; comparisons compare it.
//
// cookie_kind() is the cookie's own word on what it is: a cookie class that
// its accessors cast to reports the cookie kind it is cached under (the
// standard cookies 0 to 3), and only the classes that may be cast to that
// type report it. A cookie that says nothing reports unknown_kind, which no
// accessor accepts. The tag is what lets an accessor check a cached cookie
// before it casts it, without run-time type information.

struct qvCookie {
    static constexpr int unknown_kind = -1;

    qvCookie() noexcept = default;
    qvCookie(qvCookie const&) noexcept = default;
    qvCookie& operator=(qvCookie const&) noexcept = default;
    virtual ~qvCookie() = default;

    virtual int cookie_kind() const noexcept { return unknown_kind; }

    bool operator==(qvCookie const& other) const noexcept { return time_stamp == other.time_stamp; }
    bool operator<(qvCookie const& other) const noexcept { return time_stamp < other.time_stamp; }

    long time_stamp = 0;
};
