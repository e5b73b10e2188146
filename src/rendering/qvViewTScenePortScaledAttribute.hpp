#pragma once
// The scene port's scaled-attribute step, shared by its point-set drawers
// and its text drawers (see qvViewTScenePort.hpp), and the copies of one
// draw that the line-width step and the markers reuse.
//
// The temporary attribute is a copy, in the port's private palette, of the
// source record's attribute. It is made before the palette switch and
// released after the palette is back, on every exit; the driver's cache is
// then told that its handle is gone. The cache is found first, so a port
// without a reachable driver fails before anything is made.

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>

#include <cstddef>
#include <exception>
#include <unordered_map>
#include <vector>

class qvViewTScenePort::ScaledAttribute {
public:
    // The whole step around one target call: `draw` is handed the temporary
    // attribute while the private palette is the port's, edits it, stamps
    // its handle on the record it hands the target and gives the target's
    // answer.
    template <class Draw>
    static bool draw(qvViewTScenePort& port, long source_handle, Draw&& draw) {
        ScaledAttribute attribute(port, source_handle);
        bool drawn;
        {
            const qvFlavorPortPalette switched(port, &port.palette_);
            drawn = draw(*attribute.attribute_);
        }
        attribute.release();
        return drawn;
    }

    ScaledAttribute(qvViewTScenePort& port, long source_handle)
        : cache_(qvQueryInterface<qvDriverAttributeCache>(&port.target_->draw().vbuf().driver())),
          palette_(&port.palette_),
          attribute_(qvCreateAttributeProxy(&port.palette_, 0)) {
        port.set_attribute(attribute_.get(), source_handle);
    }
    // The exceptional road: an error is already passing, and one from the
    // host's cache could not be reported beside it.
    ~ScaledAttribute() {
        try {
            release();
        } catch (...) {
        }
    }
    ScaledAttribute(ScaledAttribute const&) = delete;
    ScaledAttribute& operator=(ScaledAttribute const&) = delete;

    // Releases the attribute in the private palette, then tells the cache
    // that its handle is gone.
    void release() {
        if (attribute_.get() == nullptr)
            return;
        const long handle = attribute_->attribute_handle();
        attribute_ = qvSafePtr<qvAttributeInterface>();
        if (cache_ != nullptr && handle != 0)
            cache_->drop(palette_, handle);
    }

private:
    qvDriverAttributeCache* cache_;
    qvPalette* palette_;
    qvSafePtr<qvAttributeInterface> attribute_;
};

// The scaled copies of one draw, by the source attribute's handle in the
// palette the draw was given, and the attributes their markers are drawn
// with. Copying an attribute across palettes looks every property up by
// name, which cost a record about thirty times its drawing; a draw names
// few attributes, so each is copied once. A marker is promised an
// attribute handle of its own, and a copy made per marker from the
// source palette cost a polymarker ten times its drawing: marker i of a
// record is drawn with slot i of its copy instead, an attribute of the
// private palette copied from it (a copy inside one palette) when a record
// first needs it and then reused by every record that names the same
// attribute. Keeps true:
//  - a copy carries its source's values as they were when it was made,
//    with the width scaled by M of that time: a change announced by the
//    source palette marks every copy stale (they are released before the
//    next record is drawn; a record's markers all carry the values its
//    first marker found), and a new M or palette ends the draw;
//  - a slot carries its copy's values for the whole of its life and is
//    released with it; the slots of a copy are distinct live attributes,
//    so the markers of a record carry distinct handles;
//  - slots are bounded: at most slots_per_copy per copy and slot_budget
//    in a draw. A marker beyond them is drawn with a fresh copy made before
//    the one of the marker before it is released (the spare): the palette
//    hands out handles above the last one, so it is a handle of its own
//    too, and at most one such attribute lives;
//  - whatever is released is dropped from the driver's cache as the
//    per-record step does it, when that driver is still alive (it is held
//    weakly, as a draw can outlive its buffer);
//  - copies and slots live in the port's private palette and never outlive
//    the draw, nor the palette.
class qvViewTScenePort::ScaledAttributes : public qvBroadcastReceiver<qvInvalidateEvent<long>> {
public:
    // A polymarker of a million points must not make a million attributes;
    // and past a few thousand slots the private palette's lookups, which
    // every bake of a driver makes, cost more than a fresh copy per marker.
    static constexpr std::size_t slots_per_copy = 256;
    static constexpr std::size_t slot_budget = 4096;

    explicit ScaledAttributes(qvViewTScenePort& port) : port_(port) {}
    ~ScaledAttributes() override {
        disconnect_all();
        try {
            end();
        } catch (...) {
        }
    }
    ScaledAttributes(ScaledAttributes const&) = delete;
    ScaledAttributes& operator=(ScaledAttributes const&) = delete;

    bool open() const noexcept { return open_; }

    // A record drawn outside any draw is a draw of its own: begun here when
    // `wanted` and none is open, ended by end() or, with its error
    // swallowed as another one is passing, on the exceptional exit.
    class OneRecord {
    public:
        OneRecord(ScaledAttributes& draws, bool wanted, qvPalette* source)
            : draws_(wanted && !draws.open() ? &draws : nullptr) {
            if (draws_ != nullptr) draws_->begin(source);
        }
        ~OneRecord() {
            try {
                end();
            } catch (...) {
            }
        }
        OneRecord(OneRecord const&) = delete;
        OneRecord& operator=(OneRecord const&) = delete;

        void end() {
            ScaledAttributes* const draws = draws_;
            draws_ = nullptr;
            if (draws != nullptr) draws->end();
        }

