#pragma once
// qvSelectionReach: how far beyond its box a record's ink can reach a spot
// in one palette, so that a spot selection asks the scene for every record
// that may hit and for no more than that area.
//
// A spot hits a line within half the pen width plus the tolerance of it,
// and a marker within its diameter plus the tolerance (the hit tests read
// both from the selector cookies); neither is part of a record's box. The
// reach of an attribute is the larger of the two; the reach of a palette
// the largest over its attributes and over the defaults, which records
// without an attribute (or a port without a palette) get.
//
// Keeps true:
//  - `widest()` is never below the reach of any attribute of the scene's
//    palette: each change the palette announces is noted and read again
//    before the next answer; an announcement of every attribute (or too
//    many single ones) rebuilds the whole table. A palette makes some
//    attributes silently (a shared attribute edited for one user goes to a
//    fresh copy); a record takes such an attribute only through an edit
//    its scene announces, so after any scene edit the palette's handles
//    are walked once for ones not met before;
//  - only attributes reaching further than the defaults are kept, so a
//    palette of plain attributes costs nothing but one walk;
//  - neither scene nor palette is owned: when either's sender dies, the
//    table is forgotten without calling it;
//  - an attribute whose values cannot be read (a property of the wrong
//    class) counts as the defaults: its records raise in the hit test.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/views/qvReceiverInvalidateHandle.hpp>

#include <unordered_map>
#include <unordered_set>
#include <vector>

class qvPalette;
class qvScene;

class qvSelectionReach : public qvReceiverInvalidateHandle {
public:
    qvSelectionReach() : qvReceiverInvalidateHandle(true) {}
    ~qvSelectionReach() override;
    qvSelectionReach(qvSelectionReach const&) = delete;
    qvSelectionReach& operator=(qvSelectionReach const&) = delete;

    // The largest reach over the attributes of `scene`'s palette and the
    // defaults, in the units of line widths and marker diameters (device
    // units); the defaults' alone for a null scene.
    double widest(qvScene* scene);
    // The reach of the defaults: a record without attribute.
    static double plain() noexcept;

    void invalidate() override;
    void invalidate(long const& handle, int shared) override;

protected:
    void partner_destroyed(qvSenderBase* sender) override;

private:
    // Hears the scene's record edits: any of them may have given a record
    // an attribute the palette made silently.
    class EditWatch : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
    public:
        explicit EditWatch(qvSelectionReach& owner) : owner_(owner) {}
        ~EditWatch() override { disconnect_all(); }
        void invalidate() override { heard(); }
        void invalidate(qvMathRectOf<double> const&, int) override { heard(); }
        // One edit is enough to walk once: the watch stops hearing until
        // the walk, so a run of edits costs the scene nothing more.
        void heard() {
            owner_.walk_ = true;
            ordered(false);
        }

    protected:
        void partner_destroyed(qvSenderBase*) override { owner_.forget(); }

    private:
        qvSelectionReach& owner_;
    };

    void listen(qvScene* scene);
    void forget() noexcept;
    void rebuild();
    void walk();
    void refresh(long handle);
    void recount() noexcept;

    EditWatch edits_{*this};
    qvScene* scene_ = nullptr;
    qvPalette* palette_ = nullptr;
    bool stale_ = true;
    bool walk_ = false;
    std::vector<long> changed_;
    std::unordered_set<long> known_;         // handles read since the last walk
    std::unordered_map<long, double> wide_;  // attributes beyond the defaults
    double widest_ = 0.0;
};
