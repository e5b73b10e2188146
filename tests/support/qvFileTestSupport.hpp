#pragma once
// Test support for block files, mappings, file iterators and temporary
// streams: scratch directories, whole-file reads and writes, TMPDIR for a
// scope, open-descriptor counts and exact-error checks.
//
// Each scratch directory is new (mkdtemp) and removed with its content, so
// tests that run in parallel processes never meet.

#include <orvane/core/qvError.hpp>

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

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "qvfilestestXXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(ScratchDir const&) = delete;
    ScratchDir& operator=(ScratchDir const&) = delete;

    std::string const& path() const { return path_; }
    std::string operator/(std::string const& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void write_file(std::string const& path, std::string const& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string read_file(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline long long file_length(std::string const& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

inline long long allocated_bytes(std::string const& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_blocks) * 512 : -1;
}

// Names in a directory, sorted, without "." and "..".
inline std::vector<std::string> names_in(std::string const& dir) {
    std::vector<std::string> names;
    for (auto const& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

inline int open_descriptor_count() {
    int count = 0;
    for ([[maybe_unused]] auto const& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// Sets (or clears, with nullopt) TMPDIR until the end of the scope.
class ScopedTmpdir {
public:
    explicit ScopedTmpdir(std::optional<std::string> const& value) {
        if (char const* old = std::getenv("TMPDIR")) old_ = old;
        if (value)
            ::setenv("TMPDIR", value->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    ~ScopedTmpdir() {
        if (old_)
            ::setenv("TMPDIR", old_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    ScopedTmpdir(ScopedTmpdir const&) = delete;
    ScopedTmpdir& operator=(ScopedTmpdir const&) = delete;

private:
    std::optional<std::string> old_;
};

// The call raises exactly an E (or a class derived from it) with this text.
template <class E, class F>
::testing::AssertionResult raises(F&& call, char const* text) {
    try {
        call();
    } catch (E const& error) {
        if (std::strcmp(static_cast<char const*>(error), text) == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "raised \"" << static_cast<char const*>(error)
                                             << "\", expected \"" << text << "\"";
    } catch (qvError const& error) {
        return ::testing::AssertionFailure() << "raised another class: \""
                                             << static_cast<char const*>(error) << "\"";
    }
    return ::testing::AssertionFailure() << "nothing raised, expected \"" << text << "\"";
}

}  // namespace qv_file_test