    private:
        ScaledAttributes* draws_;
    };

    // A draw over `source` begins; the copies of the one before are
    // released first.
    void begin(qvPalette* source) {
        end();
        if (source == nullptr || source == &port_.palette_) return;
        connect(source->publisher());
        source_ = source;
        open_ = true;
    }

    // Releases every copy, slot and the spare; the first error of a
    // release passes once all were tried.
    void end() {
        disconnect_all();
        source_ = nullptr;
        open_ = false;
        std::exception_ptr error;
        release_copies(error);
        driver_ = qvIWeakPtr<qvDriverObject>();
        if (error) std::rethrow_exception(error);
    }

    // The copy of `source` with its width scaled, made on first use; null
    // when the scaled width is no finite number (nothing is kept then).
    qvAttributeInterface* scaled(long source) {
        renew_if_stale();
        Copy* const copy = copy_of(source);
        return copy != nullptr ? copy->attribute.get() : nullptr;
    }

    // The handle marker `index` of a record of `source` is drawn with,
    // carrying the values of the copy of `source`; 0 when that copy's
    // width is no finite number. Indices of a record count from 0 up.
    long marker(std::size_t index, long source) {
        if (index == 0) renew_if_stale();
        Copy* const copy = copy_of(source);
        if (copy == nullptr) return 0;
        if (index < copy->slots.size()) return copy->slots[index];
        const long copied = copy_of_copy(*copy);
        if (index == copy->slots.size() && index < slots_per_copy && slot_count_ < slot_budget) {
            copy->slots.push_back(copied);   // room reserved by copy_of_copy
            ++slot_count_;
            return copied;
        }
        const long previous = spare_;
        spare_ = copied;
        release(previous);
        return copied;
    }

    // The source palette changed an attribute, or all of them.
    void invalidate() override { stale_ = true; }
    void invalidate(long const&, int) override { stale_ = true; }

private:
    struct Copy {
        qvSafePtr<qvAttributeInterface> attribute;
        // Its slots, one reference held on each.
        std::vector<long> slots;
    };

    void renew_if_stale() {
        if (!stale_) return;
        std::exception_ptr error;
        release_copies(error);
        if (error) std::rethrow_exception(error);
    }

    Copy* copy_of(long source) {
        // The markers of a record ask one after the other for the same copy.
        if (last_ < made_.size() && last_source_ == source) return &made_[last_];
        if (const auto found = by_source_.find(source); found != by_source_.end()) {
            last_source_ = source;
            last_ = found->second;
            return &made_[last_];
        }
        note_driver();
        made_.reserve(made_.size() + 1);
        qvSafePtr<qvAttributeInterface> made = qvCreateAttributeProxy(&port_.palette_, 0);
        port_.set_attribute(made.get(), source);
        if (!port_.scale_line_width_of(*made))
            return nullptr;
        by_source_.emplace(source, made_.size());
        made_.push_back(Copy{std::move(made), {}});
        return &made_.back();
    }

    // A new attribute of the private palette with the values of `copy`,
    // one reference held; room for one more slot of `copy` is made first.
    long copy_of_copy(Copy& copy) {
        copy.slots.reserve(copy.slots.size() + 1);
        qvPalette& palette = port_.palette_;
        const long fresh = palette.alloc(false);
        try {
            return palette.copy(copy.attribute->attribute_handle(), fresh, qvFolder::root(), false);
        } catch (...) {
            palette.release(fresh);
            throw;
        }
    }

    // Releases every copy with its slots, and the spare.
    void release_copies(std::exception_ptr& error) {
        stale_ = false;
        auto const attempt = [&](auto&& step) {
            try {
                step();
            } catch (...) {
                if (!error) error = std::current_exception();
            }
        };
        for (Copy& made : made_) {
            for (long const slot : made.slots) attempt([&] { release(slot); });
            attempt([&] {
                const long handle = made.attribute->attribute_handle();
                made.attribute = qvSafePtr<qvAttributeInterface>();
                drop(handle);
            });
        }
        made_.clear();
        by_source_.clear();
        last_ = no_copy;
        slot_count_ = 0;
        const long spare = spare_;
        spare_ = 0;
        attempt([&] { release(spare); });
    }

    // The driver whose cache hears of released handles: the target's, taken
    // when the first copy of a draw is made.
    void note_driver() {
        if (made_.empty())
            driver_ = qvIWeakPtr<qvDriverObject>(&port_.target_->draw().vbuf().driver());
    }
    // Releases one held attribute of the private palette, then tells the
    // driver's cache that its handle is gone.
    void release(long handle) {
        if (handle == 0) return;
        port_.palette_.release(handle);
        drop(handle);
    }
    void drop(long handle) {
        if (qvDriverObject* const driver = driver_.get())
            if (auto* const cache = qvQueryInterface<qvDriverAttributeCache>(driver); cache != nullptr && handle != 0)
                cache->drop(&port_.palette_, handle);
    }

    qvViewTScenePort& port_;
    // The copies in the order they were made (and are released), and
    // their positions by source handle.
    std::vector<Copy> made_;
    std::unordered_map<long, std::size_t> by_source_;
    // The copy found last and its source; last_ is no_copy when none.
    static constexpr std::size_t no_copy = static_cast<std::size_t>(-1);
    std::size_t last_ = no_copy;
    long last_source_ = 0;
    std::size_t slot_count_ = 0;
    // The attribute of the last marker drawn beyond the slots; 0 when none.
    long spare_ = 0;
    qvIWeakPtr<qvDriverObject> driver_;
    qvPalette* source_ = nullptr;
    bool open_ = false;
    bool stale_ = false;
};
