#pragma once
// qvLinePattern: the dash lengths of a patterned line and the offset at
// which the pattern starts.
//
// Keeps true: count() equals the number of dashes owned, count() >= 0, and
// dashes() is null exactly when count() is 0. The pattern owns its dashes;
// copies own copies.
//
// Stream form (little-endian, no padding):
//   offset  size       meaning
//        0     4       count (int32, never negative)
//        4     8       offset (float64)
//       12     8*count the dash lengths (float64 each)

#include <vector>

class qvInputStream;
class qvOutputStream;

class qvLinePattern {
public:
    qvLinePattern() noexcept = default;
    // Copies `count` dashes; a negative count, or dashes missing for a
    // positive one, fails the assertion.
    qvLinePattern(double const* dashes, int count, double offset);

    int count() const noexcept { return static_cast<int>(dashes_.size()); }
    double const* dashes() const noexcept { return dashes_.empty() ? nullptr : dashes_.data(); }
    double offset() const noexcept { return offset_; }

    // Equal counts, exactly equal offsets, dashes equal byte for byte.
    bool operator==(qvLinePattern const& other) const noexcept;
    bool operator!=(qvLinePattern const& other) const noexcept { return !(*this == other); }

    void save(qvOutputStream& os) const;
    // On failure the pattern keeps its old value.
    void load(qvInputStream& is);

private:
    std::vector<double> dashes_;
    double offset_ = 0.0;
};

qvOutputStream& operator<<(qvOutputStream& os, qvLinePattern const& pattern);
qvInputStream& operator>>(qvInputStream& is, qvLinePattern& pattern);
