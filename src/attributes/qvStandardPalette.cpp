// qvStandardPalette: attributes with copy on write, invalidation, cookies
// and the palette stream (see qvStandardPalette.hpp).

#include <orvane/attributes/qvStandardPalette.hpp>

#include "attributes/qvSP_PalData.hpp"
#include "attributes/qvStandardPaletteIteratorImplementation.hpp"
#include "core/qvStreamFields.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr long max_attribute_handle = 0x7FFFFFFF;
// Bound on the registry sizes a stream may claim: far above any real
// registry, low enough that the reader's limits stay small numbers.
constexpr long max_stream_registry = 1048576;
const std::int32_t one = 1;

[[noreturn]] void raise_palette_error(char const* message) {
    qvRaise(qvErrorFrom<qvSP_PalData>(message));
}

// Whether `folder` lies under `group`: its path begins with the group's
// path (bytes only, as folder enumeration counts it).
bool covers(qvFolder const& group, qvFolder const& folder) {
    char const* const prefix = group.name();
    return std::strncmp(folder.name(), prefix, std::strlen(prefix)) == 0;
}

// The registered folder that a write goes to; it must have a class.
qvFolder* writable_folder(qvFolder const& folder) {
    qvFolder* const registered = folder.handle() != 0
        ? qvFolder::registry().get()->object(folder.handle())
        : nullptr;
    if (registered == nullptr || registered->type() == nullptr)
        raise_palette_error("Illegal folder specified");
    return registered;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

qvStandardPalette::qvStandardPalette() : values_(std::make_unique<qvSP_PalData>()) {
    initialize(this);
}

qvStandardPalette::~qvStandardPalette() {
    values_.reset();
    cookies_.clear();
}

// ---------------------------------------------------------------------------
// Attributes

qvIndirectIterator<qvWrap<long>> qvStandardPalette::enumerate() {
    return qvIndirectIterator<qvWrap<long>>(new qvStandardPaletteIteratorImplementation(*values_));
}

long qvStandardPalette::alloc(bool shared) {
    const long handle = new_handle();
    if (shared) {
        try {
            modify(handle, *values_->is_shared, &one);
        } catch (...) {
            take_back_clone(0, handle);
            throw;
        }
    }
    return handle;
}

void qvStandardPalette::add_ref(long handle) {
    if (handle == 0)
        return;
    qvSP_PalData::Entry* const count = values_->find(handle, values_->ref_count->handle());
    if (count == nullptr)
        raise_palette_error("Illegal attribute handle specified");
    ++count->word;
}

int qvStandardPalette::release(long handle) {
    if (handle == 0)
        return 0;
    qvSP_PalData::Entry* const count = values_->find(handle, values_->ref_count->handle());
    if (count == nullptr)
        raise_palette_error("Illegal attribute handle specified");
    if (count->word > 1)
        return static_cast<int>(--count->word);

    // The entries leave the map before any is destroyed: a class that calls
    // back into the palette (a reference word releasing its attribute) sees
    // a map without this attribute.
    qvSP_PalData::Taken taken;
    values_->take(values_->begin_of(handle), values_->end_of(handle), taken);
    const std::exception_ptr error = qvSP_PalData::destroy(taken, this);
    invalidate(handle);
    if (handle == last_handle_)
        --last_handle_;
    if (error)
        std::rethrow_exception(error);
    return 0;
}

long qvStandardPalette::copy(long src, long dst, qvFolder const& folder, bool shared) {
    if (!values_->exists(dst))
        raise_palette_error("Illegal attribute handle specified");
    return change(dst, shared, true, [&](long target) { duplicate(src, target, folder); });
}

long qvStandardPalette::remove(long handle, qvFolder const& folder, bool shared) {
    if (!values_->exists(handle))
        raise_palette_error("Illegal attribute handle specified");
    const long exact = folder.handle();
    auto const removable = [&](qvFolder const& g) {
        if (&g == values_->ref_count)
            return false;
        if (&g == values_->attr_name || &g == values_->is_shared)
            return g.handle() == exact;
        return covers(folder, g);
    };
    const bool may_clone = exact != values_->attr_name->handle();
    return change(handle, shared, may_clone, [&](long target) {
        auto const first = values_->begin_of(target), last = values_->end_of(target);
        qvSP_PalData::Taken taken;
        taken.reserve(static_cast<std::size_t>(std::count_if(
            first, last, [&](auto const& item) { return removable(*item.second.folder); })));
        for (auto it = first; it != last;) {
            if (removable(*it->second.folder)) {
                taken.push_back(it->second);
                it = values_->erase(it);
            } else {
                ++it;
            }
        }
        if (const std::exception_ptr error = qvSP_PalData::destroy(taken, this))
            std::rethrow_exception(error);
    });
}

long qvStandardPalette::property(long handle, qvFolder const& folder, void const* value, bool shared) {
    if (!values_->exists(handle))
        raise_palette_error("Illegal attribute handle specified");
    qvFolder* const target_folder = writable_folder(folder);
    return change(handle, shared, true,
                  [&](long target) { modify(target, *target_folder, value); });
}

void const* qvStandardPalette::property(long handle, qvFolder const& folder) const {
    qvSP_PalData::Entry const* const entry = values_->find(handle, folder.handle());
    return entry != nullptr ? entry->type->property(entry->word) : nullptr;
}

// ---------------------------------------------------------------------------
// Copy on write

template <class Change>
long qvStandardPalette::change(long handle, bool shared, bool may_clone, Change&& change) {
    const long target = may_clone ? clone(handle, shared) : handle;
    try {
        change(target);
    } catch (...) {
        if (target != handle)
            take_back_clone(handle, target);
        throw;
    }
    if (target == handle)
        invalidate(handle);
    return target;
}

long qvStandardPalette::new_handle() {
    long candidate = last_handle_;
    do {
        candidate = candidate >= max_attribute_handle ? 1 : candidate + 1;
    } while (values_->exists(candidate));
    qvFolder* const ref_count = values_->ref_count;
    long word = 0;
    ref_count->type()->create_object(word, &one);
    values_->insert(candidate, ref_count, ref_count->type(), word);
    last_handle_ = candidate;
    return candidate;
}

long qvStandardPalette::clone(long handle, bool shared) {
    if (shared && values_->shared_word(handle) != 0) {
        publisher_.invalidate();
        return handle;
    }
    if (values_->count(handle) < 2)
        return handle;
    const long copy = new_handle();
    try {
        duplicate(handle, copy, qvFolder::root());
    } catch (...) {
        take_back_clone(0, copy);
        throw;
    }
    release(handle);  // the caller's reference moves to the copy
    return copy;
}

// Gives the caller's reference back to `handle` (0: none was taken) and
// drops the copy made for a change that failed.
void qvStandardPalette::take_back_clone(long handle, long copy) noexcept {
    try {
        add_ref(handle);
        release(copy);
    } catch (...) {
        // Both handles were live a moment ago, so only memory can fail
        // here (the release gathers the copy's values first): the copy is
        // then left behind with its count, the caller's handle as it was.
    }
}

void qvStandardPalette::duplicate(long src, long dst, qvFolder const& folder) {
    if (src == dst)
        return;
    // The folders are gathered first and each value read again just before
    // it is copied: destroying a word of dst may call back into the palette.
    std::vector<qvFolder*> folders;
    for (auto it = values_->begin_of(src), end = values_->end_of(src); it != end; ++it) {
        qvFolder* const g = it->second.folder;
        if (g != values_->ref_count && g != values_->attr_name && covers(folder, *g))
            folders.push_back(g);
    }
    for (qvFolder* g : folders)
        if (void const* value = property(src, *g))
            modify(dst, *g, value);
}

// The new word is made before the old one is destroyed, so a value may come
// from the entry it replaces.
void qvStandardPalette::modify(long handle, qvFolder const& folder, void const* value) {
    qvFolder* const registered = qvFolder::registry().get()->object(folder.handle());
    qvPropertyClass const* const type = registered->type();
    long fresh = 0;
    type->create_object(fresh, value);
    qvSP_PalData::Entry* const entry = values_->find(handle, folder.handle());
    if (entry == nullptr) {
        try {
            values_->insert(handle, registered, type, fresh);
        } catch (...) {
            type->destroy_object(fresh, nullptr);
            throw;
        }
        return;
    }
    long old = entry->word;
    qvPropertyClass const* const old_type = entry->type;
    entry->word = fresh;
    entry->type = type;
    old_type->destroy_object(old, this);
}

void qvStandardPalette::invalidate(long handle) {
    cookies_.erase_range(qvCookieHandle(handle, INT_MIN), qvCookieHandle(handle, INT_MAX));
    const long count = std::max(values_->count(handle), 1L);
    ++time_stamp_;
    publisher_.invalidate(handle, count > 1 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Cookies

void qvStandardPalette::cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) {
    if (cookie.get() == nullptr || !cookie.owner())
        return;
    // The counter is made before the auto pointer lets go, so a failed
    // allocation leaves the cookie with it.
    qvSafePtr<qvCookie> share(cookie.get());
    cookie.release();
    share->time_stamp = time_stamp_;
    // A refused cookie has no other share and dies with `share`.
    cookies_.insert(handle, share);
}

qvCookie* qvStandardPalette::cookie(qvCookieHandle const& handle) {
    qvSafePtr<qvCookie> const* const cached = cookies_.find(handle);
    return cached != nullptr ? cached->get() : nullptr;
}

qvSafePtr<qvCookie> qvStandardPalette::shared_cookie(qvCookieHandle const& handle) {
    qvSafePtr<qvCookie> const* const cached = cookies_.find(handle);
    return cached != nullptr ? *cached : qvSafePtr<qvCookie>();
}

void qvStandardPalette::replace_cookie(qvCookieHandle const& handle,
                                       qvSafePtr<qvCookie> const& cookie) {
    if (!cookie)
        return;
    cookie->time_stamp = time_stamp_;
    qvSafePtr<qvCookie> share(cookie);
    cookies_.erase(handle);
    cookies_.insert(handle, share);
}

// ---------------------------------------------------------------------------
// Persistence

void qvStandardPalette::save(qvOutputStream& os) const {
    // A counter that wrapped can lie below live handles; the reader checks
    // every handle against the stored one, so the larger is written.
    const long highest = values_->entries().empty() ? 0 : values_->entries().rbegin()->first.handle;
    qvWriteInt32(os, std::max(last_handle_, highest));
    qvWriteInt32(os, qvFolder::max_handle());
    qvWriteInt32(os, qvPropertyClass::max_handle());

    std::set<int> classes_written;
    std::set<long> folders_written;
    for (auto const& [key, entry] : values_->entries()) {
        const int type = entry.type->handle();
        if (folders_written.insert(key.folder).second) {
            if (classes_written.insert(type).second) {
                qvWriteInt32(os, 0);
                qvWriteInt32(os, 0);
                qvWriteInt32(os, type);
                os << *entry.type;
            }
            qvWriteInt32(os, 0);
            qvWriteInt32(os, key.folder);
            qvWriteInt32(os, type);
            os << *entry.folder;
        }
        qvWriteInt32(os, key.handle);
        qvWriteInt32(os, key.folder);
        entry.type->save_object(os, entry.word);
    }
    qvWriteInt32(os, 0);
    qvWriteInt32(os, 0);
    qvWriteInt32(os, 0);
}

namespace {

// Reads a whole palette stream into a map of its own, checking every record
// before it is used. Nothing outside the reader changes: the classes the
// stream gives to folders without one are only noted, for the palette to
// bind once everything has been read.
class qvPaletteStreamReader {
public:
    explicit qvPaletteStreamReader(qvInputStream& is) : is_(is) {}

    void read() {
        last_handle = qvReadInt32(is_);
        const long stream_folders = qvReadInt32(is_);
        const long stream_classes = qvReadInt32(is_);
        if (last_handle < 0 || !within_limit(stream_folders) || !within_limit(stream_classes))
            refuse();
        folder_limit_ = stream_folders + qvFolder::max_handle();
        class_limit_ = stream_classes + qvPropertyClass::max_handle();
        while (read_record()) {
        }
        check_counts();
    }

    qvSP_PalData values;
    long last_handle = 0;
    std::map<qvFolder*, qvPropertyClass*> bindings;

private:
    struct FolderSlot {
        qvFolder* folder;
        qvPropertyClass* type;
    };

    static bool within_limit(long n) { return n >= 0 && n <= max_stream_registry; }

    [[noreturn]] void refuse() { qvThrowInputStreamError(is_, "Invalid palette stream"); }

    // False at the end record.
    bool read_record() {
        const long a = qvReadInt32(is_);
        const long f = qvReadInt32(is_);
        QV_ASSERT_TEXT(a >= 0 && a <= last_handle, "a_handle >=0 && a_handle <= a_max");
        QV_ASSERT_TEXT(f >= 0 && f < folder_limit_, "f_handle >=0 && f_handle < f_max");
        if (a != 0) {
            read_value(a, f);
            return true;
        }
        const long p = qvReadInt32(is_);
        QV_ASSERT_TEXT(p >= 0 && p < class_limit_, "p_handle >=0 && p_handle < p_max");
        if (f != 0)
            read_folder(f, p);
        else if (p != 0)
            read_class(p);
        return f != 0 || p != 0;
    }

    void read_value(long a, long f) {
        auto const slot = folders_.find(f);
        if (slot == folders_.end())
            refuse();
        qvPropertyClass const* const type = slot->second.type;
        long word = 0;
        type->load_object(is_, word);
        bool kept = false;
        try {
            kept = values.insert(a, slot->second.folder, type, word);
        } catch (...) {
            type->destroy_object(word, nullptr);
            throw;
        }
        if (!kept)  // a repeated record: the first value stays
            type->destroy_object(word, nullptr);
    }

    void read_folder(long f, long p) {
        auto const type = classes_.find(p);
        if (type == classes_.end())
            refuse();
        qvFolder* folder = nullptr;
        is_ >> folder;
        if (folder->handle() == 0)
            refuse();
        qvPropertyClass* bound = folder->type();
        if (bound == nullptr) {
            auto const pending = bindings.find(folder);
            bound = pending != bindings.end() ? pending->second : nullptr;
        }
        if (bound != nullptr && !(*bound == *type->second))
            refuse();
        if (bound == nullptr)
            bindings.emplace(folder, type->second);
        folders_[f] = FolderSlot{folder, type->second};
    }

    void read_class(long p) {
        qvPropertyClass* type = nullptr;
        is_ >> type;
        classes_[p] = type;
    }

    void check_counts() {
        for (auto it = values.entries().begin(); it != values.entries().end();) {
            const long handle = it->first.handle;
            if (values.count(handle) < 1)
                refuse();
            it = values.end_of(handle);
        }
    }

    qvInputStream& is_;
    long folder_limit_ = 0;
    long class_limit_ = 0;
    std::map<long, qvPropertyClass*> classes_;
    std::map<long, FolderSlot> folders_;
};

}  // namespace

void qvStandardPalette::load(qvInputStream& is) {
    qvPaletteStreamReader reader(is);
    reader.read();

    // Commit: nothing below reads the stream or can fail for its content.
    for (auto const& [folder, type] : reader.bindings)
        folder->type(type);
    values_->swap(reader.values);  // the old values die with the reader
    last_handle_ = reader.last_handle;
    free();
    cookies_.clear();
    ++time_stamp_;
    init();
}
