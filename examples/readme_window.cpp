#include <orvane/orvane.hpp>

#include <iostream>
#include <string>
#include <vector>

// A host's screen driver, reduced to a window of 40 x 12 character cells
// (one cell a device unit). The library calls it during every redraw.
class TextDriver;

// The drawing surface: a draw object (clip, brush origin, copies) and the
// flavour port that receives the shape records, in one object.
class TextDraw : public qvDrawObject, public qvFlavorPort {
public:
    explicit TextDraw(qvVBufObject& vbuf, std::vector<std::string>& cells) : vbuf_(&vbuf), cells_(cells) {}
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvDrawObject, qvFlavorPort>(this, info);
    }

    // ---- the draw object: state a layer sets before it draws --------------
    qvVBufObject& vbuf() const override { return *vbuf_; }
    void brush_origin(qvCrdOf<double> const& origin) override { origin_ = origin; }
    qvCrdOf<double> brush_origin() override { return origin_; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override { clip_ = region; }
    qvBaseRegion const& clip() const override { return clip_; }
    // Copies between buffers serve backing store and scrolling: none here.
    bool copy(qvVBufObject const&, qvMathRectOf<double> const&, qvMathRectOf<double> const&) override {
        return false;
    }

    // ---- the flavour port: where records arrive -----------------------------
    qvDrawObject& draw() override { return *this; }
    qvRestrictedTransformation const& transformation() const override { return mapping_; }
    void transformation(qvRestrictedTransformation const& t) override {
        mapping_ = t;
        inverse_ = qvInvert(t);
        model_box_ = qvTransformRect(device_box_, inverse_);
    }
    qvRestrictedTransformation const& inverse_transformation() const override { return inverse_; }
    qvMathRectOf<double> const& device_bbox() const override { return device_box_; }
    void device_bbox(qvMathRectOf<double> const& box) override {
        device_box_ = box;
        model_box_ = qvTransformRect(box, inverse_);
    }
    qvMathRectOf<double> const& model_bbox() const override { return model_box_; }
    void scene(qvScene* s) override { scene_ = s; }
    qvScene* scene() const override { return scene_; }
    void palette(qvPalette* p) override { palette_ = p; }
    qvPalette* palette() const override { return palette_; }
    qvExtent text_metrics(long, char const* text, unsigned length) override {
        return {static_cast<double>(text != nullptr ? length : 0), 0, 1};
    }

    // Fills the cells whose centre lies in the record's mapped box (in its
    // inscribed ellipse for an ellipse) and in the clip, with a character
    // for the brush colour. The brush comes baked from the palette.
    bool draw_shape(qvShapeBase const& record) override {
        if (palette_ == nullptr)
            return false;
        const qvCookieAccess<qvStandardBrushCookie> brush(*palette_, record.attribute_handle);
        if (brush.cookie->empty || brush.cookie->no_color)
            return false;   // this brush fills nothing
        const qvRgbColor c = brush.cookie->color;
        const char ink = c.red() > 0.8f && c.green() > 0.8f ? '.' : c.red() > c.blue() ? '#' : 'o';
        const qvMathRectOf<float> f = record.box;
        const qvMathRectOf<double> box = qvTransformRect(qvMathRectOf<double>(f.x1, f.y1, f.x2, f.y2), mapping_);
        for (int y = 0; y < static_cast<int>(cells_.size()); ++y)
            for (int x = 0; x < static_cast<int>(cells_[y].size()); ++x) {
                const double cx = x + 0.5, cy = y + 0.5;
                bool inside = cx > box.x1 && cx < box.x2 && cy > box.y1 && cy < box.y2;
                if (inside && record.kind == qvEllipseKind) {
                    const double dx = (2 * cx - box.x1 - box.x2) / (box.x2 - box.x1);
                    const double dy = (2 * cy - box.y1 - box.y2) / (box.y2 - box.y1);
                    inside = dx * dx + dy * dy <= 1;
                }
                if (inside && clipped_in(cx, cy))
                    cells_[y][x] = ink;
            }
        return true;
    }

private:
    bool clipped_in(double x, double y) const {
        for (qvIndirectRectIterator it = clip_.enumerate(); it; ++it)
            if (x > (*it).x1 && x < (*it).x2 && y > (*it).y1 && y < (*it).y2)
                return true;
        return false;
    }

    qvISafePtr<qvVBufObject> vbuf_;
    std::vector<std::string>& cells_;
    qvRegion clip_;
    qvCrdOf<double> origin_{0, 0};
    qvRestrictedTransformation mapping_, inverse_;
    qvMathRectOf<double> device_box_, model_box_;
    qvScene* scene_ = nullptr;
    qvPalette* palette_ = nullptr;
};

