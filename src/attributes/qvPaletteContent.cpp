// The content a palette holds (see qvPalette.hpp): what a read of a stream
// form over it leaves of the handles taken before.
//
// Handles stay good exactly when the content read is the one held: the same
// attributes under the same numbers with the same counts. The save form
// tells: a palette saves every value, count and name of every attribute,
// and one read back saves the same bytes. So the held content's form is
// kept before the read and compared after it; the two saves are paid only
// when some handle may be held (an empty palette has none to keep good).
//
// A scene's file holds the form saved at its close, while the palette goes
// on with whatever the application's objects do until the next open:
// releases, copies, writes. Read back, that file differs from the held
// content by exactly those changes, which only the held content has. So
// the form save_content wrote is kept, and a read that gives it back puts
// the held content back in its place: the file's shapes name what they
// named, and every count includes what happened since the close. The kept
// form lasts while the content it was saved from goes on: the next save
// replaces it, a read of any other form drops it.
//
// Equal bytes are not the same file: another file whose palette happens to
// save the same bytes holds other shapes, and putting the held content
// over it would lend its attributes' numbers to objects that never named
// them there. So both roads are open only to the file the content came
// from or was saved to, as its owner stamps it, read back unchanged.

#include <orvane/attributes/qvPalette.hpp>

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <ios>
#include <sstream>
#include <string>

namespace {

// Every form compared is taken in one version, so equal contents give equal
// bytes whatever version the stream read or written was in.
std::string saved_form(qvPalette const& palette) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion::default_version(), true);
    palette.save(os);
    return buffer.str();
}

void load_form(qvPalette& palette, std::string const& form) {
    std::stringbuf buffer(form, std::ios_base::in);
    qvInputStream is(&buffer);
    palette.load(is);
}

}  // namespace

// A form that cannot be kept costs the next read only its chance to go on
// with this content: the objects are then refused, which loses nothing.
void qvPalette::save_content(qvOutputStream& os, FileStamp file) {
    saved_form_.clear();
    content_file_ = 0;
    save(os);
    content_file_ = file;
    if (!enumerate())
        return;
    try {
        saved_form_ = saved_form(*this);
    } catch (...) {
        saved_form_.clear();
    }
}

// A failure to compare or to put back once the read succeeded counts as
// another content: refusing a good handle loses nothing, keeping one that
// is not would. A put back that raises leaves what was read (a load
// changes nothing when it raises).
void qvPalette::read_content(qvInputStream& is, Refusal refusal, FileStamp file) {
    const bool same_file = file != 0 && file == content_file_;
    const bool held = same_file && static_cast<bool>(enumerate());
    const std::string before = held || (same_file && !saved_form_.empty()) ? saved_form(*this) : std::string();
    load(is);
    content_file_ = file;
    std::string saved;
    saved.swap(saved_form_);
    if (!before.empty()) {
        try {
            const std::string read = saved_form(*this);
            const bool as_saved = read == saved;
            if (read != before) {
                if (!as_saved) {
                    new_content(refusal);
                    return;
                }
                load_form(*this, before);
            }
            // A session that writes nothing (read-only, or an open that
            // failed after this read) leaves the file as saved: the next
            // read of it goes on likewise.
            if (as_saved)
                saved_form_.swap(saved);
            return;
        } catch (...) {
        }
    }
    new_content(refusal);
}
