#pragma once
// The window that map(position, size) maps when the current view does not
// hold the range: about default_size bytes, the range in its middle where
// possible, its start rounded down to the 65,536-byte granularity and its
// end cut at the end of the object.
//
// Requires 0 <= position, position + size <= total (checked by the caller).
// Every quantity is 64-bit, so no step can wrap.

struct qvMappingWindow {
    long long start;
    long long size;
};

constexpr qvMappingWindow qvChooseMappingWindow(long long total, unsigned default_size,
                                                long long position, unsigned size) noexcept {
    constexpr long long granularity = 65536;
    long long view = default_size < total ? static_cast<long long>(default_size) : total;
    if (view < size) view = size;
    const long long half = (view - size) / 2;
    long long start = position > half ? position - half : 0;
    const long long aligned = start / granularity * granularity;
    view += start - aligned;
    start = aligned;
    if (view > total - start) view = total - start;
    return {start, view};
}
