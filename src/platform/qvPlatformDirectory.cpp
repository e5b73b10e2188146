// Directory search of the POSIX layer (see the header for what holds).

#include "platform/qvPlatformDirectory.hpp"

#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <memory>
#include <utility>

namespace orvane::platform {

struct DirectorySearch {
    DIR* stream;
    std::string pattern;

    ~DirectorySearch() { ::closedir(stream); }
};

namespace {
std::string effective_pattern(char const* pattern) {
    return std::strcmp(pattern, "*.*") == 0 ? std::string("*") : std::string(pattern);
}
}  // namespace

DirectorySearch* find_first(char const* directory, char const* pattern, std::string& name) {
    if (directory == nullptr || pattern == nullptr) return nullptr;
    std::string wanted = effective_pattern(pattern);
    DIR* const stream = ::opendir(directory);
    if (stream == nullptr) return nullptr;
    std::unique_ptr<DirectorySearch> search(new DirectorySearch{stream, std::move(wanted)});
    if (!find_next(search.get(), name)) return nullptr;
    return search.release();
}

bool find_next(DirectorySearch* search, std::string& name) {
    while (dirent const* const entry = ::readdir(search->stream)) {
        if (::fnmatch(search->pattern.c_str(), entry->d_name, 0) == 0) {
            name = entry->d_name;
            return true;
        }
    }
    return false;
}

void find_close(DirectorySearch* search) noexcept { delete search; }

}  // namespace orvane::platform
