#include <orvane/core/qvFileIteratorImplementation.hpp>
#include <orvane/core/qvIndirectIterator.hpp>

#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace qv_file_test;

namespace {

// Every path the iterator yields, in the calling order: test, read, advance.
std::vector<std::string> paths(char const* directory, char const* pattern) {
    std::vector<std::string> found;
    for (qvIndirectIterator<char> it(new qvFileIteratorImplementation(directory, pattern)); it; ++it)
        found.emplace_back(&*it);
    std::sort(found.begin(), found.end());
    return found;
}

class qvFileIterator : public ::testing::Test {
protected:
    qvFileIterator() {
        for (char const* name : {"a.txt", "b.txt", "c.txt", "d.dat"}) write_file(dir / name, "");
    }
    ScratchDir dir;
};

}  // namespace

TEST_F(qvFileIterator, Yields_the_full_path_of_each_match_then_ends) {
    const std::string d = dir.path();
    EXPECT_EQ(paths(d.c_str(), "*.txt"),
              (std::vector<std::string>{d + "/a.txt", d + "/b.txt", d + "/c.txt"}));
    EXPECT_EQ(paths(d.c_str(), "?.dat"), std::vector<std::string>{d + "/d.dat"});
    EXPECT_TRUE(paths(d.c_str(), "*.TXT").empty());   // case-sensitive
}

TEST_F(qvFileIterator, Star_includes_the_dot_entries_and_star_dot_star_matches_as_star) {
    const std::string d = dir.path();
    const std::vector<std::string> all{d + "/.", d + "/..", d + "/a.txt", d + "/b.txt", d + "/c.txt",
                                       d + "/d.dat"};
    EXPECT_EQ(paths(d.c_str(), "*"), all);
    EXPECT_EQ(paths(d.c_str(), "*.*"), all);
}

TEST_F(qvFileIterator, Nothing_to_search_is_at_its_end_at_once) {
    EXPECT_TRUE(paths(dir.path().c_str(), "*.none").empty());
    EXPECT_TRUE(paths((dir / "missing").c_str(), "*").empty());
    EXPECT_TRUE(paths(nullptr, "*").empty());
    EXPECT_TRUE(paths(dir.path().c_str(), nullptr).empty());
    qvFileIteratorImplementation ended(nullptr, nullptr);
    EXPECT_TRUE(ended.at_end());
    ended.next();   // ignored
    EXPECT_TRUE(ended.at_end());
}

TEST_F(qvFileIterator, Paths_longer_than_260_characters_work) {
    const std::string deep = dir / std::string(150, 'p') + "/" + std::string(150, 'q');
    fs::create_directories(deep);
    write_file(deep + "/x.txt", "");
    ASSERT_GT(deep.size(), 300u);
    EXPECT_EQ(paths(deep.c_str(), "*.txt"), std::vector<std::string>{deep + "/x.txt"});
}

TEST_F(qvFileIterator, An_abandoned_search_leaks_no_descriptor) {
    const int before = open_descriptor_count();
    {
        qvIndirectIterator<char> it(new qvFileIteratorImplementation(dir.path().c_str(), "*"));
        ASSERT_TRUE(it);
        EXPECT_EQ(open_descriptor_count(), before + 1);
    }
    EXPECT_EQ(open_descriptor_count(), before);
}
