#pragma once
// qvMatchingPalette: a palette that keeps attributes of equal content
// shared. Whenever a change would leave an unshared attribute with the same
// content as another existing one, it hands back that other attribute (one
// more reference) and lets go of the caller's, so many shapes with equal
// pens and brushes hold few attributes.
//
// It wraps a base palette, which it owns and deletes in its destructor
// (also one the caller passed in, which must come from new and must not be
// used through another pointer afterwards). Operations that do not change
// content go straight to the base; the base's names go through this
// palette (its repository is bound to it).
//
// Keeps true:
//  - every unshared attribute is indexed under the 32-bit hash of its
//    content: the XOR, over its folders but "ref_count", of the hash of the
//    value's stream form rotated left by (folder handle AND 31); attributes
//    with "is_shared" are never indexed;
//  - the hash only finds candidates: attributes merge only when their
//    content is equal (the same folders but "ref_count", each pair equal by
//    its class), and among equal attributes the lowest handle wins;
//  - a change that leaves the content as it was writes nothing, sends
//    nothing and returns the target; any other change is applied.
// Removing "attr_name" changes the attribute for all its users, as in the
// standard palette, and so never merges it.

#include <orvane/attributes/qvPalette.hpp>

#include <memory>

class qvMatchingPaletteIndex;

class qvMatchingPalette : public qvPalette {
public:
    // Null makes a new qvStandardPalette.
    explicit qvMatchingPalette(qvPalette* base = nullptr);
    ~qvMatchingPalette() override;

    void initialize(qvPalette* palette) override;
    long handle(char const* name) const override;
    char const* name(long handle) const override;
    long add_name(long handle, char const* name, bool shared) override;
    long remove_name(long handle) override;

    qvIndirectIterator<qvWrap<long>> enumerate() override;
    // Unshared: an existing attribute that holds nothing but its count, if
    // there is one.
    long alloc(bool shared) override;
    void add_ref(long handle) override;
    int release(long handle) override;
    long copy(long src, long dst, qvFolder const& folder, bool shared) override;
    long remove(long handle, qvFolder const& folder, bool shared) override;
    long property(long handle, qvFolder const& folder, void const* value, bool shared) override;
    void const* property(long handle, qvFolder const& folder) const override;
    qvSenderInvalidate<long>& publisher() override;

    void cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) override;
    qvCookie* cookie(qvCookieHandle const& handle) override;
    long time_stamp() const override;
    qvSafePtr<qvCookie> shared_cookie(qvCookieHandle const& handle) override;
    void replace_cookie(qvCookieHandle const& handle, qvSafePtr<qvCookie> const& cookie) override;

    // Loads the base, then indexes its unshared attributes; a failed load
    // leaves base and index as they were.
    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

private:
    std::unique_ptr<qvMatchingPaletteIndex> index_;
};
