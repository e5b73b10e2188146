#include <orvane/core/qvTempStream.hpp>

#include "platform/qvPlatformFault.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>

using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {
class qvTempStreamTest : public ::testing::Test {
protected:
    void TearDown() override { platform::clear_failures(); }
    ScratchDir dir;
};
}  // namespace

TEST_F(qvTempStreamTest, Copies_everything_after_a_rewind) {
    TempStream stream;
    stream << "abc";
    std::ostringstream os;
    stream.copy_to_stream(os, true);
    EXPECT_EQ(os.str(), "abc");
    EXPECT_TRUE(os.good());
}

TEST_F(qvTempStreamTest, With_nothing_left_the_target_stays_good_and_unchanged) {
    TempStream stream;
    stream << "abc";
    std::ostringstream os;
    stream.copy_to_stream(os, true);
    stream.copy_to_stream(os, false);
    EXPECT_EQ(os.str(), "abc");
    EXPECT_TRUE(os.good());
    TempStream empty;
    empty.copy_to_stream(os, true);
    EXPECT_TRUE(os.good());
}

TEST_F(qvTempStreamTest, Copies_from_the_read_position_without_rewind) {
    TempStream stream;
    stream << "hello world";
    stream.seekg(6);
    std::ostringstream os;
    stream.copy_to_stream(os, false);
    EXPECT_EQ(os.str(), "world");
}

TEST_F(qvTempStreamTest, Lives_in_TMPDIR_and_is_removed_on_destruction) {
    ScopedTmpdir tmpdir(dir.path());
    {
        TempStream stream;
        stream << "data";
        stream.flush();
        const auto names = names_in(dir.path());
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(read_file(dir / names[0]), "data");
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(qvTempStreamTest, Without_a_temporary_file_it_stays_closed_and_raises_nothing) {
    platform::fail_next(platform::Call::temp_file, EACCES);
    TempStream stream;
    EXPECT_FALSE(stream.is_open());
    EXPECT_TRUE(stream.bad());
    stream << "lost";
    std::ostringstream os;
    stream.copy_to_stream(os, true);
    EXPECT_EQ(os.str(), "");
    EXPECT_TRUE(os.good());
}
