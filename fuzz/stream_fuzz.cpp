// libFuzzer target of the input stream: the header read on connect, then
// strings (into qvString and into a char array), fixed-size fields, peeks,
// reads and skips in an order the input chooses. A stream that owns its
// buffer is copied, so the transfer of ownership is attacked too.

#include "fuzz_support.hpp"

#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStreamFields.hpp"

namespace {

constexpr int max_steps = 512;

// The longest string the format can announce is 32,767 bytes.
char raw_text[32768 + 1];

void read_strings_and_fields(qvInputStream& in) {
    qvString text("kept");
    for (int step = 0; step < max_steps && in; ++step) {
        const int op = in.get();
        if (op < 0) return;
        switch (op & 7) {
            case 0:
                qvfuzz::attempt([&] { in >> text; });
                break;
            case 1:
                if (qvfuzz::attempt([&] { in >> raw_text; }) && std::strlen(raw_text) > 32767) std::abort();
                break;
            case 2: {
                const int peeked = in.peek();
                if (peeked != in.get()) std::abort();
                break;
            }
            case 3: {
                char bytes[32];
                const int n = in.getn(bytes, op >> 3);
                if (n < 0 || n > (op >> 3)) std::abort();
                break;
            }
            case 4:
                in.skip((op >> 3) - 8);
                break;
            case 5:
                qvfuzz::attempt([&] { qvReadInt32(in); });
                break;
            case 6:
                qvfuzz::attempt([&] { qvReadValue<double>(in); });
                break;
            default:
                qvfuzz::attempt([&] { in >> static_cast<char*>(nullptr); });
                break;
        }
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    const std::string bytes = qvfuzz::bytes_of(data, size);
    {
        std::stringbuf buffer(bytes);
        qvInputStream in(&buffer);
        (void)in.version().version_value();
        read_strings_and_fields(in);
    }
    {
        // An owning stream, copied: the copy takes the buffer over.
        qvInputStream owner(orvane::auto_ptr<std::streambuf>(new std::stringbuf(bytes)));
        qvInputStream copy(owner);
        if (copy.version().version_value() != owner.version().version_value()) std::abort();
        read_strings_and_fields(copy);
    }
    return 0;
}
