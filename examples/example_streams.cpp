// Binary streams: a versioned stream written to memory and read back.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <iostream>
#include <sstream>

void example_streams() {
    std::cout << "Binary streams\n";
    std::stringbuf memory;
    {
        // Connecting writes the 26-byte header carrying the default version.
        qvOutputStream os(&memory, qvVersion::default_version(), true);
        os << qvString("Hello, Orvane");
    }
    std::cout << "  " << memory.str().size() << " bytes written\n";

    qvInputStream is(&memory);
    qvString text;
    is >> text;
    const qvVersion& v = is.version();
    std::cout << "  stream version " << v.version_major() << '.' << v.version_minor() << '.'
              << v.version_build() << ", string \"" << text() << "\"\n";
}
