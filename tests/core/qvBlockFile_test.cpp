#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>
#include <orvane/core/qvTempBlockFile.hpp>

#include "platform/qvPlatformFault.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

constexpr long long GiB = 1LL << 30;

class BlockFileTest : public ::testing::Test {
protected:
    void TearDown() override { platform::clear_failures(); }

    // The file's whole content through a fresh read-only block file.
    static std::string content(std::string const& name) { return read_file(name); }

    ScratchDir dir;
};

using qvBlockFileOpen = BlockFileTest;
using qvBlockFileData = BlockFileTest;
using qvBlockFileSharing = BlockFileTest;
using qvBlockFileErrors = BlockFileTest;
using qvBlockFileRename = BlockFileTest;
using qvTempBlockFileTest = BlockFileTest;

}  // namespace

// --- opening -------------------------------------------------------------------

TEST_F(qvBlockFileOpen, A_missing_file_opened_read_only_is_created_empty) {
    qvBlockFile file;
    ASSERT_TRUE(file.open((dir / "new").c_str(), true, false));
    EXPECT_EQ(file_length(dir / "new"), 0);
    EXPECT_EQ(file.size(), 0);
}

TEST_F(qvBlockFileOpen, Only_a_writable_open_with_create_empties_an_existing_file) {
    const std::string name = dir / "f";
    for (bool read_only : {true, false}) {
        write_file(name, "data");
        qvBlockFile(name.c_str(), read_only, false);
        EXPECT_EQ(content(name), "data") << "read_only " << read_only;
    }
    qvBlockFile(name.c_str(), true, true);
    EXPECT_EQ(content(name), "data");
    qvBlockFile(name.c_str(), false, true);
    EXPECT_EQ(content(name), "");
}

TEST_F(qvBlockFileOpen, A_directory_or_a_missing_directory_is_refused_and_leaves_it_closed) {
    for (std::string const& name : {dir.path(), dir / "missing/f"}) {
        qvBlockFile file;
        EXPECT_FALSE(file.open(name.c_str(), false, false));
        EXPECT_FALSE(file.is_open());
        EXPECT_TRUE(file.open((dir / "ok").c_str(), false, false));   // no "already open" check trips
        EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { qvBlockFile f(name.c_str(), true, false); },
                                                     "Cannot open file"));
    }
    EXPECT_FALSE(qvBlockFile().open(nullptr, true, false));
}

namespace {
// The paged scene's way in: open only what exists.
struct ExistingBlockFile : qvBlockFile {
    bool open_existing_file(char const* name, bool read_only) {
        return open(name, open_existing, read_only, true);
    }
};
struct ExistingMapping : qvFileMapping {
    bool open_existing_file(char const* name, bool read_only) {
        return open(name, open_existing, true, read_only);
    }
};
}  // namespace

TEST_F(qvBlockFileOpen, The_open_existing_flag_neither_makes_nor_empties_a_file) {
    const std::string name = dir / "f";
    EXPECT_FALSE(ExistingBlockFile().open_existing_file(name.c_str(), false));
    EXPECT_FALSE(ExistingMapping().open_existing_file(name.c_str(), true));
    EXPECT_FALSE(fs::exists(name));
    write_file(name, "data");
    ExistingBlockFile file;
    EXPECT_TRUE(file.open_existing_file(name.c_str(), false));
    EXPECT_EQ(file.size(), 4);
    file.close();
    ExistingMapping mapping;
    EXPECT_TRUE(mapping.open_existing_file(name.c_str(), false));
    EXPECT_EQ(mapping.size(), 4);
}

TEST_F(qvBlockFileOpen, Opening_an_open_object_fails_the_check) {
    qvBlockFile file((dir / "f").c_str(), false, false);
    EXPECT_TRUE(raises<qvAssertionError>([&] { file.open((dir / "g").c_str(), false, false); },
                                         "fd < 0 && !name"));
    EXPECT_TRUE(file.is_open());
}

TEST_F(qvBlockFileOpen, A_moved_from_file_is_closed_and_the_target_keeps_the_lock) {
    const std::string name = dir / "f";
    qvBlockFile first(name.c_str(), false, false);
    qvBlockFile second(std::move(first));
    EXPECT_FALSE(first.is_open());
    EXPECT_TRUE(second.is_open());
    EXPECT_FALSE(qvBlockFile().open(name.c_str(), true, false));
    qvBlockFile third((dir / "g").c_str(), false, false);
    third = std::move(second);   // closes "g", takes "f"
    third.write("x", 1);
    EXPECT_EQ(content(name), "x");
    EXPECT_TRUE(qvBlockFile().open((dir / "g").c_str(), false, false));
}

