#pragma once
// qvGraphic: the counted handle of a graphic (a shape proxy or a graphic
// list): three fields, the counter (the graphic's own qvRefBase count), the
// graphic and the flag that says the counter is its own. An empty handle
// holds three zeros.
//
// Keeps true: every non-empty handle holds one count; assigning a handle
// that shares the counter (itself included) counts nothing; the last
// release deletes the graphic through its virtual destructor.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/shapes/qvGraphicInterface.hpp>

class qvGraphic : public qvISafePtr<qvGraphicInterface> {
    using Base = qvISafePtr<qvGraphicInterface>;

public:
    qvGraphic() noexcept = default;
    // Counts one more use of g (a null g gives an empty handle).
    qvGraphic(qvGraphicInterface* g) noexcept : Base(g) {}
    qvGraphic(qvGraphic const& other) noexcept = default;
    qvGraphic(Base const& other) noexcept : Base(other) {}
    qvGraphic& operator=(qvGraphic const& other) noexcept = default;
    qvGraphic& operator=(Base const& other) noexcept {
        Base::operator=(other);
        return *this;
    }
    ~qvGraphic() = default;

    // Drops this handle's use, as destruction does; the handle is empty.
    void release() noexcept { Base::operator=(Base()); }
};
