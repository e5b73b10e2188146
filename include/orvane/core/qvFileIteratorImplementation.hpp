#pragma once
// qvFileIteratorImplementation: the entries of a directory whose names match
// a wildcard pattern, as full paths "<directory>/<name>".
//
// Keeps true: while not at its end, the current path is the directory, "/"
// and the name of the current match; the directory search is open exactly
// while the iteration is not over. Matching is case-sensitive, "." and ".."
// come when the pattern matches them, "*.*" matches every name, and matches
// come in the order the directory gives them. A missing or null directory,
// or a null pattern, is an iteration that is over at once; nothing raises.
// Paths have no length limit.
//
// Hand one to callers as qvIndirectIterator<char>(new qvFileIteratorImplementation(...)).

#include <orvane/core/qvIterator.hpp>

#include <cstddef>
#include <memory>
#include <string>

namespace orvane::platform {
struct DirectorySearch;
}

class qvFileIteratorImplementation : public qvIterator<char> {
public:
    qvFileIteratorImplementation(char const* directory, char const* pattern);
    qvFileIteratorImplementation(qvFileIteratorImplementation const&) = delete;
    qvFileIteratorImplementation& operator=(qvFileIteratorImplementation const&) = delete;
    ~qvFileIteratorImplementation() override;

    // The current full path, NUL-terminated; valid until the next call.
    char* get() override;
    void next() override;
    bool at_end() const override;

private:
    struct SearchCloser {
        void operator()(orvane::platform::DirectorySearch* search) const noexcept;
    };

    std::string path_;
    std::size_t prefix_length_;   // the directory and its "/"
    std::unique_ptr<orvane::platform::DirectorySearch, SearchCloser> search_;
};
