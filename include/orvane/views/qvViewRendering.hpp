#pragma once
// qvViewRendering: the rendering mixin every layer carries: its flags word,
// its view filter, and the three steps of a redraw (prepare on every layer
// of the tree, then render, then cleanup).
//
// Flags word (one per layer object, however many interfaces it offers):
//   0x01  set by every active layer's flags(unsigned), cleared by every
//         data layer's; no accessor
//   0x02  is_independent        0x04  has_background
//   0x08  safe_to_remove        0x10  disassemble_region
//   0x20  notify_invalidation   0x40  restrict_notification
//   0x80  always_dirty (query only)
//   0x200, 0x400  stored and read back through flags(); no accessor
// Keeps true: the named queries and setters are not virtual: they read
// flags() and write the whole word back through flags(unsigned), so a
// layer kind that forces bit 0 keeps forcing it whatever a setter writes.

#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvViewFilter;
class qvViewVBuf;

class qvViewRendering {
public:
    enum : unsigned {
        is_independent_flag = 0x02,
        has_background_flag = 0x04,
        safe_to_remove_flag = 0x08,
        disassemble_region_flag = 0x10,
        notify_invalidation_flag = 0x20,
        restrict_notification_flag = 0x40,
        always_dirty_flag = 0x80
    };

    virtual ~qvViewRendering() = default;

    // Replaces the flags word; returns what was stored.
    virtual unsigned flags(unsigned value) = 0;
    virtual unsigned flags() const = 0;
    // The layer's filter, not owned; null means none. The setter returns
    // what was stored.
    virtual qvViewFilter* view_filter(qvViewFilter* filter) = 0;
    virtual qvViewFilter* view_filter() const = 0;

    // Before a redraw, with the region to repair; `front_to_back` is the
    // drawing direction (false: background first, scene bottom-up).
    virtual void prepare(qvBaseRegion& region, bool front_to_back) = 0;
    // Draws into the render buffer at `origin`; true when the layer finished.
    virtual bool render(qvViewVBuf& vbuf, qvCrdOf<double> const& origin) = 0;
    virtual void cleanup() = 0;

    bool is_independent() const { return flag(is_independent_flag); }
    bool has_background() const { return flag(has_background_flag); }
    bool safe_to_remove() const { return flag(safe_to_remove_flag); }
    bool disassemble_region() const { return flag(disassemble_region_flag); }
    bool notify_invalidation() const { return flag(notify_invalidation_flag); }
    bool restrict_notification() const { return flag(restrict_notification_flag); }
    bool always_dirty() const { return flag(always_dirty_flag); }

    void is_independent(bool on) { flag(is_independent_flag, on); }
    void has_background(bool on) { flag(has_background_flag, on); }
    void safe_to_remove(bool on) { flag(safe_to_remove_flag, on); }
    void disassemble_region(bool on) { flag(disassemble_region_flag, on); }
    void notify_invalidation(bool on) { flag(notify_invalidation_flag, on); }
    void restrict_notification(bool on) { flag(restrict_notification_flag, on); }

protected:
    qvViewRendering() noexcept = default;
    qvViewRendering(qvViewRendering const&) noexcept = default;
    qvViewRendering& operator=(qvViewRendering const&) noexcept = default;

private:
    bool flag(unsigned bit) const { return (flags() & bit) != 0; }
    void flag(unsigned bit, bool on) { flags(on ? (flags() | bit) : (flags() & ~bit)); }
};
