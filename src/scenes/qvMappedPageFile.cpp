// qvMappedPageFile: the assembly of mapping, cache, allocator and directory.

#include "scenes/qvMappedPageFile.hpp"

#include <orvane/core/qvError.hpp>

#include "platform/qvPlatformFile.hpp"

#include <cstddef>

qvMappedPageFile::qvMappedPageFile(char const* name, bool create, bool read_only, bool must_exist,
                                   orvane::platform::FileIdentity* opened_state)
    : qvFileMapping(default_view_bytes),
      qvCacheOnMapping(opened(*this, name, create, read_only, must_exist, opened_state), headroom, growth) {
    // The bases are complete here, so a failure is undone by hand: the view
    // goes and the file gets its length back before the bases' destructors
    // close it.
    try {
        qvMapAllocator::create(*this, *this);
        qvPageFileDirectory::create(*this, *this, read_only);
    } catch (...) {
        qvCacheOnMapping::abandon();
        throw;
    }
}

// Runs while the cache is not yet built: it touches only the mapping, which
// is. The file is looked at through its descriptor before any view exists:
// a read through a view past the file's end ends the process, and another
// program may empty its own file at any moment, whereas a short read only
// refuses it. A writable file is then reserved whole, so that a hole left
// by a sparse writer cannot meet a full disk through the view.
qvFileMapping& qvMappedPageFile::opened(qvMappedPageFile& self, char const* name, bool create, bool read_only,
                                         bool must_exist, orvane::platform::FileIdentity* state) {
    qvFileMapping& mapping = self;
    if (!self.qvFileMapping::open(name, must_exist ? open_existing : 0, create, read_only))
        qvRaise(qvErrorFrom<qvFileMapping>("Cannot open file"));
    const int fd = self.qvFileMapping::descriptor();
    if (state != nullptr) *state = orvane::platform::file_identity(fd);
    const auto read = [fd](long long position, void* buffer, std::size_t n) {
        const long long got = orvane::platform::read_at(fd, position, buffer, n);
        if (got < 0) qvRaise(qvErrorFrom<qvFileMapping>("I/O error while reading file"));
        return got;
    };
    qvMapAllocator::check_opened_file(self.qvFileMapping::size(), read);
    self.qvFileMapping::reserve();   // nothing for a read-only file
    return mapping;
}

void qvMappedPageFile::flush() {
    if (closed() || qvFileMapping::read_only()) return;
    qvFileMapping::sync();
}

void qvMappedPageFile::seal() noexcept {
    if (!qvCacheOnMapping::seal()) return;
    try {
        qvFileMapping::sync();   // the cut length
        settled_ = true;
    } catch (qvError const&) {
    }
}

void qvMappedPageFile::close(orvane::platform::FileIdentity* left) {
    if (closed()) return;
    if (!settled_) flush();
    qvCacheOnMapping::close();
    if (!settled_ && !qvFileMapping::read_only()) qvFileMapping::sync();   // the cut length
    if (left != nullptr) *left = state();
    qvFileMapping::close();
}

void qvMappedPageFile::abandon(orvane::platform::FileIdentity* left) noexcept {
    if (closed()) return;
    qvCacheOnMapping::abandon();
    if (left != nullptr) *left = state();
    qvFileMapping::close();
}

// The mapping is closed first, so the cache's close finds no view and no
// backing left to cut.
void qvMappedPageFile::give_up() noexcept {
    if (closed()) return;
    qvFileMapping::close();
    try {
        qvCacheOnMapping::close();
    } catch (qvError const&) {
        // A page still locked: the owner's programming error, reported when
        // the cache is destroyed.
    }
}
