#pragma once
// qvGradientHandle<I>: what the three typed gradient handles share: a
// counted pointer to a gradient seen through its kind interface I.
//
// Keeps true: copies share the gradient; a handle built from a brush shares
// the brush's object when it is of kind I, and is empty otherwise (an empty
// brush, another kind). Converting back gives a brush over the same object.

#include <orvane/attributes/qvCustomBrush.hpp>

template <class I>
class qvGradientHandle : public qvISafePtr<I> {
public:
    qvGradientHandle() noexcept = default;
    qvGradientHandle(qvISafePtr<I> const& gradient) noexcept : qvISafePtr<I>(gradient) {}
    qvGradientHandle(qvIWeakPtr<I> const& gradient) noexcept : qvISafePtr<I>(gradient) {}
    // Adopts the object through its own count; null gives an empty handle.
    qvGradientHandle(I* gradient) noexcept : qvISafePtr<I>(gradient) {}
    explicit qvGradientHandle(qvCustomBrush const& brush)
        : qvISafePtr<I>(brush, qvQueryInterface<I>(brush.get())) {}

    operator qvCustomBrush() const noexcept {
        return qvCustomBrush(static_cast<qvCustomBrushDataAccess*>(this->get()));
    }
};
