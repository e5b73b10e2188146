// qvPagedScene (see qvPagedScene.hpp).
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvError.hpp>

#include "core/qvStreambufErrors.hpp"
#include "platform/qvPlatformFile.hpp"
#include "scenes/qvBasicPagedSceneErrors.hpp"

#include <ios>
#include <streambuf>
#include <utility>

namespace {

// What an ended user stream reads and writes through. A host may still
// hold the stream: every use raises, and no byte reaches a file. It keeps
// no state, so one serves every ended stream of every scene.
class qvEndedUserStreamBuf final : public std::streambuf {
protected:
    int_type overflow(int_type) override { qvRaiseInvalidStreambuf(); }
    int_type underflow() override { qvRaiseInvalidStreambuf(); }
    std::streamsize xsputn(char_type const*, std::streamsize) override { qvRaiseInvalidStreambuf(); }
    std::streamsize xsgetn(char_type*, std::streamsize) override { qvRaiseInvalidStreambuf(); }
    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override {
        qvRaiseInvalidStreambuf();
    }
};

// Only sets the buffer in use: the input stream's own connect would read a
// header from it.
void end_user_stream(qvStream& stream) {
    static qvEndedUserStreamBuf ended;
    stream.qvStream::connect_streambuf(&ended);
}

}  // namespace

qvPagedScene::qvPagedScene(qvPalette* palette) : qvBasicPagedScene(file_, palette, false), segment_(file_) {
    add_segment(segment_, true);
}

qvPagedScene::qvPagedScene(orvane::auto_ptr<qvPalette> palette)
    : qvBasicPagedScene(file_, palette.get(), palette.get() != nullptr), segment_(file_) {
    palette.release();
    add_segment(segment_, true);
}

// Proxies are detached before the close writes their copies back, so none
// reaches the scene once it is gone; the base frees the copies. A host's
// streams still open on the device would stop the close and then outlive
// the device: they end first, each as its own destructor would, so the
// session closes whole. A close that fails gives the session up: streams
// and structures let go of their pages first (into the cache, nothing
// written), then the device drops them unwritten.
qvPagedScene::~qvPagedScene() {
    end_enumerations();
    detach_proxies();
    try {
        end_user_streams();
        if (file_.is_open()) file_.device().end_streams(true);
        if (is_open()) close();
        file_.close();
    } catch (...) {
        give_up();
        input_.reset();
        output_.reset();
        file_.give_up();
    }
}

// A stream is ended only once its close returned: a close that raised
// (its last page could not be stored) leaves it current with its bytes,
// for the retried close of the scene to store. Room is made first, so
// that a stream whose close returned is always moved into ended_.
void qvPagedScene::end_user_streams() {
    if (!input_ && !output_) return;
    // Doubling, as push_back would: a host that asks for streams in a loop
    // pays no copy of the whole list at each ask.
    if (ended_.capacity() - ended_.size() < 2) ended_.reserve(2 * ended_.size() + 2);
    if (input_) {
        input_->close();
        end_user_stream(*input_);
        ended_.push_back(std::move(input_));
    }
    if (output_) {
        output_->close();
        end_user_stream(*output_);
        ended_.push_back(std::move(output_));
    }
}

void qvPagedScene::close_file() {
    end_user_streams();
    file_.close();
}

void qvPagedScene::create(char const* name, int layers, qvMathRectOf<double> const& bounds, int cache) {
    if (is_open()) qvRaisePagedSceneError("Paged scene already initialized");
    if (layers < 0) qvRaisePagedSceneError("Illegal layer number specified");
    close_file();
    file_.create(name, cache);
    try {
        qvBasicPagedScene::create(bounds);
        // The file's first sync is done: now its name is made durable too.
        if (!orvane::platform::sync_parent_directory(name))
            qvRaise(qvErrorFrom<qvBlockFile>("I/O error while writing file"));
        for (int l = 0; l < layers; ++l) insert_layer(total_layers());
    } catch (...) {
        // The file has no layout: nothing can open it, so nothing is lost.
        if (is_open()) {
            try {
                qvBasicPagedScene::close();
            } catch (qvError const&) {
            }
        }
        try {
            close_file();
        } catch (qvError const&) {
        }
        throw;
    }
}

void qvPagedScene::create(char const* name, qvMathRectOf<double> const& bounds, int cache) {
    create(name, 1, bounds, cache);
}

// A writable open looks for the open mark through a read-only open first:
// the writable device's own probe and view would change the file.
bool qvPagedScene::open(char const* name, int cache, bool read_only) {
    if (is_open()) qvRaisePagedSceneError("Paged scene already initialized");
    close_file();
    if (!read_only) {
        bool marked = false;
        {
            qvPagedSceneFile probe;
            if (!probe.open(name, cache, true)) return false;
            marked = probe.device().find_root(open_mark) != 0;
            probe.close();
        }
        if (marked) qvRaisePagedSceneError("Invalid or corrupt Orvane pagefile");
    }
    if (!file_.open(name, cache, read_only)) return false;
    try {
        qvBasicPagedScene::open(read_only);
    } catch (...) {
        // Nothing of a refused open stays in the file (the scene took back
        // a mark it stored): the allocator's probe may have grown the
        // file, and the cache may hold what the load read.
        file_.abandon();
        throw;
    }
    return true;
}

// A host's stream left open on the device would go on past the seal: its
// later writes raise, and the chain it rewrote keeps the old stream's rest
// after its new bytes. Refused before anything changes, in the words the
// device uses for the same refusal.
bool qvPagedScene::close() {
    require_open();
    const long own_streams = (input_ ? 1 : 0) + (output_ ? 1 : 0);
    if (device().open_streams() > own_streams)
        qvRaisePagedSceneError("Cannot release the cache memory while pages are locked");
    end_user_streams();
    const bool writable = !read_only();
    qvBasicPagedScene::close();
    file_.seal();
    return writable;
}

qvInputStream& qvPagedScene::input_stream() {
    end_user_streams();
    input_ = std::make_unique<qvPageIStream>(file_.device(), "$UserData");
    return *input_;
}

qvOutputStream& qvPagedScene::output_stream() {
    require_open();
    end_user_streams();
    output_ = std::make_unique<qvPageOStream>(file_.device(), "$UserData");
    return *output_;
}
