#pragma once
// qvPageOStream: a binary output stream into a named page stream of a page
// device, in the default version and with the stream header first.
//
// close() ends the chain and frees what a rewrite did not reach; it raises
// what goes wrong, and then the stream keeps its bytes and stays open for
// another close. The destructor closes the buffer (only when the owner did
// not) before the stream part goes.

#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvPageDevice.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>

class qvPageOStream : public qvOutputStream {
public:
    qvPageOStream(qvPageDevice& device, char const* name);

    void close() { buffer_.close(); }

private:
    qvPageStreamBuf buffer_;
};
