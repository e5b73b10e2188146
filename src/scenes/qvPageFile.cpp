// qvPageFile: the assembly of storage, cache, allocator and directory.

#include "scenes/qvPageFile.hpp"

#include <orvane/core/qvError.hpp>

qvPageFile::qvPageFile(char const* name, int cache, bool create, bool read_only, bool must_exist,
                       orvane::platform::FileIdentity* opened)
    : qvPageFileStorage(name, create, read_only, must_exist),
      qvCacheOnIO(static_cast<qvPageStorage&>(*this), cache, read_only),
      qvPageFileDirectory(1) {
    assemble(read_only, opened);
}

qvPageFile::qvPageFile(char const* name, std::size_t cache, bool create, bool read_only, bool must_exist,
                       orvane::platform::FileIdentity* opened)
    : qvPageFileStorage(name, create, read_only, must_exist),
      qvCacheOnIO(static_cast<qvPageStorage&>(*this), cache, read_only),
      qvPageFileDirectory(1) {
    assemble(read_only, opened);
}

// The bases are complete here, so a failure is undone by hand: the
// destructors of the bases run next, and the cache's must find nothing to
// write and nothing locked. Nothing the construction wrote is kept (it only
// lays out or probes), so the file is left as it was, its length too.
void qvPageFile::assemble(bool read_only, orvane::platform::FileIdentity* opened) {
    if (opened != nullptr) *opened = state();
    try {
        if (!read_only) {
            qvMapAllocator::check_opened_file(opened_bytes(), [this](long long position, void* buffer, int n) {
                return qvPageFileStorage::read_at(position, buffer, n);
            });
        }
        qvMapAllocator::create(*this, *this);
        qvPageFileDirectory::create(*this, *this, read_only);
    } catch (...) {
        discard();
        if (!read_only) restore_length();
        throw;
    }
}

void qvPageFile::flush() {
    qvCacheOnIO::flush();
    if (!read_only()) qvPageFileStorage::sync();
}

// A scene flushes before it seals: nothing written since, nothing to sync.
void qvPageFile::seal() noexcept {
    if (!qvCacheOnIO::seal()) return;
    if (qvPageFileStorage::unsynced()) {
        try {
            qvPageFileStorage::sync();
        } catch (qvError const&) {
            return;
        }
    }
    settled_ = true;
}

void qvPageFile::close(orvane::platform::FileIdentity* left) {
    if (closed_) return;
    if (!settled_) flush();
    qvCacheOnIO::release();
    closed_ = true;
    if (left != nullptr) *left = state();
    qvPageFileStorage::close();
}

void qvPageFile::abandon(orvane::platform::FileIdentity* left) noexcept {
    if (closed_) return;
    discard();
    if (!read_only()) restore_length();
    if (left != nullptr) *left = state();
    give_up();
}

void qvPageFile::give_up() noexcept {
    if (closed_) return;
    discard();
    closed_ = true;
    try {
        qvPageFileStorage::close();
    } catch (qvError const&) {
        // Given up already: what the system lost is lost with the session.
    }
}
