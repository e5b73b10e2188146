#pragma once
// qvTempBlockFile: a block file on a fresh temporary file, removed when the
// object is destroyed unless it was renamed to a permanent name first.
//
// Keeps true: the temporary file is made by mkstemp as
// "<temp dir>/qvbfXXXXXX" (the temp dir is TMPDIR when it names a directory,
// else /tmp) and opened read-write and exclusive; it is removed by the
// destructor, also after close(), unless a rename succeeded. Move-only: a
// moved-from object is closed and removes nothing.

#include <orvane/core/qvBlockFile.hpp>

#include <string>

class qvTempBlockFile : public qvBlockFile {
public:
    // Raises qvErrorFrom<qvTempBlockFile> "Cannot open file" when no
    // temporary file can be made.
    qvTempBlockFile();
    qvTempBlockFile(qvTempBlockFile&& other) noexcept;
    qvTempBlockFile& operator=(qvTempBlockFile&& other);
    ~qvTempBlockFile() override;

    // As qvBlockFile::rename; the file is kept only when the rename succeeds.
    void rename(char const* new_name) override;

private:
    void remove_temporary() noexcept;

    bool renamed_;
    std::string temp_name_;   // empty when there is nothing to remove
};
