// qvMatchingPaletteIndex: content hashes, equality and merging of the
// matching palette (see qvMatchingPaletteIndex.hpp).

#include "attributes/qvMatchingPaletteIndex.hpp"
#include "attributes/qvPaletteSystemFolders.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvHashStream.hpp>
#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>

#include <algorithm>
#include <climits>

namespace {

// The registered folder of a handle, or null (root, unknown).
qvFolder const* registered(qvFolder const& folder) {
    return folder.handle() != 0 ? qvFolder::registry().get()->object(folder.handle()) : nullptr;
}

qvMatchingPaletteIndex::Hash rotate_left(qvMatchingPaletteIndex::Hash hash, unsigned n) {
    n &= 31u;
    return n == 0 ? hash : (hash << n) | (hash >> (32u - n));
}

}  // namespace

qvMatchingPaletteIndex::qvMatchingPaletteIndex(qvPalette* base)
    : base_(base != nullptr ? base : new qvStandardPalette),
      ref_count_(qvPaletteSystemFolder("ref_count")),
      is_shared_(qvPaletteSystemFolder("is_shared")),
      attr_name_(qvPaletteSystemFolder("attr_name")) {}

qvMatchingPaletteIndex::~qvMatchingPaletteIndex() = default;

// ---------------------------------------------------------------------------
// Hashes and content

qvMatchingPaletteIndex::Hash qvMatchingPaletteIndex::value_hash(qvFolder const& folder,
                                                                void const* value) {
    qvPropertyClass const* const type = folder.type();
    qvHashStream stream(qvHashStreamBuf::default_seed, false);
    long word = 0;
    type->property(word, value);  // stands for the value, owns nothing
    type->save_object(stream, word);
    return rotate_left(static_cast<Hash>(stream.hash()), static_cast<unsigned>(folder.handle()));
}

bool qvMatchingPaletteIndex::known(long handle) const {
    return base_->property(handle, *ref_count_) != nullptr;
}

bool qvMatchingPaletteIndex::shared(long handle) const {
    return base_->property(handle, *is_shared_) != nullptr;
}

bool qvMatchingPaletteIndex::unindexed_target(long handle) const {
    if (!known(handle) || shared(handle))
        return true;
    QV_ASSERT_TEXT(by_handle_.count(handle) != 0, "old_item != attr_map.end()");
    return false;
}

qvMatchingPaletteIndex::Content qvMatchingPaletteIndex::content_of(long handle) const {
    Content content;
    for (auto it = qvFolder::root().enumerate(); it; ++it) {
        qvFolder const& folder = *it;
        if (folder.handle() == ref_count_->handle())
            continue;
        if (void const* value = base_->property(handle, folder))
            content.push_back(Slot{&folder, value});
    }
    std::sort(content.begin(), content.end(), [](Slot const& a, Slot const& b) {
        return a.folder->handle() < b.folder->handle();
    });
    return content;
}

// The content `handle` has once the updates are made; `clones` starts from
// the private copy, which has no name.
qvMatchingPaletteIndex::Content qvMatchingPaletteIndex::content_after(
    long handle, std::vector<Update> const& updates, bool clones) const {
    Content content = content_of(handle);
    auto const drop = [&](qvFolder const* folder) {
        std::erase_if(content, [&](Slot const& s) { return s.folder->handle() == folder->handle(); });
    };
    if (clones)
        drop(attr_name_);
    for (Update const& update : updates) {
        drop(update.folder);
        if (update.after != nullptr)
            content.push_back(Slot{update.folder, update.after});
    }
    std::sort(content.begin(), content.end(), [](Slot const& a, Slot const& b) {
        return a.folder->handle() < b.folder->handle();
    });
    return content;
}

bool qvMatchingPaletteIndex::same_value(qvFolder const& folder, void const* a, void const* b) {
    if (a == nullptr || b == nullptr)
        return a == b;
    return folder.type()->equal_objects(a, b);
}

bool qvMatchingPaletteIndex::same_content(Content const& a, Content const& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].folder->handle() != b[i].folder->handle() ||
            !same_value(*a[i].folder, a[i].value, b[i].value))
            return false;
    }
    return true;
}

qvMatchingPaletteIndex::Hash qvMatchingPaletteIndex::content_hash(long handle) const {
    Hash hash = 0;
    for (Slot const& slot : content_of(handle))
        hash ^= value_hash(*slot.folder, slot.value);
    return hash;
}

