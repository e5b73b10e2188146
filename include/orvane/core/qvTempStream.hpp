#pragma once
// TempFileBuf and TempStream: a stream buffer and an input/output stream over
// a temporary file that is removed when they are destroyed.
//
// Keeps true: the file is made by mkstemp in the temporary directory (TMPDIR
// when it names a directory, else /tmp), so it is new and this process's
// own; it is removed exactly once, by the buffer's destructor. When no file
// can be made the buffer stays closed and nothing raises: reads and writes
// fail as on any closed std::filebuf (and TempStream starts with badbit).

#include <fstream>
#include <iostream>
#include <ostream>
#include <string>

class TempFileBuf : public std::filebuf {
public:
    TempFileBuf();
    TempFileBuf(TempFileBuf const&) = delete;
    TempFileBuf& operator=(TempFileBuf const&) = delete;
    ~TempFileBuf() override;

private:
    std::string name_;   // empty when no file was made
};

class TempStream : public TempFileBuf, public std::iostream {
public:
    TempStream();

    // Copies everything from the read position (the start, when rewind is
    // set) to the end into os. With nothing left os is not touched at all
    // (inserting an empty buffer would set its failbit).
    void copy_to_stream(std::ostream& os, bool rewind);
};
