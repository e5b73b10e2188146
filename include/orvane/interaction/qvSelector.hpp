#pragma once
// qvSelector: a pseudo device driver that tests instead of painting. A
// device renderer draws a scene through it like through a screen driver;
// its draw object hands every record it receives to check_selection, the
// hit test of the concrete selector (spot, box or polygon, in device
// coordinates), and reports each hit to the callback. Hit testing so
// follows the rendering road exactly: layer tree, clipping, transformation,
// scene traversal and drawing order.
//
// The driver, buffer and draw-object faces answer so that the road runs
// without a device: no buffer types, no off-screen buffers, a master
// buffer of width and height -1 whose draw objects are flavour ports, an
// added width of 1 whatever is set. The wrapped driver, when there is one,
// only supplies resolutions and the default spot tolerance; nothing is
// drawn on it.
//
// Units: tolerances, line widths and marker diameters are device units
// (model units for a selection made in a scene's own coordinates). Driven
// through a view, the redraw area filters first: a record reaches
// check_selection only when its mapped header box strictly overlaps the
// redraw area grown by the added width 1. A line band or a marker reaches
// beyond its record's box, so the selections grow a spot's area by the
// farthest reach of the scene's pens and markers (qvSelectionReach); a
// selector driven over a bare area sees only what that area holds.
//
// Keeps true: buffers and draw objects hold their selector (and a draw
// object its buffer) counted, so any of them may outlive the handles the
// caller holds; a draw object lives for one redraw and starts unstopped.
// Option word: only 0x20 is read by the tests (closed shapes and texts
// count over their whole area); the selections store their flag word here.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

class qvPalette;
class qvScene;
struct qvShapeBase;
struct qvTextData;
struct qvRestrictedImageData;
template <class D>
struct qvShape;

class qvSelector : public qvDriverObject {
public:
    // The hit callback: true to go on, false to end the traversal (every
    // later record of the redraw is ignored).
    class Callback {
    public:
        virtual ~Callback() = default;
        virtual bool selected(qvShapeBase const* record, qvScene const* scene) = 0;
    };

    // What a test needs of the port: its model-to-device transformation and
    // the palette the records' attribute handles belong to (null: every
    // attribute bakes its defaults).
    struct Info {
        qvRestrictedTransformation const* transformation = nullptr;
        qvPalette* palette = nullptr;
    };

    class VBufImpl;
    class DrawImpl;

    // Option bit: closed shapes and texts are hit over their whole area.
    static constexpr unsigned whole_area = 0x20;

    ~qvSelector() override;

    // ---- driver face -----------------------------------------------------------
    int available() const override { return 0; }
    unsigned info(int) const override { return 0; }
    qvISafePtr<qvVBufObject> new_master_vbuf() override;
    qvISafePtr<qvVBufObject> new_vbuf(int, long, long, qvISafePtr<qvVBufObject> const&) override { return {}; }
    bool initialized() const override { return true; }
    double h_quantum() const override;
    double v_quantum() const override;
    double h_dpi() const override;
    double v_dpi() const override;
    void added_width(long) override {}
    long added_width() const override { return 1; }

    // The hit test of one record under the port's transformation and
    // palette. A record that fails the record check is never hit.
    virtual bool check_selection(qvShapeBase const* record, Info info) = 0;

    // ---- settings --------------------------------------------------------------
    unsigned options() const noexcept { return options_; }
    void options(unsigned word) noexcept { options_ = word; }
    Callback* callback() const noexcept { return callback_; }
    void callback(Callback* callback) noexcept { callback_ = callback; }
    bool mirror_x() const noexcept { return mirror_x_; }
    bool y_down() const noexcept { return y_down_; }
    qvISafePtr<qvDriverObject> const& driver() const noexcept { return driver_; }

protected:
    qvSelector(Callback* callback, qvISafePtr<qvDriverObject> const& driver);
    qvSelector(qvSelector const& other);
    qvSelector& operator=(qvSelector const& other);

    // The axis flags the text corners read (a mirrored device x axis; a
    // device y axis pointing down), for selectors of such devices.
    void axes(bool mirror_x, bool y_down) noexcept {
        mirror_x_ = mirror_x;
        y_down_ = y_down;
    }

    // The four device corners of a text record's box, in the order
    // anchor + (first + fourth), (first + third), (second + third),
    // (second + fourth) of the text data's vectors; `scaled` for a scaled
    // text (model extent), else the extent is measured in device units with
    // the attribute's standard font.
    void text_corners(qvCrdOf<double>* out4, qvShape<qvTextData> const* record, Info info, bool scaled) const;
    // The four device corners of a restricted image: its bitmap's pixels
    // (or fewer, by its resolution values) placed at the mapped anchor by
    // its alignment; an axis whose alignment bits are 0 is centred.
    void image_corners(qvCrdOf<double>* out4, qvShape<qvRestrictedImageData> const* record, Info info) const;

private:
    Callback* callback_ = nullptr;
    unsigned options_ = 0;
    bool mirror_x_ = false;
    bool y_down_ = true;
    qvISafePtr<qvDriverObject> driver_;
};
