#pragma once
// qvWrap<T>: one value of T as an object, so that a value can be the element
// of an iterator (qvWrap<long>: an id) or the value form of a property
// class. Converts from and back to T freely.

template <class T>
class qvWrap {
public:
    constexpr qvWrap() = default;
    constexpr qvWrap(T value) : value_(value) {}
    constexpr operator T() const { return value_; }

private:
    T value_{};
};
