#pragma once
// qvInvalidateEvent<T>: the invalidation event, an interface without data.
//   invalidate()              everything changed
//   invalidate(item, flag)    the item changed
// For rectangles (T = qvMathRectOf<double>) the flag is the scene layer of
// the change, -1 for every layer; for attribute handles (T = long) it is 1
// when the attribute has more than one user and 0 otherwise. Senders pass
// both arguments through unchanged.

template <class T>
class qvInvalidateEvent {
public:
    virtual ~qvInvalidateEvent() = default;
    virtual void invalidate() = 0;
    virtual void invalidate(T const& item, int flag) = 0;

protected:
    qvInvalidateEvent() noexcept = default;
    qvInvalidateEvent(qvInvalidateEvent const&) noexcept = default;
    qvInvalidateEvent& operator=(qvInvalidateEvent const&) noexcept = default;
};
