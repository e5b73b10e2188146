#pragma once
// qvGenericTextProxy<B>: the text data access on the record of base B, in a
// scene (B = qvTextProxyBase, or the scaled text's layers over it) or
// stand-alone (B = qvSimpleRestrictedTextProxyBase ...). The fields are
// those of qvTextData; qvTextData.hpp gives their layout and the geometry.
//
// Keeps true:
//  - every change runs inside B's write guard and every getter but text()
//    and bbox() inside B's read guard, which raises "Attempt to query
//    uninitialized shape" without a record; the stand-alone guards only
//    create the record. The setters create it too, except text(), which
//    sizes it itself;
//  - a stored text is `length` bytes and a terminating zero at record
//    offset 120 (text offset 10), the record exactly 120 + length + 1 bytes
//    in a scene (a stand-alone record never shrinks). A null text stores
//    the empty one. A text longer than 32,767 bytes (the length is 16 bits)
//    is refused before anything changes: qvErrorFrom<qvGenericTextProxy>
//    "Limitation: text length exceeds maximum allowed for a text shape";
//  - text() is null without a record, "" for a length of 0 (the offset is
//    then never followed), else the stored bytes, which stay valid until
//    the next change of the record;
//  - a stretch not greater than 0 (NaN too) is refused before anything
//    changes: qvErrorFrom<qvGenericTextProxy> "Stretch must be a non-zero
//    positive value"; otherwise the width is scaled by new / old stretch;
//  - angle, aperture, each value of the extent, the stretch and the width a
//    stretch scales to are finite and within the float range, or refused
//    (qvShapeCoordinates) before anything changes: a NaN there would turn
//    the box, and so the header's box, into NaN. A record whose stored
//    stretch cannot divide (0 or not finite: only a record stored before
//    these checks) takes a new stretch without scaling its width;
//  - no setter re-measures the text: the owner calls adjust_extent (the
//    kinds' layers) or sets the extent; compute_extent measures the stored
//    text in the font of an attribute and changes nothing;
//  - bbox() is computed from the record at each call, (1, 1, 0, 0) without
//    one; it does not read the header's box (qvTextProxy keeps that).
//
// B provides WriteLock and ReadLock (guards constructed from B's object),
// the record in its protected `record_`, and allocate(extra) (the kind's
// fixed size plus extra).

#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/shapes/qvSelfRelativeOffset.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvTextData.hpp>
#include <orvane/shapes/qvTextExtent.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

namespace qvGenericTextProxyDetail {

// The extent of `text` (not null) in the font of `folder`'s attribute:
// "font/color_device/font_family" (absent: 0), ".../font_name" (absent: no
// name), ".../font_size" (absent: 10), ".../font_slant" (absent: 0) and
// ".../font_weight" (absent: 4), each read checked against its folder's
// class before anything is measured, technology 0.
qvTextExtent measure(char const* text, qvAttributeFolderInterface& folder);

}  // namespace qvGenericTextProxyDetail

template <class B>
class qvGenericTextProxy : public B {
public:
    // The most text bytes a record holds: its length field is 16 bits.
    static constexpr std::size_t max_text_length = 32767;

    qvCrdOf<double> anchor() override {
        const typename B::ReadLock lock(*this, true);
        return data().anchor;
    }
    void anchor(qvCrdOf<double> p) override {
        qvShapeCoordinates::require(p);
        const typename B::WriteLock lock(*this, true, true);
        data().anchor = p;
    }

    unsigned alignment() override {
        const typename B::ReadLock lock(*this, true);
        return static_cast<unsigned>(data().alignment);
    }
    void alignment(unsigned a) override {
        const typename B::WriteLock lock(*this, true, true);
        data().alignment = static_cast<std::int32_t>(a);
    }

    double angle() override {
        const typename B::ReadLock lock(*this, true);
        return data().angle;
    }
    void angle(double degrees) override {
        qvShapeCoordinates::require(degrees);
        const typename B::WriteLock lock(*this, true, true);
        data().angle = degrees;
    }

