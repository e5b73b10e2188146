#pragma once
// qvStandardPalette: the library's palette. Attributes are reference
// counted; a change made for one user of an attribute that has several is
// applied to a private copy (copy on write), and the changing call returns
// the handle that carries the change.
//
// Keeps true:
//  - an attribute exists exactly while it has a "ref_count" value (>= 1);
//    one allocated as shared also has "is_shared" = 1; its name is its
//    "attr_name" value, mirrored by the repository part, which is bound to
//    this palette (or to the palette that wraps it);
//  - every stored value was made by its folder's class and is destroyed
//    only through it; values live in registered folders that have a class;
//  - the handle counter hands out handles above the last one, from 1 again
//    after 0x7FFFFFFF, skipping handles in use; the time stamp only grows,
//    one step per invalidation and per load;
//  - a failed call changes nothing: handles and folders are checked first,
//    and a load reads into a fresh map that replaces the old one only once
//    the whole stream has been read and checked.
//
// Stream form (written by save, read by load), int32 little-endian fields,
// strings in the qvString form:
//   header        last handle; highest folder handle W_f; highest class
//                 handle W_p                                    (12 bytes)
//   class record  0, 0, class handle, class name
//   folder record 0, folder handle, class handle, folder path
//   value record  attribute handle (> 0), folder handle, the value in the
//                 folder's class's form
//   end           0, 0, 0                                       (12 bytes)
// Values follow in map order (attribute ascending, then folder handle);
// each folder's record precedes its first value and each class's record its
// first folder. Load refuses with qvErrorFrom<qvInputStream> "Invalid
// palette stream" a stream that uses a folder or class number it has not
// defined, folder 0 in a value record, class 0 in a folder record, W_f or
// W_p outside 0..1048576, a negative last handle, a folder record that
// would change the class of a folder that has one (or give one to the
// root), and attributes without a count of at least 1. Handles out of
// range fail the assertions "a_handle >=0 && a_handle <= a_max",
// "f_handle >=0 && f_handle < f_max" and "p_handle >=0 && p_handle <
// p_max"; an unknown folder path fails "fldr". A repeated (attribute,
// folder) record keeps the first value.

#include <orvane/attributes/qvCookie.hpp>
#include <orvane/attributes/qvCookieHandle.hpp>
#include <orvane/attributes/qvListCache.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvStandardAttributeRepository.hpp>
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvSafePtr.hpp>

#include <memory>

// The value map of a standard palette; its errors name it:
// qvErrorFrom<qvSP_PalData> "Illegal attribute handle specified" and
// "Illegal folder specified".
class qvSP_PalData;

class qvStandardPalette : public qvStandardAttributeRepository, public qvPalette {
public:
    static constexpr int cookie_capacity = 64;

    qvStandardPalette();
    // Destroys every value without a palette, so reference words release
    // nothing.
    ~qvStandardPalette() override;

    qvIndirectIterator<qvWrap<long>> enumerate() override;
    long alloc(bool shared) override;
    // Handle 0 does nothing; an attribute without a count raises "Illegal
    // attribute handle specified".
    void add_ref(long handle) override;
    int release(long handle) override;
    // dst must exist; src may be unknown (nothing is copied). Copies every
    // folder under `folder` except "ref_count" and "attr_name".
    long copy(long src, long dst, qvFolder const& folder, bool shared) override;
    // "ref_count" stays; "attr_name" and "is_shared" go only when `folder`
    // is exactly that folder. Removing "attr_name" never makes a copy.
    long remove(long handle, qvFolder const& folder, bool shared) override;
    // The folder must be registered and have a class, else "Illegal folder
    // specified".
    long property(long handle, qvFolder const& folder, void const* value, bool shared) override;
    void const* property(long handle, qvFolder const& folder) const override;
    qvSenderInvalidate<long>& publisher() override { return publisher_; }

    // Stamps the cookie with the time stamp and keeps it; a cookie for a key
    // already cached is deleted.
    void cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) override;
    qvCookie* cookie(qvCookieHandle const& handle) override;
    long time_stamp() const override { return time_stamp_; }
    qvSafePtr<qvCookie> shared_cookie(qvCookieHandle const& handle) override;
    void replace_cookie(qvCookieHandle const& handle, qvSafePtr<qvCookie> const& cookie) override;

    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

private:
    // Runs change(d) on the attribute d that carries a change of `handle`
    // (a private copy when `may_clone` and the attribute has other users),
    // then invalidates `handle` when it was changed in place. When the
    // change fails, the caller keeps `handle` as it was.
    template <class Change>
    long change(long handle, bool shared, bool may_clone, Change&& change);

    long new_handle();
    long clone(long handle, bool shared);
    void duplicate(long src, long dst, qvFolder const& folder);
    void modify(long handle, qvFolder const& folder, void const* value);
    void invalidate(long handle);
    void take_back_clone(long handle, long copy) noexcept;

    long time_stamp_ = 0;
    long last_handle_ = 0;
    qvListCache<qvCookieHandle, qvSafePtr<qvCookie>> cookies_{cookie_capacity};
    std::unique_ptr<qvSP_PalData> values_;
    qvSenderInvalidate<long> publisher_;
};
