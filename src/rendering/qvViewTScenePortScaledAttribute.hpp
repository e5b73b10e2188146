#pragma once
// The scene port's scaled-attribute step, shared by its point-set drawers
// and its text drawers (see qvViewTScenePort.hpp), and the copies of one
// draw that the line-width step reuses.
//
// The temporary attribute is a copy, in the port's private palette, of the
// source record's attribute. It is made before the palette switch and
// released after the palette is back, on every exit; the driver's cache is
// then told that its handle is gone. The cache is found first, so a port
// without a reachable driver fails before anything is made.

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/attributes/qvAttributeProxy.hpp>
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
        const bool drawn = attribute.draw_switched(port, draw);
        attribute.release();
        return drawn;
    }

    // `draw` handed this temporary while the private palette is the port's.
    template <class Draw>
    bool draw_switched(qvViewTScenePort& port, Draw&& draw) {
        const qvFlavorPortPalette switched(port, &port.palette_);
        return draw(*attribute_);
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
// palette the draw was given. Copying an attribute across palettes looks
// every property up by name, which cost a record about thirty times its
// drawing; a draw names few attributes, so each is copied once. Keeps true:
//  - a copy carries its source's values as they were when it was made,
//    with the width scaled by M of that time: a change announced by the
//    source palette marks every copy stale (they are released before the
//    next record is drawn), and a new M or palette ends the draw;
//  - a released copy is dropped from the driver's cache as the per-record
//    step does it, when that driver is still alive (it is held weakly, as
//    a draw can outlive its buffer);
//  - copies live in the port's private palette and never outlive it.
class qvViewTScenePort::ScaledAttributes : public qvBroadcastReceiver<qvInvalidateEvent<long>> {
public:
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

    // A draw over `source` begins; the copies of the one before are
    // released first.
    void begin(qvPalette* source) {
        end();
        if (source == nullptr || source == &port_.palette_) return;
        connect(source->publisher());
        source_ = source;
        open_ = true;
    }

    // Releases every copy; the first error of a release passes once all
    // were tried.
    void end() {
        disconnect_all();
        source_ = nullptr;
        open_ = false;
        stale_ = false;
        std::exception_ptr error;
        for (qvSafePtr<qvAttributeInterface>& made : made_) {
            try {
                const long handle = made->attribute_handle();
                made = qvSafePtr<qvAttributeInterface>();
                if (qvDriverObject* const driver = driver_.get())
                    if (auto* const cache = qvQueryInterface<qvDriverAttributeCache>(driver); cache != nullptr && handle != 0)
                        cache->drop(&port_.palette_, handle);
            } catch (...) {
                if (!error) error = std::current_exception();
            }
        }
        made_.clear();
        by_source_.clear();
        driver_ = qvIWeakPtr<qvDriverObject>();
        if (error) std::rethrow_exception(error);
    }

    // The copy of `source` with its width scaled, made on first use; null
    // when the scaled width is no finite number (nothing is kept then).
    qvAttributeInterface* scaled(long source) {
        if (stale_) {
            qvPalette* const source = source_;
            end();
            begin(source);
        }
        if (const auto found = by_source_.find(source); found != by_source_.end()) return made_[found->second].get();
        if (made_.empty()) driver_ = qvIWeakPtr<qvDriverObject>(&port_.target_->draw().vbuf().driver());
        made_.reserve(made_.size() + 1);
        qvSafePtr<qvAttributeInterface> made = qvCreateAttributeProxy(&port_.palette_, 0);
        port_.set_attribute(made.get(), source);
        if (!port_.scale_line_width_of(*made))
            return nullptr;
        by_source_.emplace(source, made_.size());
        made_.push_back(std::move(made));
        return made_.back().get();
    }

    // The source palette changed an attribute, or all of them.
    void invalidate() override { stale_ = true; }
    void invalidate(long const&, int) override { stale_ = true; }

private:
    qvViewTScenePort& port_;
    // The copies in the order they were made (and are released), and
    // their positions by source handle.
    std::vector<qvSafePtr<qvAttributeInterface>> made_;
    std::unordered_map<long, std::size_t> by_source_;
    qvIWeakPtr<qvDriverObject> driver_;
    qvPalette* source_ = nullptr;
    bool open_ = false;
    bool stale_ = false;
};
