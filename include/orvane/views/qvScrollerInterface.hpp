#pragma once
// qvScrollerInterface: the model of one scrollable axis: a model range (the
// limits), a device range (the window), the mapping from model to device
// values on the axis, and the position, the model value shown at the window
// start. Views, scroll bars and the dimensions that couple them are all
// scrollers.
//
// Every change runs in two phases. A do_ operation computes a pending result
// (new limits, window and position, and a model-side and a device-side
// factor for the mapping) and records the operation and its arguments
// without touching the committed state; update() commits it and carries the
// operation to linked scrollers, which replay the operation itself (not its
// result) against their own limits, window and mapping. Here update,
// begin_update and end_update do nothing, so a bare interface object never
// commits; the linked scrollers (qvScrollerObject, qvMappingDimensionObject)
// do. The public operations are one do_ operation followed by
// update(true, nullptr).
//
// Keeps true:
// - the committed mapping has a finite, non-zero scale and a finite offset,
//   and the committed position is finite: a do_ operation whose arguments
//   are not finite, whose mapping component has scale 0, or whose result
//   would break this, raises "Invalid scroller argument" before it records
//   anything (do_zoom first fails "z > 0" for a factor that is not
//   positive);
// - after a commit the mapping takes the position to the device value of
//   the window start;
// - the pending operation is 0 between operations; a do_ operation replaces
//   an uncommitted one. Only do_alignment and do_round_off change a
//   committed field (the alignment, the round-off flag) at once.
//
// Limits (0, 0) mean "no limits". Otherwise the position is kept so that
// the window shows model values inside the limits: on an axis whose scale is
// not negative the window shows [x, x + window_size()], on a flipped one
// [x - window_size(), x]; a model range that fits in the window is placed by
// the alignment.
//
// Broadcasts. Everything one outermost update() (or begin_update or
// end_update) sets off is one broadcast, numbered by a process-wide serial;
// each scroller keeps the serial of the last broadcast its update,
// begin_update and end_update took part in, so in a link graph with cycles
// each object still replays, commits and forwards an operation once and the
// walk ends. The marks are one word per kind and need no clearing; they are
// not part of a scroller's value, so a copy starts with none.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRTComponent.hpp>
#include <orvane/geometry/qvRange.hpp>
#include <orvane/views/qvLimitsAlignment.hpp>

#include <cstdint>

class qvScrollerInterface : public virtual qvDynamicInterface, public virtual qvRefBase {
public:
    // Codes of the pending operation.
    enum Operation : int {
        no_operation = 0,
        limits_operation = 1,
        resize_operation = 2,
        zoom_operation = 3,
        scroll_operation = 4,
        position_operation = 5,
        mapping_operation = 6,
        apply_left_operation = 7,
        apply_right_operation = 8,
        round_off_operation = 9,
        alignment_operation = 10
    };

    qvScrollerInterface() noexcept = default;
    qvScrollerInterface(qvScrollerInterface const&) noexcept = default;
    qvScrollerInterface& operator=(qvScrollerInterface const&) noexcept = default;
    ~qvScrollerInterface() override = default;

    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- the two phases ----------------------------------------------------
    // Each returns the pending position (a model value).
    virtual double do_limits(qvRangeOf<double> limits);
    virtual double do_resize(qvRangeOf<double> window);
    // Zooms by z about the model value c (z > 1 enlarges).
    virtual double do_zoom(double z, double c);
    // The checks do_zoom makes before it records anything: "z > 0" for a
    // factor that is not positive, "Invalid scroller argument" for a value
    // that is not finite. Callers that zoom several scrollers as one step
    // run them first, so that either every scroller moves or none does.
    static void check_zoom(double z, double c);
    virtual double do_scroll(double distance);
    virtual double do_position(double position);
    virtual void do_alignment(qvLimitsAlignment alignment);
    virtual double do_mapping(qvRTComponent mapping);
    // Applies a device-side (left) or model-side (right) factor.
    virtual double do_apply_left(qvRTComponent factor);
    virtual double do_apply_right(qvRTComponent factor);
    virtual void do_round_off(bool on);

    virtual void update(bool notify, qvScrollerInterface const* origin);
    virtual void begin_update(qvScrollerInterface const* origin);
    virtual void end_update(qvScrollerInterface const* origin);

    // The position whose device value under `mapping` is window.lo.
    virtual qvCrdOf<double> recalculate(qvRangeOf<double> window, qvRTComponent mapping);
    // The candidate position p moved into `limits` as seen through `window`
    // and `mapping`, then rounded when round-off is on.
    virtual qvCrdOf<double> adjust(qvRangeOf<double> limits, qvRangeOf<double> window,
                                   qvRTComponent mapping, qvCrdOf<double> p);

    // ---- public operations: do_ and update(true, nullptr) -------------------
    double limits(qvRangeOf<double> limits);
    double limits(double a, double b);
    double model_limits(qvCrdOf<double> limits);
    double resize(qvRangeOf<double> window);
    double resize(double a, double b);
    double zoom(double z, double c);
    double scroll(double distance);
    double position(double position);
    double mapping(qvRTComponent mapping);
    double mapping(double scale, double offset);
    double apply_left(qvRTComponent factor);
    double apply_left(double scale, double offset);
    double apply_right(qvRTComponent factor);
    double apply_right(double scale, double offset);
    void alignment(qvLimitsAlignment alignment);
    void round_off(bool on);

