// Block files and temporary block files: creation and sharing rules, 64-bit
// positions, exact errors, rename, and clean-up.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>
#include <orvane/core/qvTempBlockFile.hpp>

#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <utility>

using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

constexpr long long GiB = 1LL << 30;
using E = qvErrorFrom<qvBlockFile>;

class qvBlockFileTest : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string f = dir / "f";
};

// The paged scene's way in: open only what exists.
struct ExistingBlockFile : qvBlockFile {
    bool open_existing_file(char const* name) { return open(name, open_existing, false, true); }
};

}  // namespace

TEST_F(qvBlockFileTest, Creates_a_missing_file_and_only_a_writable_open_with_create_empties_one) {
    EXPECT_EQ(qvBlockFile(f.c_str(), true, false).size(), 0);
    for (int mode = 0; mode < 4; ++mode) {
        write_file(f, "data");
        qvBlockFile(f.c_str(), mode & 1, mode & 2);
        EXPECT_EQ(read_file(f), mode == 2 ? "" : "data") << mode;
    }
    const std::string g = dir / "g";
    EXPECT_FALSE(ExistingBlockFile().open_existing_file(g.c_str()));
    EXPECT_FALSE(fs::exists(g));
    EXPECT_TRUE(ExistingBlockFile().open_existing_file(f.c_str()));
}

TEST_F(qvBlockFileTest, A_directory_is_refused_and_leaves_it_closed) {
    qvBlockFile file;
    EXPECT_FALSE(file.open(dir.path().c_str(), false, false));
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(file.open(f.c_str(), false, false));   // no "already open" check trips
    EXPECT_TRUE(raises<E>([&] { qvBlockFile((dir / "missing/f").c_str(), true, false); }, "Cannot open file"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { file.open(f.c_str(), false, false); }, "fd < 0 && !name"));
}