// --- data, positions and lengths -----------------------------------------------

TEST_F(qvBlockFileData, Size_moves_the_position_to_the_end_so_a_read_then_gives_0) {
    qvBlockFile file((dir / "f").c_str(), false, true);
    file.write("abcd", 4);
    file.seek(1);
    EXPECT_EQ(file.tell(), 1);
    EXPECT_EQ(file.size(), 4);
    char buffer[4];
    EXPECT_EQ(file.read(buffer, 4), 0);
    EXPECT_EQ(file.tell(), 4);
    file.seek(2);
    EXPECT_EQ(file.read(buffer, 4), 2);   // what is left
    EXPECT_EQ(std::string(buffer, 2), "cd");
}

TEST_F(qvBlockFileData, Size_n_extends_with_zero_bytes_and_leaves_the_position_at_n) {
    const std::string name = dir / "f";
    qvBlockFile file(name.c_str(), false, true);
    file.write("abcd", 4);
    file.size(10);
    EXPECT_EQ(file.tell(), 10);
    EXPECT_EQ(content(name), std::string("abcd\0\0\0\0\0\0", 10));
    file.size(2);
    EXPECT_EQ(content(name), "ab");
}

TEST_F(qvBlockFileData, A_write_past_3_GiB_makes_a_sparse_file) {
    const std::string name = dir / "sparse";
    qvBlockFile file(name.c_str(), false, true);
    file.seek(3 * GiB);
    file.write("z", 1);
    EXPECT_EQ(file.size(), 3 * GiB + 1);
    EXPECT_LT(allocated_bytes(name), 1 << 20);
    char byte = 0;
    EXPECT_EQ(file.read_at(3 * GiB, &byte, 1), 1);
    EXPECT_EQ(byte, 'z');
}

