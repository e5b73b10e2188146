#pragma once
// Directory search of the POSIX layer, in the manner of the C runtime's
// find-first / find-next / find-close.
//
// A search owns an open directory stream and its pattern. Names are matched
// with fnmatch(pattern, name, 0): case-sensitive, "." and ".." included when
// they match; the pattern "*.*" matches as "*", as it does on the platform
// the library comes from. Matches come in the order readdir gives them.

#include <string>

namespace orvane::platform {

struct DirectorySearch;

// Starts a search; null when the directory cannot be read or nothing
// matches. Otherwise `name` holds the first match.
DirectorySearch* find_first(char const* directory, char const* pattern, std::string& name);

// The next match into `name`; false when there is none (the search stays
// open until find_close).
bool find_next(DirectorySearch* search, std::string& name);

void find_close(DirectorySearch* search) noexcept;

}  // namespace orvane::platform
