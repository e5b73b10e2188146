#pragma once
// qvPagedScene: the ready-made paged scene. It owns its page file and one
// dynamic segment over it, makes its own handle tree, and offers the
// application one stream of its own, "$UserData", in the same file.
//
// Keeps true:
//  - the file stays open from create or open until the next create or
//    open, or destruction; close ends the scene, not the file;
//  - a file being written carries the root "$Open" from create or a
//    writable open until a clean close: a writable open of a file that
//    has it raises qvErrorFrom<qvBasicPagedScene> "Invalid or corrupt
//    Orvane pagefile" and leaves the file as it was (a crashed or killed
//    writer is detected, never repaired); a read-only open goes on;
//  - at most one "$UserData" stream exists; asking for either kind ends
//    the other (an output stream ended is complete). Close ends both, so
//    nothing reads or writes the file behind the scene's back, and after
//    a clean close the device refuses to be written. A stream whose end
//    raises stays the scene's, bytes and all, until an end returns: a byte
//    whose write returned is in the file once a close of the scene
//    returns, a retried one included;
//  - every user stream handed out lives until the scene object is
//    destroyed, so a reference to it stays good that long. Once ended it
//    is closed: every read, write or skip through it raises
//    qvErrorFrom<std::streambuf*> "Invalid streambuf" and no byte reaches
//    any file. Each one asked for keeps about 370 bytes until then, so a
//    host that asks in a loop grows the scene object by that much a turn;
//  - streams a host opens on device() are its own to close, before close():
//    while one is open close raises "Cannot release the cache memory while
//    pages are locked" and changes nothing (the device refuses to release
//    its cache likewise), so the host can close its stream and close the
//    scene again. Destruction ends them first, each as its own destructor
//    would (a writer stores the bytes its writes returned, a reader just
//    ends), then closes the session as close() does. The host's stream
//    object may outlive the scene: it reads end of file, refuses bytes and
//    can be destroyed safely;
//  - proxies must not outlive close: close writes every connected shape
//    back and detaches the copies; an edit through such a proxy raises
//    "Paged scene was not initialized", its release only frees its copy.
//    It stays out of every later session of the object: the scene never
//    hands it out again, and what a later session writes is the same
//    whether it is held or not. Segment files are opened only through
//    their scene;
//  - a close that raises leaves the scene open, and it can be called again
//    (after space was freed, say);
//  - destruction closes a scene still open (writing its layout) and
//    detaches every proxy left. When that close raises, the session is
//    given up: nothing more is written, the file keeps its open mark (as
//    after a killed writer), everything is freed and the destructor
//    returns. Owners that must know call close first.
#include <orvane/core/qvAutoPtr.hpp>
#include <orvane/core/qvStream.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvPagedSceneSegment.hpp>

#include <memory>
#include <vector>

class qvPagedScene : public qvBasicPagedScene {
public:
    // A null palette gives an owned matching palette; a given one is used.
    explicit qvPagedScene(qvPalette* palette = nullptr);
    // Takes the palette over.
    explicit qvPagedScene(orvane::auto_ptr<qvPalette> palette);
    qvPagedScene(qvPagedScene const&) = delete;
    qvPagedScene& operator=(qvPagedScene const&) = delete;
    ~qvPagedScene() override;

    // A new file with `layers` layers over bounds. An existing file of that
    // name is emptied in place, not replaced by a new one: its other hard
    // links, and the target of a symbolic link of that name, get the new
    // scene, and a symbolic link whose target is missing makes that target. A negative cache gives a mapped file, else a page cache of
    // that many bytes. "Paged scene already initialized" when open.
    void create(char const* name, int layers, qvMathRectOf<double> const& bounds, int cache);
    void create(char const* name, qvMathRectOf<double> const& bounds, int cache);
    // False when the file cannot be opened as a page file (nothing made).
    bool open(char const* name, int cache, bool read_only);
    // Writes the scene back (when writable); true when it was writable.
    bool close();
    qvPageDevice& device() { return file_.device(); }
    // The "$UserData" stream for reading or writing; either ends the other.
    // output_stream raises "Paged scene was not initialized" on a scene
    // that is not open. The reference stays good until the scene object is
    // destroyed; an ended stream raises on every use.
    qvInputStream& input_stream();
    qvOutputStream& output_stream();

private:
    // Closes the current user streams and keeps them, ended, in ended_.
    void end_user_streams();
    // Ends what is left of an earlier session: user streams and the file.
    void close_file();

    qvPagedSceneFile file_;
    qvPagedSceneSegment segment_;
    std::unique_ptr<qvPageIStream> input_;
    std::unique_ptr<qvPageOStream> output_;
    // Ended user streams: a host may still hold them.
    std::vector<std::unique_ptr<qvStream>> ended_;
};
