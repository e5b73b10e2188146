#pragma once
// qvMarkerSize: the size of a marker, one double; zero when a palette has
// no value.
//
// Stream form: the double's 8 raw bytes, little-endian.

class qvInputStream;
class qvOutputStream;

class qvMarkerSize {
public:
    constexpr qvMarkerSize(double size = 0.0) noexcept : size_(size) {}

    constexpr double size() const noexcept { return size_; }

    constexpr bool operator==(qvMarkerSize const& other) const noexcept {
        return size_ == other.size_;
    }

private:
    double size_;
};

static_assert(sizeof(qvMarkerSize) == 8, "one float64");

qvOutputStream& operator<<(qvOutputStream& os, qvMarkerSize const& size);
// On failure the size keeps its old value.
qvInputStream& operator>>(qvInputStream& is, qvMarkerSize& size);