    double aperture() override {
        const typename B::ReadLock lock(*this, true);
        return data().aperture;
    }
    void aperture(double degrees) override {
        qvShapeCoordinates::require(degrees);
        const typename B::WriteLock lock(*this, true, true);
        data().aperture = degrees;
    }

    char const* text() override {
        if (this->record_ == nullptr)
            return nullptr;
        qvTextData const& d = data();
        return d.length > 0 ? d.text() : "";
    }

    void text(char const* s) override {
        const std::size_t n = checked_length(s);
        const typename B::WriteLock lock(*this, false, true);
        // A text read from this very record would move with it.
        std::string kept;
        if (inside_record(s)) {
            kept.assign(s, n);
            s = kept.c_str();
        }
        const std::int64_t size = std::int64_t{sizeof(qvShape<qvTextData>)} + static_cast<std::int64_t>(n) + 1;
        if (this->record_ == nullptr || this->record_->size != size)
            this->allocate(static_cast<int>(n + 1));
        qvTextData& d = data();
        char* const to = reinterpret_cast<char*>(this->record_) + sizeof(qvShape<qvTextData>);
        d.length = static_cast<std::int16_t>(n);
        qvSelfRelative::point(d.text_offset, to);
        if (n > 0)
            std::memmove(to, s, n);
        to[n] = '\0';
    }

    void stretch(float s) override {
        check_stretch(s);
        const typename B::WriteLock lock(*this, true, true);
        qvTextData& d = data();
        const double old = static_cast<double>(d.stretch);
        if (old != 0.0 && qvIsFinite(old)) {
            const double width = d.extent.width * (static_cast<double>(s) / old);
            qvShapeCoordinates::require(width);
            d.extent.width = width;
        }
        d.stretch = s;
    }
    float stretch() override {
        const typename B::ReadLock lock(*this, true);
        return data().stretch;
    }

    qvExtent extent() override {
        const typename B::ReadLock lock(*this, true);
        return data().extent;
    }
    void extent(qvExtent const& e) override {
        qvShapeCoordinates::require(e);
        const typename B::WriteLock lock(*this, true, true);
        data().extent = e;
    }

    qvMathRectOf<double> bbox() override {
        if (this->record_ == nullptr)
            return qvMathRectOf<double>::make_empty();
        return data().bbox();
    }

    // The stored text measured in the font of `folder`'s attribute (normally
    // the shape's own): device units for a restricted text's font size,
    // model units for a scaled one's.
    qvTextExtent compute_extent(qvAttributeFolderInterface& folder) {
        const typename B::ReadLock lock(*this, true);
        qvTextData const& d = data();
        return qvGenericTextProxyDetail::measure(d.length > 0 ? d.text() : "", folder);
    }

protected:
    // The record is at least a text record's 120 bytes: its allocate made it so.
    qvTextData& data() noexcept { return static_cast<qvShape<qvTextData>*>(this->record_)->data(); }

    // The number of bytes of `s` (0 for null), or the limitation error.
    static std::size_t checked_length(char const* s) {
        const std::size_t n = s != nullptr ? std::strlen(s) : 0;
        if (n > max_text_length)
            raise("Limitation: text length exceeds maximum allowed for a text shape");
        return n;
    }

    static void check_stretch(float s) {
        if (!(s > 0.0f))
            raise("Stretch must be a non-zero positive value");
        qvShapeCoordinates::require(static_cast<double>(s));
    }

private:
    // The one raise of this layer's errors.
    [[noreturn]] static void raise(char const* message) { qvRaise(qvErrorFrom<qvGenericTextProxy>(message)); }

    bool inside_record(char const* s) const noexcept {
        if (s == nullptr || this->record_ == nullptr)
            return false;
        char const* const first = reinterpret_cast<char const*>(this->record_);
        std::less_equal<char const*> at_or_before;
        return at_or_before(first, s) && std::less<char const*>()(s, first + this->record_->size);
    }
};