TEST_F(qvBlockFileData, Positioned_reads_and_writes_past_4_GiB_leave_the_position_alone) {
    qvBlockFile file((dir / "f").c_str(), false, true);
    file.write("ab", 2);
    file.write_at(5 * GiB, "xyz", 3);
    EXPECT_EQ(file.tell(), 2);
    char buffer[8] = {};
    EXPECT_EQ(file.read_at(5 * GiB + 1, buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "yz");
    EXPECT_EQ(file.tell(), 2);
    EXPECT_EQ(file.size(), 5 * GiB + 3);
    file.sync();
}

// --- sharing -------------------------------------------------------------------

TEST_F(qvBlockFileSharing, Writers_are_alone_readers_share) {
    const std::string name = dir / "f";
    {
        qvBlockFile writer(name.c_str(), false, false);
        EXPECT_FALSE(qvBlockFile().open(name.c_str(), false, false));
        EXPECT_FALSE(qvBlockFile().open(name.c_str(), true, false));
        EXPECT_FALSE(qvFileMapping().open(name.c_str(), false, false));
        EXPECT_FALSE(qvFileMapping().open(name.c_str(), false, true));
    }
    qvBlockFile reader(name.c_str(), true, false);
    EXPECT_TRUE(qvBlockFile().open(name.c_str(), true, false));
    EXPECT_TRUE(qvFileMapping().open(name.c_str(), false, true));
    EXPECT_FALSE(qvBlockFile().open(name.c_str(), false, false));
    qvFileMapping mapping(name.c_str(), false, true, 65536);
    EXPECT_FALSE(qvBlockFile().open(name.c_str(), false, false));
}

TEST_F(qvBlockFileSharing, A_refused_open_with_create_does_not_empty_the_file) {
    const std::string name = dir / "f";
    write_file(name, "keep");
    qvBlockFile reader(name.c_str(), true, false);
    EXPECT_FALSE(qvBlockFile().open(name.c_str(), false, true));
    EXPECT_FALSE(qvFileMapping().open(name.c_str(), true, false));
    EXPECT_EQ(content(name), "keep");
}

// --- bad input -----------------------------------------------------------------

TEST_F(qvBlockFileErrors, A_read_only_file_refuses_changes_and_stays_unchanged) {
    const std::string name = dir / "f";
    write_file(name, "data");
    qvBlockFile file(name.c_str(), true, false);
    using E = qvErrorFrom<qvBlockFile>;
    EXPECT_TRUE(raises<E>([&] { file.write("x", 1); }, "Cannot modify a readonly file"));
    EXPECT_TRUE(raises<E>([&] { file.write_at(0, "x", 1); }, "Cannot modify a readonly file"));
    EXPECT_TRUE(raises<E>([&] { file.size(1); }, "Cannot modify a readonly file"));
    EXPECT_EQ(content(name), "data");
}

TEST_F(qvBlockFileErrors, Bad_positions_counts_and_closed_files_raise_the_operations_error) {
    using E = qvErrorFrom<qvBlockFile>;
    qvBlockFile file((dir / "f").c_str(), false, false);
    char buffer[4];
    EXPECT_TRUE(raises<E>([&] { file.seek(-1); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { file.size(-1); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { file.read(buffer, -1); }, "I/O error while reading file"));
    EXPECT_TRUE(raises<E>([&] { file.read_at(-1, buffer, 1); }, "I/O error while reading file"));
    EXPECT_TRUE(raises<E>([&] { file.write(buffer, -1); }, "I/O error while writing file"));
    EXPECT_TRUE(raises<E>([&] { file.write_at(-1, buffer, 1); }, "I/O error while writing file"));

    qvBlockFile closed;
    EXPECT_TRUE(raises<E>([&] { closed.seek(0); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { closed.tell(); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { closed.size(); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { closed.size(0); }, "I/O error on seek operation"));
    EXPECT_TRUE(raises<E>([&] { closed.read(buffer, 0); }, "I/O error while reading file"));
    EXPECT_TRUE(raises<E>([&] { closed.write(buffer, 0); }, "I/O error while writing file"));
    EXPECT_TRUE(raises<E>([&] { closed.sync(); }, "I/O error while writing file"));
}

TEST_F(qvBlockFileErrors, System_failures_of_reads_writes_and_resizes_are_reported) {
    using E = qvErrorFrom<qvBlockFile>;
    qvBlockFile file((dir / "f").c_str(), false, false);
    char buffer[4];
    platform::fail_next(platform::Call::read, EIO);
    EXPECT_TRUE(raises<E>([&] { file.read(buffer, 4); }, "I/O error while reading file"));
    platform::fail_next(platform::Call::write, ENOSPC);
    EXPECT_TRUE(raises<E>([&] { file.write("abcd", 4); }, "I/O error while writing file"));
    platform::fail_next(platform::Call::resize, EFBIG);
    EXPECT_TRUE(raises<E>([&] { file.size(8); }, "I/O error on seek operation"));
    platform::fail_next(platform::Call::sync, EIO);
    EXPECT_TRUE(raises<E>([&] { file.sync(); }, "I/O error while writing file"));
    EXPECT_EQ(file.size(), 0);
}

TEST_F(qvBlockFileErrors, A_failed_close_raises_and_leaves_the_object_closed) {
    qvBlockFile file((dir / "f").c_str(), false, false);
    platform::fail_next(platform::Call::close, EIO);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { file.close(); }, "I/O error while writing file"));
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(file.open((dir / "f").c_str(), false, false));   // the lock went with the descriptor
}

TEST_F(qvBlockFileErrors, A_failed_close_in_the_destructor_ends_the_process) {
    const std::string name = dir / "f";
    EXPECT_DEATH(
        {
            qvBlockFile file(name.c_str(), false, false);
            platform::fail_next(platform::Call::close, EIO);
        },
        "Unexpected Orvane error: I/O error while writing file");
}

TEST_F(qvBlockFileErrors, Opens_refusals_and_errors_leak_no_descriptor) {
    const int before = open_descriptor_count();
    {
        qvBlockFile writer((dir / "f").c_str(), false, false);
        for (int i = 0; i < 20; ++i) {
            EXPECT_FALSE(qvBlockFile().open((dir / "f").c_str(), true, false));
            EXPECT_FALSE(qvBlockFile().open(dir.path().c_str(), true, false));
        }
        qvTempBlockFile temp;
        temp.rename((dir / "renamed").c_str());
        EXPECT_ANY_THROW(temp.rename((dir / "missing/x").c_str()));
    }
    EXPECT_EQ(open_descriptor_count(), before);
}

// --- renaming ------------------------------------------------------------------

TEST_F(qvBlockFileRename, Moves_the_data_and_reopens_read_write_under_the_new_name) {
    const std::string old_name = dir / "old", new_name = dir / "new";
    write_file(old_name, "data");
    qvBlockFile file(old_name.c_str(), true, false);
    file.rename(new_name.c_str());
    EXPECT_FALSE(fs::exists(old_name));
    file.seek(4);
    file.write("!", 1);   // writable now
    file.close();
    EXPECT_EQ(content(new_name), "data!");
}

TEST_F(qvBlockFileRename, Replaces_an_existing_file_and_keeps_data_renamed_to_itself) {
    const std::string a = dir / "a", b = dir / "b";
    write_file(a, "aaa");
    write_file(b, "bbbbbb");
    qvBlockFile file(a.c_str(), false, false);
    file.rename(b.c_str());
    EXPECT_EQ(content(b), "aaa");
    file.rename(b.c_str());
    EXPECT_EQ(content(b), "aaa");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"b"});
}

TEST_F(qvBlockFileRename, Across_file_systems_copies_then_removes_the_source) {
    const std::string a = dir / "a", b = dir / "b";
    write_file(b, "old target");
    qvBlockFile file(a.c_str(), false, true);
    const std::string data(200000, 'q');
    file.write(data.data(), static_cast<int>(data.size()));
    platform::fail_next(platform::Call::rename, EXDEV);
    file.rename(b.c_str());
    EXPECT_EQ(content(b), data);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"b"});
    EXPECT_EQ(file.size(), 200000);
}

