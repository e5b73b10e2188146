#pragma once
// qvIndexToIndex: translation of the pixel values of one colour map into the
// nearest pixel values of another.
//
// Keeps true: inactive, every value maps to itself. Active (a simple,
// non-empty source map and a target table whose map is not empty), value i
// below the source's size maps to the index byte of the target entry nearest
// to the source's colour i, searched in the target's position order; the
// values at and beyond the source's size map to themselves.

class qvColorMapReference;
class qvRgbToIndex;

class qvIndexToIndex {
public:
    qvIndexToIndex() noexcept;
    qvIndexToIndex(qvColorMapReference const& source, qvRgbToIndex const* target);

    unsigned char operator()(unsigned char i) const noexcept { return active_ ? table_[i] : i; }

private:
    void initialize(qvColorMapReference const& source, qvColorMapReference const& target) noexcept;

    bool active_ = false;
    unsigned char table_[256];
};