// The window buffer: its size, the maker of draw objects, and the channel
// along which the library reports what must be redrawn.
class TextWindow : public qvVBufObject, public qvVBufInvalidate {
public:
    TextWindow(qvDriverObject& driver, std::vector<std::string>& cells, qvGridRegion& invalid)
        : driver_(&driver), cells_(cells), invalid_(invalid) {}
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvVBufObject, qvVBufInvalidate>(this, info);
    }

    // ---- the buffer -----------------------------------------------------------
    int type() const override { return 0; }
    long width() const override { return static_cast<long>(cells_[0].size()); }
    long height() const override { return static_cast<long>(cells_.size()); }
    unsigned info() const override { return 0; }
    qvDriverObject& driver() const override { return *driver_; }
    double h_dpi() const override { return 10; }
    double v_dpi() const override { return 10; }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override { return qvISafePtr<qvDrawObject>(new TextDraw(*this, cells_)); }

    // Moves every cell by (dx, dy), then reports the strips the move
    // uncovered, as a window system's expose would: the library repaints
    // them only when told. Moving part of the window (an area) is not
    // offered here: false has the library repaint instead.
    bool scroll(long dx, long dy, qvMathRectOf<double> const* area) override {
        if (area != nullptr)
            return false;
        const std::vector<std::string> before = cells_;
        const long w = width(), h = height();
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x)
                if (x - dx >= 0 && x - dx < w && y - dy >= 0 && y - dy < h)
                    cells_[y][x] = before[y - dy][x - dx];
        const double sx = double(dx), sy = double(dy), right = double(w), bottom = double(h);
        if (dx > 0)
            add(qvGridRegion(qvMathRectOf<double>(0, 0, sx, bottom)));
        else if (dx < 0)
            add(qvGridRegion(qvMathRectOf<double>(right + sx, 0, right, bottom)));
        if (dy > 0)
            add(qvGridRegion(qvMathRectOf<double>(0, 0, right, sy)));
        else if (dy < 0)
            add(qvGridRegion(qvMathRectOf<double>(0, bottom + sy, right, bottom)));
        return true;
    }

    // ---- invalidation: collected until the host redraws -----------------------
    void open_callback(bool open) override { open_ = open; }
    bool callback_ready() override { return open_; }
    bool invalidate(qvBaseRegion const& region) override { return add(region); }
    bool invalidate(qvMathRectOf<double> const& rect) override { return add(qvGridRegion(rect)); }
    bool invalidate(qvCrdOf<double> const& p) override { return add(qvGridRegion(qvMathRectOf<double>(p.x, p.y, p.x + 1, p.y + 1))); }
    bool invalidate() override { return add(qvGridRegion(qvMathRectOf<double>(0, 0, double(width()), double(height())))); }

private:
    bool add(qvBaseRegion const& region) {
        invalid_ += region;
        return true;
    }

    qvISafePtr<qvDriverObject> driver_;
    std::vector<std::string>& cells_;
    qvGridRegion& invalid_;
    bool open_ = true;
};

// The driver: the window's cells and what was invalidated, and the buffer
// types it offers (none beyond the window: no off-screen buffers).
class TextDriver : public qvDriverObject {
public:
    std::vector<std::string> cells = std::vector<std::string>(12, std::string(40, ' '));
    qvGridRegion invalid;

