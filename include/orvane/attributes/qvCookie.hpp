#pragma once
// qvCookie: the base of every cookie, a device-ready object baked from the
// values of one attribute (a pen, brush, marker or font). The palette that
// caches a cookie stamps it with its own time stamp when storing it.
//
// Copies and assignment copy the time stamp; comparisons compare it.

struct qvCookie {
    qvCookie() noexcept = default;
    qvCookie(qvCookie const&) noexcept = default;
    qvCookie& operator=(qvCookie const&) noexcept = default;
    virtual ~qvCookie() = default;

    bool operator==(qvCookie const& other) const noexcept { return time_stamp == other.time_stamp; }
    bool operator<(qvCookie const& other) const noexcept { return time_stamp < other.time_stamp; }

    long time_stamp = 0;
};
