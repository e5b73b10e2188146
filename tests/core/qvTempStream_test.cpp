// Directory search by pattern (full paths of the matches: fnmatch,
// case-sensitive, "*.*" as "*"; nothing to search ends at once) and
// temporary streams (a file in TMPDIR, removed with the stream; without a
// file the stream stays closed and quiet).

#include <orvane/core/qvFileIteratorImplementation.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvTempStream.hpp>

#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

using namespace qv_file_test;
using Paths = std::vector<std::string>;

namespace {

// Every path the iterator yields, in the calling order (test, read, advance), sorted.
Paths paths(std::string const* directory, char const* pattern) {
    Paths found;
    for (qvIndirectIterator<char> it(new qvFileIteratorImplementation(directory ? directory->c_str() : nullptr, pattern));
         it; ++it)
        found.emplace_back(&*it);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

TEST(qvFileIterator, Yields_the_full_path_of_each_match_then_ends) {
    ScratchDir dir;
    for (char const* name : {"a.txt", "b.txt", "d.dat"}) write_file(dir / name, "");
    const std::string& d = dir.path();
    EXPECT_EQ(paths(&d, "*.txt"), (Paths{d + "/a.txt", d + "/b.txt"}));
    EXPECT_EQ(paths(&d, "*.*"), (Paths{d + "/.", d + "/..", d + "/a.txt", d + "/b.txt", d + "/d.dat"}));
    const std::string missing = dir / "missing";
    for (Paths const& none : {paths(&d, "*.TXT"), paths(&missing, "*"), paths(nullptr, "*")})
        EXPECT_TRUE(none.empty());
}

TEST(qvFileIterator, An_abandoned_search_leaks_no_descriptor) {
    ScratchDir dir;
    const long before = open_descriptor_count();
    {
        qvIndirectIterator<char> it(new qvFileIteratorImplementation(dir.path().c_str(), "*"));
        ASSERT_TRUE(it);
    }
    EXPECT_EQ(open_descriptor_count(), before);
}

TEST(qvTempStream, Copies_from_the_read_position_and_with_nothing_left_leaves_the_target_good) {
    ScratchDir dir;
    ScopedTmpdir tmpdir(dir.path());
    {
        TempStream stream;
        stream << "hello world";
        stream.flush();
        EXPECT_EQ(read_file(dir / names_in(dir.path()).at(0)), "hello world");
        std::ostringstream os;
        stream.seekg(6);
        stream.copy_to_stream(os, false);
        stream.copy_to_stream(os, true);
        stream.copy_to_stream(os, false);   // nothing left: unchanged
        EXPECT_EQ(os.str(), "worldhello world");
        EXPECT_TRUE(os.good());
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST(qvTempStream, Without_a_temporary_file_it_stays_closed_and_raises_nothing) {
    ScratchDir dir;   // disarms the seam at the end
    orvane::platform::fail_next(orvane::platform::Call::temp_file, EACCES);
    TempStream stream;
    EXPECT_FALSE(stream.is_open());
    stream << "lost";
    std::ostringstream os;
    stream.copy_to_stream(os, true);
    EXPECT_EQ(os.str(), "");
    EXPECT_TRUE(os.good());
}
