#pragma once
// qvDrawingChangeGuard: reports a drawing's box to its host when made and
// again when it ends, so a setter wrapped in one guard repaints both the
// old and the new place. A drawing that is null or has no host at that
// moment reports nothing. A host that fails while the guard ends is a
// broken invariant (hosts report nothing themselves): it goes
// qvError::abort, since a destructor must not throw.

#include <orvane/core/qvError.hpp>
#include <orvane/drawings/qvDrawing.hpp>

class qvDrawingChangeGuard {
public:
    explicit qvDrawingChangeGuard(qvDrawing* drawing) : drawing_(drawing) { report(); }
    ~qvDrawingChangeGuard() {
        try {
            report();
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }
    qvDrawingChangeGuard(qvDrawingChangeGuard const&) = delete;
    qvDrawingChangeGuard& operator=(qvDrawingChangeGuard const&) = delete;

private:
    void report() {
        if (drawing_ != nullptr && drawing_->host() != nullptr)
            drawing_->invalidate();
    }

    qvDrawing* drawing_;
};
