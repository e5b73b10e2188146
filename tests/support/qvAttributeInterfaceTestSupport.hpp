#pragma once
// Support of the attribute-object tests: a palette that records every call
// it receives before passing it to a standard palette, reference counts by
// handle, and a scoped rebinding of a registered folder to another class.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>

#include "qvPaletteTestSupport.hpp"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace attribute_object_test {

using palette_test::assertion_text;
using palette_test::expect_raises;
using palette_test::folder;

// The first 4 bytes of a folder's raw value, -1 when absent.
inline std::int32_t word_of(void const* raw) {
    std::int32_t word = -1;
    if (raw != nullptr)
        std::memcpy(&word, raw, sizeof word);
    return word;
}

// Records "alloc 0", "set 3 pen/color_device/line_style 0", "get 3 path",
// "remove 3 path 0", "copy 1 2 path 0", "add_ref 3", "release 3",
// "add_name 3 name 0", "remove_name 3", "handle name", "name 3".
class RecordingPalette : public qvPalette {
public:
    mutable std::vector<std::string> calls;
    qvStandardPalette inner;

    // The calls that change something: every call but the reads.
    std::vector<std::string> changes() const {
        std::vector<std::string> out;
        for (std::string const& call : calls)
            if (call.rfind("get ", 0) != 0 && call.rfind("handle ", 0) != 0 &&
                call.rfind("name ", 0) != 0)
                out.push_back(call);
        return out;
    }
    // The attributes of the inner palette.
    std::vector<long> handles() {
        std::vector<long> out;
        for (qvIndirectIterator<qvWrap<long>> it = inner.enumerate(); it; ++it)
            out.push_back(*it);
        return out;
    }

    void initialize(qvPalette*) override {}
    long handle(char const* name) const override {
        log("handle " + text(name));
        return inner.handle(name);
    }
    char const* name(long h) const override {
        log("name " + std::to_string(h));
        return inner.name(h);
    }
    long add_name(long h, char const* name, bool shared) override {
        log("add_name " + std::to_string(h) + " " + text(name) + flag(shared));
        return inner.add_name(h, name, shared);
    }
    long remove_name(long h) override {
        log("remove_name " + std::to_string(h));
        return inner.remove_name(h);
    }
    qvIndirectIterator<qvWrap<long>> enumerate() override { return inner.enumerate(); }
    long alloc(bool shared) override {
        log(std::string("alloc") + flag(shared));
        return inner.alloc(shared);
    }
    void add_ref(long h) override {
        log("add_ref " + std::to_string(h));
        inner.add_ref(h);
    }
    int release(long h) override {
        log("release " + std::to_string(h));
        return inner.release(h);
    }
    long copy(long src, long dst, qvFolder const& f, bool shared) override {
        log("copy " + std::to_string(src) + " " + std::to_string(dst) + " " + f.name() + flag(shared));
        return inner.copy(src, dst, f, shared);
    }
    long remove(long h, qvFolder const& f, bool shared) override {
        log("remove " + std::to_string(h) + " " + f.name() + flag(shared));
        return inner.remove(h, f, shared);
    }
    long property(long h, qvFolder const& f, void const* value, bool shared) override {
        log("set " + std::to_string(h) + " " + f.name() + flag(shared));
        return inner.property(h, f, value, shared);
    }
    void const* property(long h, qvFolder const& f) const override {
        log("get " + std::to_string(h) + " " + f.name());
        return inner.property(h, f);
    }
    qvSenderInvalidate<long>& publisher() override { return inner.publisher(); }
    void cookie(qvCookieHandle const& key, orvane::auto_ptr<qvCookie> cookie) override {
        inner.cookie(key, cookie);
    }
    qvCookie* cookie(qvCookieHandle const& key) override { return inner.cookie(key); }
    long time_stamp() const override { return inner.time_stamp(); }
    qvSafePtr<qvCookie> shared_cookie(qvCookieHandle const& key) override {
        return inner.shared_cookie(key);
    }
    void replace_cookie(qvCookieHandle const& key, qvSafePtr<qvCookie> const& cookie) override {
        inner.replace_cookie(key, cookie);
    }
    void load(qvInputStream& is) override { inner.load(is); }
    void save(qvOutputStream& os) const override { inner.save(os); }

private:
    static std::string text(char const* s) { return s == nullptr ? "(null)" : s; }
    static char const* flag(bool shared) { return shared ? " 1" : " 0"; }
    void log(std::string call) const { calls.push_back(std::move(call)); }
};

// The attribute's reference count, 0 when it does not exist.
inline int count_of(qvPalette const& palette, long handle) {
    const std::int32_t count = word_of(palette.property(handle, folder("ref_count")));
    return count < 0 ? 0 : count;
}

// Binds a registered folder to another class for the scope.
class ScopedRebinding {
public:
    ScopedRebinding(char const* path, qvPropertyClass* other)
        : folder_(folder(path)), saved_(folder_.type()) {
        folder_.type(other);
    }
    ScopedRebinding(ScopedRebinding const&) = delete;
    ScopedRebinding& operator=(ScopedRebinding const&) = delete;
    ~ScopedRebinding() { folder_.type(saved_); }

private:
    qvFolder& folder_;
    qvPropertyClass* saved_;
};

}  // namespace attribute_object_test