// So is every name that is no regular file, opened writable with create or
// not: a FIFO (the open waits for no writer) and a device stay what they are.
TEST_F(qvBlockFileTest, A_fifo_or_a_device_is_refused_by_a_block_file_and_a_mapping) {
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const long descriptors = open_descriptor_count();
    for (std::string const& name : {fifo, std::string("/dev/null")}) {
        for (int mode = 0; mode < 4; ++mode) {
            const bool read_only = mode & 1, create = mode & 2;
            qvBlockFile block;
            EXPECT_FALSE(block.open(name.c_str(), read_only, create)) << name << mode;
            qvFileMapping mapping;
            EXPECT_FALSE(mapping.open(name.c_str(), create, read_only)) << name << mode;
        }
    }
    struct stat status {};
    ASSERT_EQ(::stat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(open_descriptor_count(), descriptors);
}

TEST_F(qvBlockFileTest, Size_moves_to_the_end_and_size_n_extends_with_zeros) {
    qvBlockFile file(f.c_str(), false, true);
    file.write("abcd", 4);
    file.seek(1);
    EXPECT_EQ(file.size(), 4);
    char buffer[4];
    file.seek(2);
    EXPECT_EQ(file.read(buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, 2), "cd");
    file.size(6);
    EXPECT_EQ(read_file(f), std::string("abcd\0\0", 6));
    file.size(2);
    EXPECT_EQ(read_file(f), "ab");
}

TEST_F(qvBlockFileTest, Positions_past_4_GiB_make_a_sparse_file_and_positioned_calls_keep_the_position) {
    qvBlockFile file(f.c_str(), false, true);
    file.seek(2);
    file.write_at(5 * GiB, "xyz", 3);
    EXPECT_LT(file_length(f, true), 1 << 20);
    char buffer[8] = {};
    EXPECT_EQ(file.read_at(5 * GiB + 1, buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "yz");
    EXPECT_EQ(file.tell(), 2);
}

TEST_F(qvBlockFileTest, Writers_are_alone_readers_share_and_a_refused_create_empties_nothing) {
    {
        qvBlockFile writer(f.c_str(), false, false);
        EXPECT_FALSE(qvBlockFile().open(f.c_str(), true, false));
        EXPECT_FALSE(qvFileMapping().open(f.c_str(), false, true));
    }
    write_file(f, "keep");
    qvBlockFile reader(f.c_str(), true, false);
    EXPECT_TRUE(qvBlockFile().open(f.c_str(), true, false));
    EXPECT_FALSE(qvBlockFile().open(f.c_str(), false, true));
    EXPECT_EQ(read_file(f), "keep");
}

TEST_F(qvBlockFileTest, Bad_calls_and_system_failures_raise_the_operations_error) {
    write_file(f, "data");
    qvBlockFile read_only(f.c_str(), true, false), closed;
    char b[4];
    const char* const writing = "I/O error while writing file";
    EXPECT_TRUE(raises<E>([&] { read_only.write("x", 1); }, "Cannot modify a readonly file"));
    read_only.close();
    qvBlockFile file(f.c_str(), false, false);
    EXPECT_TRUE(raises<E>([&] { file.seek(-1); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { file.read(b, -1); }, "I/O error while reading file"));
    EXPECT_TRUE(raises<E>([&] { closed.tell(); }, "I/O error on seek operation"));
    platform::fail_next(platform::Call::write, ENOSPC);
    EXPECT_TRUE(raises<E>([&] { file.write("abcd", 4); }, writing));
    platform::fail_next(platform::Call::close, EIO);
    EXPECT_TRUE(raises<E>([&] { file.close(); }, writing));
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(file.open(f.c_str(), false, false));   // the lock went with the descriptor
}

TEST_F(qvBlockFileTest, A_failed_close_in_the_destructor_ends_the_process) {
    EXPECT_DEATH(
        {
            qvBlockFile file(f.c_str(), false, false);
            platform::fail_next(platform::Call::close, EIO);
        },
        "Unexpected Orvane error: I/O error while writing file");
}

TEST_F(qvBlockFileTest, Moves_carry_the_lock_and_nothing_leaks_a_descriptor) {
    const long before = open_descriptor_count();
    {
        qvBlockFile first(f.c_str(), false, false), third((dir / "g").c_str(), false, false);
        third = std::move(first);   // closes "g", takes "f"
        EXPECT_FALSE(first.is_open());
        EXPECT_FALSE(qvBlockFile().open(f.c_str(), true, false));
        EXPECT_TRUE(qvBlockFile().open((dir / "g").c_str(), false, false));
        EXPECT_FALSE(qvBlockFile().open(dir.path().c_str(), true, false));   // refused opens close too
        qvTempBlockFile temp;
        EXPECT_ANY_THROW(temp.rename((dir / "missing/x").c_str()));
    }
    EXPECT_EQ(open_descriptor_count(), before);
}

// Regression: rename reopened at 0, so later writes overwrote the start.
TEST_F(qvBlockFileTest, Rename_moves_the_data_replaces_a_target_and_keeps_the_position) {
    const std::string g = dir / "g";
    write_file(f, "data");
    write_file(g, "old target");
    qvBlockFile file(f.c_str(), true, false);
    file.seek(4);
    file.rename(g.c_str());
    file.write("!", 1);
    EXPECT_EQ(read_file(g), "data!");
    platform::fail_next(platform::Call::rename, EXDEV);   // across file systems: copy beside, then rename
    file.rename(f.c_str());
    EXPECT_EQ(read_file(f), "data!");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"f"});
}

TEST_F(qvBlockFileTest, A_failed_rename_leaves_the_file_open_under_its_old_name) {
    write_file(f, "data");
    qvBlockFile file(f.c_str(), true, false);
    platform::fail_next(platform::Call::rename, EACCES);
    EXPECT_TRUE(raises<E>([&] { file.rename((dir / "g").c_str()); }, "Cannot rename file"));
    EXPECT_FALSE(qvBlockFile().open(f.c_str(), false, false));   // still holds its lock
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"f"});
}

TEST_F(qvBlockFileTest, A_temporary_file_is_one_qvbf_file_in_TMPDIR_removed_unless_renamed) {
    ScratchDir temp_dir;
    ScopedTmpdir tmpdir(temp_dir.path());
    {
        qvTempBlockFile temp;
        temp.write("abc", 3);
        const auto names = names_in(temp_dir.path());
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(names[0].substr(0, 4), "qvbf");
        EXPECT_EQ(names[0].size(), 10u);
        temp.rename(f.c_str());
    }
    EXPECT_EQ(read_file(f), "abc");
    EXPECT_TRUE(names_in(temp_dir.path()).empty());
    {
        qvTempBlockFile first, second, closed;
        second = std::move(first);   // second's own file goes
        closed.close();              // its file still goes with it
        EXPECT_EQ(names_in(temp_dir.path()).size(), 2u);
    }
    EXPECT_TRUE(names_in(temp_dir.path()).empty());
}

TEST_F(qvBlockFileTest, Without_a_usable_directory_a_temporary_file_raises) {
    write_file(f, "");
    ScopedTmpdir tmpdir(f);   // no directory: /tmp instead
    qvTempBlockFile temp;
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"f"});
    platform::fail_next(platform::Call::temp_file, EACCES);
    EXPECT_TRUE(raises<qvErrorFrom<qvTempBlockFile>>([] { qvTempBlockFile t; }, "Cannot open file"));
}
