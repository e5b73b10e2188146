#pragma once
// InternalDrawingList: the drawing list that a drawing scene and a
// composite drawing keep: while a drawing is in it, the drawing's host is
// the list's host. Hooks only set and clear hosts; they report nothing, so
// adding, removing or moving a drawing repaints nothing by itself.
//
// Keeps true: starts with auto_delete clear (its owner sets it); not
// copyable, since a drawing has one host. release_hosts() clears the host
// of every entry still hosted here, for an owner about to die.

#include <orvane/drawings/qvDrawingHost.hpp>
#include <orvane/drawings/qvDrawingList.hpp>

class InternalDrawingList : public qvDrawingList {
public:
    explicit InternalDrawingList(qvDrawingHost* host) noexcept : host_(host) {}
    InternalDrawingList(InternalDrawingList const&) = delete;
    InternalDrawingList& operator=(InternalDrawingList const&) = delete;

    void release_hosts() noexcept;

protected:
    void on_drawing_added(qvDrawing* d) override;
    void on_drawing_removed(qvDrawing* d) override;

private:
    qvDrawingHost* host_;
};