template <class MakeContent>
long qvMatchingPaletteIndex::find_equal(Hash hash, long except, MakeContent&& make_content) {
    Content wanted;
    bool made = false;
    for (auto it = hashes_.lower_bound({hash, LONG_MIN}); it != hashes_.end() && it->first == hash;
         ++it) {
        const long candidate = it->second;
        if (candidate == except || !known(candidate))
            continue;
        if (!made) {
            wanted = make_content();
            made = true;
        }
        if (same_content(content_of(candidate), wanted))
            return candidate;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The index

void qvMatchingPaletteIndex::index(long handle, Hash hash) {
    unindex(handle);
    by_handle_.emplace(handle, hash);
    hashes_.emplace(hash, handle);
}

void qvMatchingPaletteIndex::unindex(long handle) {
    auto const it = by_handle_.find(handle);
    if (it == by_handle_.end())
        return;
    hashes_.erase({it->second, handle});
    by_handle_.erase(it);
}

// After the base made a change of `target` whose result is `result`. The
// hash worked out beforehand is right when the base did what was expected
// (a copy exactly when `clones`); otherwise the result is hashed afresh. A
// target that was copied keeps its entry: its content did not change.
void qvMatchingPaletteIndex::settle(long target, long result, bool clones, Hash hash) {
    if (result == target)
        unindex(target);
    if (!known(result) || shared(result))
        return;
    index(result, (result != target) == clones ? hash : content_hash(result));
}

// A change of a shared attribute goes straight to the base, but it can take
// "is_shared" away (from the attribute, or from the private copy the base
// makes): an unshared result then joins the index, or no later change or
// release of it could find its entry.
long qvMatchingPaletteIndex::passed(long result) {
    if (known(result) && !shared(result) && by_handle_.count(result) == 0)
        index(result, content_hash(result));
    return result;
}

// ---------------------------------------------------------------------------
// Operations

long qvMatchingPaletteIndex::alloc(bool shared_attribute) {
    if (shared_attribute)
        return base_->alloc(true);
    const long empty = find_equal(0, 0, [] { return Content{}; });
    if (empty != 0) {
        base_->add_ref(empty);
        return empty;
    }
    const long handle = base_->alloc(false);
    index(handle, 0);
    return handle;
}

int qvMatchingPaletteIndex::release(long handle) {
    if (handle == 0)
        return 0;
    const bool indexed = by_handle_.count(handle) != 0;
    QV_ASSERT_TEXT(indexed || !known(handle) || shared(handle), "old_item != attr_map.end()");
    const int left = base_->release(handle);
    if (left == 0)
        unindex(handle);
    return left;
}

long qvMatchingPaletteIndex::write(long handle, qvFolder const& folder, void const* value,
                                   bool shared_flag) {
    qvFolder const* const target_folder = registered(folder);
    // The base reports illegal folders; a count written by hand changes no
    // content.
    if (unindexed_target(handle) || target_folder == nullptr || target_folder->type() == nullptr ||
        target_folder == ref_count_)
        return passed(base_->property(handle, folder, value, shared_flag));
    const std::vector<Update> updates{
        Update{target_folder, base_->property(handle, *target_folder), value}};
    return apply(handle, updates, true,
                 [&] { return base_->property(handle, folder, value, shared_flag); });
}

long qvMatchingPaletteIndex::copy(long src, long dst, qvFolder const& folder, bool shared_flag) {
    if (unindexed_target(dst))
        return passed(base_->copy(src, dst, folder, shared_flag));
    std::vector<Update> updates;
    for (auto it = folder.enumerate(); it; ++it) {
        qvFolder const& g = *it;
        if (g.handle() == ref_count_->handle() || g.handle() == attr_name_->handle())
            continue;
        if (void const* value = base_->property(src, g))
            updates.push_back(Update{&g, base_->property(dst, g), value});
    }
    return apply(dst, updates, true, [&] { return base_->copy(src, dst, folder, shared_flag); });
}

long qvMatchingPaletteIndex::remove(long handle, qvFolder const& folder, bool shared_flag) {
    if (unindexed_target(handle))
        return passed(base_->remove(handle, folder, shared_flag));
    const long exact = folder.handle();
    std::vector<Update> updates;
    for (auto it = folder.enumerate(); it; ++it) {
        qvFolder const& g = *it;
        if (g.handle() == ref_count_->handle())
            continue;
        if ((g.handle() == attr_name_->handle() || g.handle() == is_shared_->handle()) &&
            g.handle() != exact)
            continue;
        if (void const* value = base_->property(handle, g))
            updates.push_back(Update{&g, value, nullptr});
    }
    // A name leaves the attribute of every user at once, never a copy.
    const bool removes_name = exact == attr_name_->handle();
    return apply(handle, updates, !removes_name,
                 [&] { return base_->remove(handle, folder, shared_flag); });
}

// The common road of write, copy and remove on an indexed target:
//   1. a change that alters no value returns the target untouched;
//   2. the hash of the resulting content is worked out from the target's
//      (on the private copy, when the base will make one, which has no name);
//   3. an existing attribute of equal content takes the caller's reference;
//   4. else the base makes the change and the index follows it.
template <class BaseCall>
long qvMatchingPaletteIndex::apply(long target, std::vector<Update> const& updates,
                                   bool may_merge, BaseCall&& call) {
    const bool changes = std::any_of(updates.begin(), updates.end(), [](Update const& u) {
        return !same_value(*u.folder, u.before, u.after);
    });
    if (!changes)
        return target;

    auto const count = static_cast<std::int32_t const*>(base_->property(target, *ref_count_));
    const bool clones = may_merge && *count >= 2;
    Hash hash = by_handle_.at(target);
    void const* const name = base_->property(target, *attr_name_);
    if (clones && name != nullptr)
        hash ^= value_hash(*attr_name_, name);
    for (Update const& update : updates) {
        void const* const before =
            clones && update.folder->handle() == attr_name_->handle() ? nullptr : update.before;
        if (same_value(*update.folder, before, update.after))
            continue;
        if (before != nullptr)
            hash ^= value_hash(*update.folder, before);
        if (update.after != nullptr)
            hash ^= value_hash(*update.folder, update.after);
    }

    if (may_merge) {
        const long equal =
            find_equal(hash, target, [&] { return content_after(target, updates, clones); });
        if (equal != 0) {
            base_->add_ref(equal);
            if (base_->release(target) == 0)
                unindex(target);
            return equal;
        }
    }
    const long result = call();
    settle(target, result, clones, hash);
    return result;
}

void qvMatchingPaletteIndex::load(qvInputStream& is) {
    base_->load(is);
    std::map<long, Hash> by_handle;
    std::set<std::pair<Hash, long>> hashes;
    for (auto it = base_->enumerate(); it; ++it) {
        const long handle = *it;
        if (shared(handle))
            continue;
        const Hash hash = content_hash(handle);
        by_handle.emplace(handle, hash);
        hashes.emplace(hash, handle);
    }
    by_handle_.swap(by_handle);
    hashes_.swap(hashes);
}
