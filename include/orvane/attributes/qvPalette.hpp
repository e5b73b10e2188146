#pragma once
// qvPalette: storage of attribute values by (attribute handle, folder), with
// names, cookies and persistence. An attribute handle is a positive long; 0
// means none.
//
// Keeps true for every palette:
//  - an attribute exists exactly while it has a "ref_count" value, its
//    reference count (>= 1); attributes may be shared by several users;
//  - every operation that changes an attribute (copy, remove, the write
//    `property`) returns the handle that now carries the change, which the
//    caller adopts in place of the one it passed: a change made for one
//    user of a shared attribute goes to a private copy;
//  - every change drops the attribute's cookies and is announced through
//    publisher(): invalidate(handle, 1) when the attribute has more than
//    one user, else invalidate(handle, 0). Receivers run inside the
//    changing call and may call back into the palette;
//  - content() names the content the handles belong to: a scene that reads
//    a file's palette over the one it owns (read_content) starts a new one
//    unless it read back, from the very file the content came from or was
//    last saved to (save_content), the content it held or the one it
//    saved; a handle taken in an earlier content names nothing of this
//    one, whatever attribute has its number now.

#include <orvane/attributes/qvAttributeRepository.hpp>
#include <orvane/attributes/qvCookieCache.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>
#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/core/qvWrap.hpp>

#include <cstdint>
#include <string>

class qvFolder;
class qvInputStream;
class qvOutputStream;

class qvPalette : public virtual qvAttributeRepository,
                  public qvStreamPersistence,
                  public qvCookieCache {
public:
    ~qvPalette() override = default;

    // Every attribute handle once, ascending.
    virtual qvIndirectIterator<qvWrap<long>> enumerate() = 0;
    // A new attribute with count 1; `shared` marks it "is_shared".
    virtual long alloc(bool shared) = 0;
    virtual void add_ref(long handle) = 0;
    // The count left; 0 when the attribute is gone (and for handle 0).
    virtual int release(long handle) = 0;
    // Copies src's values in the folders under `folder` into dst.
    virtual long copy(long src, long dst, qvFolder const& folder, bool shared) = 0;
    // Removes the attribute's values in the folders under `folder`.
    virtual long remove(long handle, qvFolder const& folder, bool shared) = 0;
    // Writes a value of the folder's class (copied by the class).
    virtual long property(long handle, qvFolder const& folder, void const* value, bool shared) = 0;
    // The stored value, or null.
    virtual void const* property(long handle, qvFolder const& folder) const = 0;
    virtual qvSenderInvalidate<long>& publisher() = 0;

    // Raises what an object holding a handle of an earlier content is told.
    using Refusal = void (*)();
    std::uint64_t content() const noexcept { return content_; }
    // The content was replaced; `refusal` gives the words of whoever
    // replaced it (a paged scene: those of its closed session).
    void new_content(Refusal refusal) noexcept {
        ++content_;
        refusal_ = refusal;
    }
    // A file's state, as its owner stamps it: equal stamps are the same
    // file with nothing written to it between; 0 is none.
    using FileStamp = std::uint64_t;
    // save(os) into the file stamped `file`; a palette that holds any
    // attribute also keeps the form it saved, until the next save or a
    // read_content of another form or file.
    void save_content(qvOutputStream& os, FileStamp file);
    // load(is) from the file stamped `file`, then new_content(refusal)
    // unless that file is the one the content held came from or was last
    // saved to, and what was read saves as the content held before did (a
    // file closed and opened again with nothing changed between), or as
    // the content last saved by save_content did (the file a scene wrote
    // at its close, opened again while the application released, copied or
    // wrote attributes through the objects it kept): then the content held
    // before is put back, and every handle names what it named. Another
    // file whose palette saves the same bytes is another content. A load
    // that raises changes nothing.
    void read_content(qvInputStream& is, Refusal refusal, FileStamp file);
    // Null while the first content lasts.
    Refusal content_refusal() const noexcept { return refusal_; }

protected:
    qvPalette() noexcept = default;
    qvPalette(qvPalette const&) = delete;
    qvPalette& operator=(qvPalette const&) = delete;

private:
    std::uint64_t content_ = 0;
    Refusal refusal_ = nullptr;
    // The form save_content wrote, in the version read_content compares
    // in; empty when none is kept.
    std::string saved_form_;
    // The file the content held came from or was last saved to.
    FileStamp content_file_ = 0;
};
