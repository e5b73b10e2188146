// The content a palette holds (see qvPalette.hpp): what a read of a stream
// form over it leaves of the handles taken before.
//
// Handles stay good exactly when the content read is the one held: the same
// attributes under the same numbers with the same counts. The save form
// tells: a palette saves every value, count and name of every attribute,
// and one read back saves the same bytes. So the held content's form is
// kept before the read and compared after it; the two saves are paid only
// when some handle may be held (an empty palette has none to keep good).

#include <orvane/attributes/qvPalette.hpp>

#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <sstream>
#include <string>

namespace {

std::string saved_form(qvPalette const& palette) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion::default_version(), true);
    palette.save(os);
    return buffer.str();
}

}  // namespace

// A failure to compare once the read succeeded counts as another content:
// refusing a good handle loses nothing, keeping one that is not would.
void qvPalette::read_content(qvInputStream& is, Refusal refusal) {
    const bool held = static_cast<bool>(enumerate());
    const std::string before = held ? saved_form(*this) : std::string();
    load(is);
    bool same = false;
    if (held) {
        try {
            same = saved_form(*this) == before;
        } catch (...) {
        }
    }
    if (!same)
        new_content(refusal);
}