    // Steps of page() or line() window lengths; page_add and line_add bring
    // in what lies beyond the window's device-high end, flipped or not.
    double page_sub();
    double page_add();
    double line_sub();
    double line_add();
    // Without limits both leave the position alone; each returns it.
    double scroll_to_start();
    double scroll_to_end();

    // ---- accessors ---------------------------------------------------------
    qvRangeOf<double> limits() const noexcept { return limits_; }
    qvRangeOf<double> window() const noexcept { return window_; }
    double position() const noexcept { return current_.x; }
    bool flipped() const noexcept { return mapping_.scale < 0; }
    bool round_off() const noexcept { return round_off_; }
    qvLimitsAlignment alignment() const noexcept { return alignment_; }
    qvRTComponent M() const noexcept { return mapping_; }
    double A() const noexcept { return mapping_.scale; }
    double B() const noexcept { return mapping_.offset; }
    // The window's length in model units.
    double window_size() const noexcept;
    double model_size() const noexcept;
    qvCrdOf<double> model_limits() const noexcept { return {limits_.lo, limits_.hi}; }

    // Both store the absolute value.
    void page(double fraction) noexcept;
    void line(double fraction) noexcept;
    double page() const noexcept { return page_; }
    double line() const noexcept { return line_; }

    bool unrestricted() const noexcept { return unrestricted(limits_); }
    bool restricted() const noexcept { return !unrestricted(); }
    // The whole model range fits in the window (always, without limits).
    bool oversized() const noexcept { return window_size() >= model_size(); }

    static qvRangeOf<double> no_limits() noexcept { return {}; }
    static bool unrestricted(qvRangeOf<double> const& r) noexcept { return r.lo == 0 && r.hi == 0; }
    static bool restricted(qvRangeOf<double> const& r) noexcept { return !unrestricted(r); }

protected:
    // The walk both sides of a link share for update, begin_update and
    // end_update (src/views).
    friend struct qvScrollerLinkWalk;

    qvCrdOf<double> old_position() const noexcept { return old_; }
    qvCrdOf<double> current_position() const noexcept { return current_; }
    qvCrdOf<double> new_position() const noexcept { return new_; }
    int pending_operation() const noexcept { return operation_; }
    qvRTComponent pending_right() const noexcept { return right_; }
    qvRTComponent pending_left() const noexcept { return left_; }

    // Makes the pending result the committed state; nothing when no
    // operation is pending.
    void commit() noexcept;

    // Replays the pending operation on `target` and returns its result
    // (this position for round-off, alignment and no operation). A target
    // that has already taken part in the current broadcast is left alone.
    double execute(qvScrollerInterface& target);

    // One call of update, begin_update or end_update taking part in a
    // broadcast: opens the broadcast when no other call is running, and
    // tells whether this object joins it (false: it has already taken part
    // with this kind of call). A joined update also holds back end_update
    // calls that reach the object before its own (finish_update() lets its
    // own through); when an error leaves a joined update early, the pending
    // operation is dropped.
    class BroadcastPass {
    public:
        enum Kind { update_pass, begin_pass, end_pass };

        BroadcastPass(qvScrollerInterface& self, Kind kind) noexcept;
        BroadcastPass(BroadcastPass const&) = delete;
        BroadcastPass& operator=(BroadcastPass const&) = delete;
        ~BroadcastPass();

        bool joined() const noexcept { return joined_; }
        void finish_update() noexcept;

    private:
        qvScrollerInterface& self_;
        Kind kind_;
        bool joined_;
    };

private:
    // What a do_ operation has worked out, before it is checked and recorded.
    struct Staged {
        int operation;
        double arg1, arg2;
        qvRangeOf<double> new_limits, new_window;
        qvCrdOf<double> old_position, candidate;
        qvRTComponent judge;       // the mapping adjust runs with
        qvRTComponent right, left; // Δ still to be added to one of them
    };
    double stage(Staged s);

    // Not part of the value: copying and assigning leave them alone.
    struct Marks {
        std::uint64_t update = 0, begin = 0, end = 0;
        bool holding_end = false;
        Marks() noexcept = default;
        Marks(Marks const&) noexcept {}
        Marks& operator=(Marks const&) noexcept { return *this; }
    };
    bool took_part() const noexcept;

    qvRangeOf<double> limits_{};
    qvRangeOf<double> window_{};
    bool round_off_ = false;
    qvRTComponent mapping_{};
    qvRTComponent right_{};
    qvRTComponent left_{};
    double page_ = 1.0;
    double line_ = 0.1;
    double arg1_ = 0, arg2_ = 0;
    qvCrdOf<double> old_{};
    qvCrdOf<double> current_{};
    qvCrdOf<double> new_{};
    qvRangeOf<double> new_limits_{};
    qvRangeOf<double> new_window_{};
    int operation_ = no_operation;
    qvLimitsAlignment alignment_ = qvLimitsCentred;
    Marks marks_;
};

QV_INTERFACE_NAME(qvScrollerInterface);