TEST_F(qvBlockFileRename, A_failed_rename_leaves_the_file_open_under_its_old_name) {
    const std::string a = dir / "a";
    write_file(a, "data");
    qvBlockFile file(a.c_str(), true, false);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { file.rename((dir / "missing/b").c_str()); },
                                                 "Cannot rename file"));
    ASSERT_TRUE(file.is_open());
    char buffer[4];
    EXPECT_EQ(file.read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "data");
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { file.write("x", 1); },
                                                 "Cannot modify a readonly file"));
    EXPECT_FALSE(qvBlockFile().open(a.c_str(), false, false));   // still holds its lock
    platform::fail_next(platform::Call::rename, EACCES);
    EXPECT_ANY_THROW(file.rename((dir / "b").c_str()));
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"a"});
}

TEST_F(qvBlockFileRename, A_closed_file_cannot_be_renamed) {
    qvBlockFile file;
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { file.rename((dir / "b").c_str()); },
                                                 "Cannot rename file"));
}

// --- temporary block files -----------------------------------------------------

TEST_F(qvTempBlockFileTest, Makes_one_qvbf_file_in_TMPDIR_and_removes_it) {
    ScopedTmpdir tmpdir(dir.path());
    {
        qvTempBlockFile temp;
        temp.write("abc", 3);
        const auto names = names_in(dir.path());
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(names[0].substr(0, 4), "qvbf");
        EXPECT_EQ(names[0].size(), 10u);
        EXPECT_EQ(content(dir / names[0]), "abc");
        EXPECT_FALSE(qvBlockFile().open((dir / names[0]).c_str(), true, false));
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(qvTempBlockFileTest, Is_removed_also_when_closed_before_destruction) {
    ScopedTmpdir tmpdir(dir.path());
    {
        qvTempBlockFile temp;
        temp.close();
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(qvTempBlockFileTest, A_renamed_file_survives_with_its_data_and_stays_writable) {
    ScratchDir temp_dir;
    ScopedTmpdir tmpdir(temp_dir.path());
    const std::string x = dir / "x";
    {
        qvTempBlockFile temp;
        temp.write("abc", 3);
        temp.rename(x.c_str());
        temp.write("d", 1);
    }
    EXPECT_EQ(content(x), "abcd");
    EXPECT_TRUE(names_in(temp_dir.path()).empty());
}

TEST_F(qvTempBlockFileTest, A_failed_rename_keeps_it_temporary) {
    ScopedTmpdir tmpdir(dir.path());
    {
        qvTempBlockFile temp;
        EXPECT_ANY_THROW(temp.rename((dir / "missing/x").c_str()));
        EXPECT_TRUE(temp.is_open());
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(qvTempBlockFileTest, A_moved_from_object_removes_nothing) {
    ScopedTmpdir tmpdir(dir.path());
    {
        qvTempBlockFile first;
        qvTempBlockFile second(std::move(first));
        { qvTempBlockFile gone(std::move(first)); }
        EXPECT_EQ(names_in(dir.path()).size(), 1u);
        qvTempBlockFile third;
        EXPECT_EQ(names_in(dir.path()).size(), 2u);
        third = std::move(second);   // third's own file goes
        EXPECT_EQ(names_in(dir.path()).size(), 1u);
        third.write("x", 1);
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
}

TEST_F(qvTempBlockFileTest, Without_a_usable_directory_it_raises) {
    platform::fail_next(platform::Call::temp_file, EACCES);
    EXPECT_TRUE(raises<qvErrorFrom<qvTempBlockFile>>([] { qvTempBlockFile temp; }, "Cannot open file"));
}

TEST_F(qvTempBlockFileTest, A_TMPDIR_that_is_no_directory_falls_back_to_tmp) {
    write_file(dir / "plain", "");
    ScopedTmpdir tmpdir(dir / "plain");
    qvTempBlockFile temp;
    temp.write("x", 1);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"plain"});
}
