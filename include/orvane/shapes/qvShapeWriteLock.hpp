#pragma once
// qvShapeWriteLock: the modification guard, a scoped object around every
// change of an in-scene shape record. Opening it with (proxy, create,
// notify):
//   1. suppressed = not notify, or the scene's notification is off;
//   2. a proxy that connected to a read-only scene (or whose scene is gone)
//      is refused: qvErrorFrom<qvSingleShapeProxyBase> "Attempt to modify a
//      read-only scene", before anything is asked or counted;
//   3. with a record, layer = the scene's edit_layer of the record, the
//      shape_layer of its handle (asked once per guard), where a scene
//      refuses a record it no longer edits; else -1;
//   4. the proxy's guard depth goes up; the outermost guard of a proxy with
//      a record reports the box unless suppressed;
//   5. with create and no record, the proxy's allocate(0) makes one (the
//      scene puts it in layer 0).
// Closing: the depth goes down; the outermost guard reports the box of the
// record it then has unless suppressed.
// The outermost guard also tells the scene (record_edit, whatever the
// notification state) when it opens over a record, last of all, and when
// it closes over one, before the closing report.
//
// Keeps true:
//  - only the outermost guard of a proxy reports: one change, or any number
//    of changes nested in one outer guard, sends the box before (when a
//    record existed) and the box after, each as invalidate(box, layer)
//    through the scene's rectangle sender, and only while the scene's
//    notification is on;
//  - the depth is restored on every exit: an error while opening (a report,
//    the allocation) undoes the opening's count before it passes on;
//  - the closing report runs in close() when the owner calls it, where an
//    error a receiver raises reaches the owner after the change is whole
//    (the guard is closed all the same); else in the destructor, where such
//    an error takes the qvError::abort way.
// A silent outer guard (no create, no notify) lets a change send its own
// narrower area through report(), tagged with the guard's layer.

#include <orvane/geometry/qvMathRect.hpp>

class qvSingleShapeProxyBase;

class qvShapeWriteLock {
public:
    qvShapeWriteLock(qvSingleShapeProxyBase& proxy, bool create, bool notify);
    ~qvShapeWriteLock();
    qvShapeWriteLock(qvShapeWriteLock const&) = delete;
    qvShapeWriteLock& operator=(qvShapeWriteLock const&) = delete;

    // The record's layer when the guard opened (0 for a record it created,
    // -1 without one).
    int layer() const noexcept { return layer_; }
    qvSingleShapeProxyBase* proxy() const noexcept { return proxy_; }

    // Steps 2 and 3 alone: raises what opening a guard over the proxy would
    // refuse, and changes nothing; the record's layer, -1 without one.
    static int check(qvSingleShapeProxyBase const& proxy);

    // Closes the guard now (once; the destructor then does nothing). The
    // closing report may raise what a receiver raises.
    void close();

    // Sends `area` with the guard's layer through the scene's rectangle
    // sender while the scene's notification is on, whatever the guard's own
    // reports.
    void report(qvMathRectOf<double> const& area) const;

private:
    bool suppressed_ = true;
    bool open_ = true;
    int layer_ = -1;
    qvSingleShapeProxyBase* proxy_;
};
