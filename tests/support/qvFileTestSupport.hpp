#pragma once
// File-test support (scratch directories, whole files, TMPDIR for a scope,
// descriptor counts) and exact-error checks. Each scratch directory is new
// (mkdtemp) and removed with its content: parallel test processes never meet.

#include <orvane/core/qvError.hpp>

#include "platform/qvPlatformFault.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace qv_file_test {

namespace fs = std::filesystem;

// A scratch directory, and seams disarmed when the test ends.
class ScratchDir {
public:
    ScratchDir() : path_((fs::temp_directory_path() / "qvfilestestXXXXXX").string()) {
        if (::mkdtemp(path_.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    }
    ~ScratchDir() {
        orvane::platform::clear_failures();
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string const& path() const { return path_; }
    std::string operator/(std::string const& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void write_file(std::string const& path, std::string const& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string read_file(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Length and allocated bytes of a file, -1 when missing.
inline long long file_length(std::string const& path, bool allocated = false) {
    struct stat s;
    if (::stat(path.c_str(), &s) != 0) return -1;
    return allocated ? static_cast<long long>(s.st_blocks) * 512 : static_cast<long long>(s.st_size);
}

// Names in a directory, sorted, without "." and "..".
inline std::vector<std::string> names_in(std::string const& dir) {
    std::vector<std::string> names;
    for (auto const& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

inline long open_descriptor_count() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// Sets TMPDIR until the end of the scope.
class ScopedTmpdir {
public:
    explicit ScopedTmpdir(std::string const& value) {
        if (char const* old = std::getenv("TMPDIR")) old_ = old;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~ScopedTmpdir() { old_ ? ::setenv("TMPDIR", old_->c_str(), 1) : ::unsetenv("TMPDIR"); }
private:
    std::optional<std::string> old_;
};

// The call raises exactly an E (or a class derived from it) with this text.
template <class E, class F>
::testing::AssertionResult raises(F&& call, char const* text) {
    try {
        call();
    } catch (E const& error) {
        if (std::strcmp(static_cast<char const*>(error), text) == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised \"" << static_cast<char const*>(error) << "\"";
    } catch (qvError const& error) {
        return ::testing::AssertionFailure() << "raised another class: \"" << static_cast<char const*>(error) << "\"";
    }
    return ::testing::AssertionFailure() << "nothing raised, expected \"" << text << "\"";
}

}  // namespace qv_file_test