    qvISafePtr<qvVBufObject> new_master_vbuf() override {
        return qvISafePtr<qvVBufObject>(new TextWindow(*this, cells, invalid));
    }
    int available() const override { return 0; }
    unsigned info(int) const override { return 0; }
    qvISafePtr<qvVBufObject> new_vbuf(int, long, long, qvISafePtr<qvVBufObject> const&) override { return {}; }
    bool initialized() const override { return true; }
    double h_quantum() const override { return 1; }
    double v_quantum() const override { return 1; }
    double h_dpi() const override { return 10; }
    double v_dpi() const override { return 10; }
    void added_width(long width) override { added_width_ = width; }
    long added_width() const override { return added_width_; }

private:
    long added_width_ = 0;
};

void print(TextDriver const& window) {
    for (std::string const& row : window.cells)
        std::cout << '|' << row << "|\n";
}

// The host's paint: the renderer redraws what the window collected and adds
// what the view still waits to redraw (between two redraws the window hears
// only the first change), so the paint is not clipped to what it was told.
void paint(TextDriver& window, qvDeviceRenderer const& renderer) {
    const qvGridRegion collected = window.invalid;
    window.invalid.erase();
    renderer->redraw(collected, false);
}

int main() {
    // Two styled shapes: a fill draws with a fill style other than 1 (an
    // unset style reads as 1) and a colour.
    qvMemoryScene scene;
    const qvRectangle field(scene, 4, 4, 36, 16);
    field->fill_style(qvFillStyle(2));
    field->fill_color(qvRgbColor(0.7f, 0.3f, 0.2f));
    const qvEllipse pond(scene, qvMathRectOf<double>(44, 2, 76, 22));
    pond->fill_style(qvFillStyle(2));
    pond->fill_color(qvRgbColor(0.2f, 0.3f, 0.8f));

    // A view of the scene at half scale over a background whose fill style
    // (not 0) needs both its colours.
    const qvViewManager view = qvViewCreator::create();
    view->background()->fill_color(qvRgbColor(0.9f, 0.9f, 0.9f));
    view->background()->fill_background_color(qvRgbColor(0.9f, 0.9f, 0.9f));
    view->background()->fill_style(qvFillStyle(2));
    qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation(0.5, 0.5, 0, 0));
    view->add(layer, qvOrderLast);
    const qvISafePtr<TextDriver> window(new TextDriver);
    const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(window, window.get()), view);
    renderer->redraw(qvGridRegion(qvMathRectOf<double>(0, 0, 40, 12)), false);
    window->invalid.erase();
    print(*window);

    // The user clicks at cell (10, 5); the selection answers in the scene.
    qvGraphicList hits;
    qvPointSelection(layer).select(hits, qvCrdOf<double>(10, 5), 0x20);
    qvIndirectIterator<qvGraphic> hit = hits->enumerate();
    if (!hit)
        return 1;
    // Moved by (0, 6) in the model through the kind's move adapter: the
    // scene layer hears the old and the new box, and the host paints.
    qvAdapter<qvMoveInteraction>(*hit)->move(qvCrdOf<double>(0, 6));
    paint(*window, renderer);
    std::cout << "after the move:\n";
    print(*window);
    const bool moved = window->cells[3][10] == '.' && window->cells[10][10] == '#' && window->cells[6][30] == 'o';

    // The user scrolls the view 5 cells left and 2 up: the window moves its
    // cells and reports the strips uncovered on the right and at the bottom.
    renderer->scroll(-5, -2);
    paint(*window, renderer);
    std::cout << "scrolled by (-5, -2):\n";
    print(*window);
    const bool scrolled = window->cells[3][5] == '#' && window->cells[4][25] == 'o' && window->cells[3][36] == '.' &&
                          window->cells[10][5] == '.';

    // Then zooms out by 2 about the window's centre: the renderer has the
    // window repaint everything.
    renderer->zoom(qvCrdOf<double>(20, 6), 0.5);
    paint(*window, renderer);
    std::cout << "zoomed out by 2:\n";
    print(*window);
    const bool zoomed = window->cells[5][12] == '#' && window->cells[4][22] == 'o' && window->cells[3][12] == '.';
    return moved && scrolled && zoomed ? 0 : 1;
}
