#pragma once
// qvSpecificGraphic<P>: the typed handle of a graphic whose concrete proxy
// is P, the base of every shape handle (qvRectangle, qvPolygon ...). Same
// three fields as qvGraphic; its object is the full proxy P.
//
// Keeps true:
//  - conversion from a qvGraphic is type-tested: the graphic must answer
//    P's identity in query_interface; a graphic of another kind gives an
//    empty handle and changes no count, and nothing is raised;
//  - the copying constructor copies a shape of P's kind only: a source of
//    another kind, a graphic list or an empty graphic creates nothing and
//    leaves the scene unchanged;
//  - the last release deletes the proxy, whose destructor disconnects its
//    record; the record stays in its scene.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvGraphic.hpp>

namespace qvSpecificGraphicDetail {

// A copy of the record of single-shape proxy `source` as a new shape of
// `scene` (its new handle, attribute handle 0), made through the scene's
// allocate and handed back through its proxy site; an empty graphic when
// source is no single-shape proxy. A proxy without a record raises
// "Attempt to query uninitialized shape".
qvGraphic copy_shape(qvContainerScene& scene, qvGraphic const& source);

// Runs `step` of a new shape's making (its connect, its measure); a raise
// takes the shape away again, so a refused construction or copy leaves its
// scene as it was. A connect refused at its closing report, or a measure
// after it, leaves the record holding a reference that destroy_shape keeps
// (an existing shape's destroy must not release it), so it is given back
// here once the record is gone; a release that raises too must not hide
// the step's error. Should the taking away itself raise, the shape stays
// and still names its attribute: nothing is given back.
template <class Shape, class Step>
void made_or_taken_away(Shape& shape, Step&& step) {
    try {
        step();
    } catch (...) {
        const long held = shape.attr_handle();
        qvPalette* const palette = held != 0 ? shape.attr_source() : nullptr;
        shape.destroy_shape();
        if (palette != nullptr) {
            try {
                palette->release(held);
            } catch (...) {
            }
        }
        throw;
    }
}

}  // namespace qvSpecificGraphicDetail

template <class P>
class qvSpecificGraphic : public qvISafePtr<P> {
    using Base = qvISafePtr<P>;

public:
    qvSpecificGraphic() noexcept = default;
    qvSpecificGraphic(qvSpecificGraphic const& other) noexcept = default;
    qvSpecificGraphic(Base const& other) noexcept : Base(other) {}
    qvSpecificGraphic& operator=(qvSpecificGraphic const& other) noexcept = default;
    qvSpecificGraphic& operator=(Base const& other) noexcept {
        Base::operator=(other);
        return *this;
    }
    ~qvSpecificGraphic() = default;

    // The type-tested conversion.
    qvSpecificGraphic(qvGraphic const& g) : Base(typed(g)) {}
    qvSpecificGraphic& operator=(qvGraphic const& g) {
        release();
        Base::operator=(typed(g));
        return *this;
    }

    // The graphic of an existing shape, through the scene's proxy site
    // ("Shape handle not found" and "Proxy class not found" pass through);
    // empty when the shape is of another kind.
    qvSpecificGraphic(qvContainerScene& scene, long handle) { *this = scene.instantiate(handle); }

    // A new shape in `scene` copying `source`'s record, with the source's
    // attributes unless `no_attributes` is set.
    qvSpecificGraphic(qvContainerScene& scene, qvGraphic const& source, bool no_attributes) {
        if (!source || source->query_interface(qvInterfaceIdentity<P>()) == nullptr)
            return;
        *this = qvSpecificGraphicDetail::copy_shape(scene, source);
        if (no_attributes || !*this)
            return;
        auto* const from = qvQueryInterface<qvAttributeFolderInterface>(source.get());
        auto* const to = qvQueryInterface<qvAttributeFolderInterface>(this->get());
        if (from == nullptr || to == nullptr)
            return;
        // A source from a closed session is refused: no copy stays.
        qvSpecificGraphicDetail::made_or_taken_away(*this->get(), [&] { to->connect_attribute(*from); });
    }

    // A qvGraphic on the same proxy (one more count).
    operator qvGraphic() const noexcept {
        if (!*this)
            return qvGraphic();
        return qvGraphic(qvISafePtr<qvGraphicInterface>(*this, static_cast<qvGraphicInterface*>(this->get())));
    }

    // Drops this handle's use; the handle is empty.
    void release() noexcept { Base::operator=(Base()); }

private:
    static Base typed(qvGraphic const& g) {
        if (!g)
            return Base();
        void* const proxy = g->query_interface(qvInterfaceIdentity<P>());
        return proxy != nullptr ? Base(g, static_cast<P*>(proxy)) : Base();
    }
};
