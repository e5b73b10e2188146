#pragma once
// Support of the shape and scene tests: a container scene that keeps its
// records in plain maps and logs every editing call it receives, a flavour
// port that records what it is handed (with a driver behind it that logs
// what its attribute cache is told), and a minimal proxy over any record
// kind, so proxies, handles and proxy sites can be tested before (and
// independently of) the real scenes and shape kinds; readers and copies of
// records; and the check that a graphic offers every interface its
// interactions name.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvInteractionIdentities.hpp>
#include <orvane/shapes/qvInteractionTarget.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "core/qvStreamFields.hpp"
#include "qvDriverTestDoubles.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace shape_test {

// Bytes as "00 FF ..." (two upper-case hex digits each, one space between).
inline std::string hex(void const* bytes, std::size_t n) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned byte = static_cast<unsigned char const*>(bytes)[i];
        if (i != 0)
            out += ' ';
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
}

// Every byte of a record, as hex.
inline std::string record_hex(qvShapeBase const* record) {
    return hex(record, static_cast<std::size_t>(record->size));
}

// n bytes of a record from offset `from`, as hex.
inline std::string bytes_hex(qvShapeBase const* record, int from, int n) {
    return hex(reinterpret_cast<char const*>(record) + from, static_cast<std::size_t>(n));
}

// The value of type T at a record offset (records need not align it).
template <class T>
T at(qvShapeBase const* record, int offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<char const*>(record) + offset, sizeof value);
    return value;
}

// The data struct behind a record's header.
template <class Data>
Data const& data_of(qvShapeBase const& record) {
    return *reinterpret_cast<Data const*>(reinterpret_cast<char const*>(&record) + sizeof(qvShapeBase));
}

// The points of an exact Bezier (kind -16) or exact point-set record.
inline std::vector<qvCrdOf<double>> exact_points(qvShapeBase const& record) {
    std::vector<qvCrdOf<double>> out;
    if (record.kind == qvExactBezierKind) {
        auto const& d = data_of<qvBezierData>(record);
        for (int i = 0; i < d.count; ++i) out.push_back(d.nodes()[i].point);
    } else {
        auto const& d = data_of<qvPointSetData>(record);
        for (int i = 0; i < d.count; ++i) out.push_back(d.nodes()[i]);
    }
    return out;
}

// A copy of a stand-alone shape's record stamped as a scene's record of
// `kind` (its proxy class with it) with `attribute`; handles as they were.
inline std::unique_ptr<qvShapeBase> scene_record(qvShapeBase const& source, long kind, long attribute) {
    std::unique_ptr<qvShapeBase> r(qvNewShapeRecord(source.size));
    std::memcpy(static_cast<void*>(r.get()), &source, static_cast<std::size_t>(source.size));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    r->attribute_handle = static_cast<std::int32_t>(attribute);
    return r;
}

// The box with corners (x1, y1) and (x2, y2) as a rectangle normalises them.
inline qvMathRectOf<double> raw(double x1, double y1, double x2, double y2) {
    return qvMathRectOf<double>(qvRectOf<double>(x1, y1, x2, y2));
}

// The graphics of a list, handed out the way scenes enumerate.
class GraphicIterator : public qvIterator<qvGraphic> {
public:
    explicit GraphicIterator(std::vector<qvGraphic> items) : items_(std::move(items)) {}
    qvGraphic* get() override { return at_end() ? nullptr : &items_[index_]; }
    void next() override { ++index_; }
    bool at_end() const override { return index_ >= items_.size(); }

private:
    std::vector<qvGraphic> items_;
    std::size_t index_ = 0;
};

// A container scene over maps. Handles count from 1 in creation order; a
// layer draws its records in handle order. The log holds "connect 3",
// "connect 9 none", "disconnect 3", "allocate 48 -> 3", "resize 3 to 56",
// "destroy 3", "layer 3 to 1". A read-only scene refuses changes with
// qvErrorFrom<RecordingScene> "Cannot modify a read-only scene".
class RecordingScene : public qvContainerScene {
public:
    explicit RecordingScene(int layers = 1, bool read_only = false) : layers_(layers), read_only_(read_only) {}
    ~RecordingScene() override {
        for (auto& [handle, record] : records)
            delete record;
    }

    std::vector<std::string> log;
    std::map<long, qvShapeBase*> records;
    std::map<long, int> layer_of;
    qvStandardPalette standard_palette;
    bool read_only_flag() const { return read_only_; }
    void read_only_flag(bool on) { read_only_ = on; }

    // Takes over a record block as a new shape of `layer`; its handle. A
    // failure (allocation tests make any allocation fail) frees the block
    // and leaves the scene as it was.
    long adopt(qvShapeBase* record, int layer = 0) {
        std::unique_ptr<qvShapeBase> owned(record);
        const long handle = next_handle_;
        record->shape_handle = qvCheckedInt32(handle);
        qvShapeBase*& slot = records[handle];
        try {
            layer_of[handle] = layer;
        } catch (...) {
            records.erase(handle);
            throw;
        }
        slot = owned.release();
        ++next_handle_;
        return handle;
    }
    // The log since the last call.
    std::vector<std::string> take_log() { return std::exchange(log, {}); }

    qvPalette& palette() override { return standard_palette; }
    bool read_only() override { return read_only_; }

    qvShapeBase* connect(long handle) override {
        const auto found = records.find(handle);
        log.push_back("connect " + std::to_string(handle) + (found == records.end() ? " none" : ""));
        return found == records.end() ? nullptr : found->second;
    }
    void disconnect(qvShapeBase* record) override {
        log.push_back("disconnect " + std::to_string(record->shape_handle));
    }
    qvShapeBase* allocate(int size, qvShapeBase* old) override {
        refuse_when_read_only();
        if (old == nullptr) {
            const long handle = adopt(qvNewShapeRecord(size));
            log.push_back("allocate " + std::to_string(size) + " -> " + std::to_string(handle));
            return records[handle];
        }
        const long handle = old->shape_handle;
        log.push_back("resize " + std::to_string(handle) + " to " + std::to_string(size));
        return records[handle] = qvResizeShapeRecord(old, size);
    }
    void destroy(qvShapeBase* record) override {
        refuse_when_read_only();
        const long handle = record->shape_handle;
        log.push_back("destroy " + std::to_string(handle));
        records.erase(handle);
        layer_of.erase(handle);
        delete record;
    }
    void shape_layer(long handle, int layer) override {
        refuse_when_read_only();
        if (layer < 0 || layer >= layers_)
            qvRaise(qvErrorFrom<RecordingScene>("Illegal layer number specified"));
        log.push_back("layer " + std::to_string(handle) + " to " + std::to_string(layer));
        layer_of[handle] = layer;
    }
    int shape_layer(long handle) override { return layer_of.at(handle); }
    void insert_layer(int) override { ++layers_; }
    void delete_layer(int) override { --layers_; }
    void move_layer(int, int) override {}
    int size(int layer) const override {
        int n = 0;
        for (auto const& [handle, l] : layer_of)
            n += layer < 0 || l == layer;
        return n;
    }
    qvIndirectIterator<qvGraphic> enumerate(int layer) override {
        std::vector<qvGraphic> graphics;
        for (auto const& [handle, l] : layer_of)
            if (layer < 0 || l == layer)
                graphics.push_back(instantiate(handle));
        return qvIndirectIterator<qvGraphic>(new GraphicIterator(std::move(graphics)));
    }

    int total_layers() override { return layers_; }
    void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) override {
        port.palette(&standard_palette);
        const int first = layer >= 0 ? layer : reverse ? layers_ - 1 : 0;
        const int last = layer >= 0 ? layer : reverse ? 0 : layers_ - 1;
        for (int l = first;; l += reverse ? -1 : 1) {
            std::vector<qvShapeBase*> drawn;
            for (auto const& [handle, record] : records)
                if (layer_of[handle] == l && qvRectsOverlap(record->bbox(), area))
                    drawn.push_back(record);
            if (reverse)
                std::reverse(drawn.begin(), drawn.end());
            for (qvShapeBase* record : drawn)
                port.draw_shape(*record);
            if (l == last)
                break;
        }
    }

    // Stream form: a count, then the records of every layer in handle order.
    void save(qvOutputStream& os) const override {
        qvWriteInt32(os, static_cast<long>(records.size()));
        for (auto const& [handle, record] : records)
            qvWriteShapeRecord(os, *record);
    }
    void load(qvInputStream& is) override {
        const long count = qvReadInt32(is);
        for (long i = 0; i < count; ++i)
            adopt(qvCreateShapeFromSerialization(is).release());
    }

private:
    void refuse_when_read_only() const {
        if (read_only_)
            qvRaise(qvErrorFrom<RecordingScene>("Cannot modify a read-only scene"));
    }

    int layers_;
    bool read_only_;
    long next_handle_ = 1;
};

// The driver, buffer and draw object behind a RecordingFlavorPort, so that
// code reaching a port's driver (port.draw().vbuf().driver()) finds one.
// The driver offers qvDriverAttributeCache while offers_cache is set and
// logs each drop as "drop <handle>" (and "drop all"), with the palette.
class RecordingDriver : public qvStubDriver, public qvDriverAttributeCache {
public:
    bool offers_cache = true;
    std::vector<std::string> drops;
    std::vector<qvPalette*> drop_palettes;

    void* query_interface(qvInterfaceInfo const& info) override {
        return offers_cache ? qvOfferInterfaces<qvDriverAttributeCache>(this, info) : nullptr;
    }
    void drop(qvPalette* palette, long handle) override {
        drops.push_back("drop " + std::to_string(handle));
        drop_palettes.push_back(palette);
    }
    void drop_all(qvPalette* palette) override {
        drops.push_back("drop all");
        drop_palettes.push_back(palette);
    }
};

class RecordingBuffer : public qvStubVBuf {
public:
    explicit RecordingBuffer(RecordingDriver& driver) : qvStubVBuf(driver) {}
};

class RecordingDraw : public qvDrawObject {
public:
    explicit RecordingDraw(RecordingBuffer& buffer) : buffer_(&buffer) {}
    qvVBufObject& vbuf() const override { return *buffer_; }
    void brush_origin(qvCrdOf<double> const& origin) override { origin_ = origin; }
    qvCrdOf<double> brush_origin() override { return origin_; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override { clip_ = qvRegion(region); }
    qvBaseRegion const& clip() const override { return clip_; }
    bool copy(qvVBufObject const&, qvMathRectOf<double> const&, qvMathRectOf<double> const&) override {
        return false;
    }

private:
    RecordingBuffer* buffer_;
    qvCrdOf<double> origin_;
    qvRegion clip_;
};

// A flavour port that keeps a copy of every record it is handed and every
// palette it is given. Per draw_shape call it also keeps, in `calls`, the
// record's bytes, the palette and transformation in force and the line
// width the record's attribute resolves to in that palette (NaN when it
// does not resolve: no palette, or a handle the palette does not know).
// Told so, the n-th call (from 1) raises qvErrorFrom<RecordingFlavorPort>
// "Recording port refuses to draw" or answers false, after it was kept;
// on_draw, when set, runs inside each call (after it was kept), so a test
// can act from within a draw. Its draw object leads to a RecordingDriver.
// The inverse transformation is the transformation's inverse; the model
// box is `model_box` when set, else the device box.
class RecordingFlavorPort : public qvFlavorPort {
public:
    struct Call {
        std::string bytes;
        qvPalette* palette = nullptr;
        qvRestrictedTransformation transformation;
        double line_width = 0;
    };
    enum class Failure { none, raise, answer_false };

    std::vector<std::string> drawn;   // the records' bytes
    std::vector<qvPalette*> palettes;
    std::vector<Call> calls;
    bool draw_answer = true;
    long fail_on = 0;                 // the call that fails, from 1; 0 none
    Failure failure = Failure::none;
    std::function<void(qvShapeBase const&)> on_draw;
    qvExtent per_character{1.0, 0.25, 0.75};
    std::optional<qvMathRectOf<double>> model_box;
    RecordingDriver driver;

    RecordingFlavorPort() = default;
    // The buffer and draw object point into this port.
    RecordingFlavorPort(RecordingFlavorPort const&) = delete;
    RecordingFlavorPort& operator=(RecordingFlavorPort const&) = delete;

    qvDrawObject& draw() override { return draw_; }
    qvRestrictedTransformation const& transformation() const override { return transformation_; }
    void transformation(qvRestrictedTransformation const& t) override {
        transformation_ = t;
        inverse_ = qvInvert(t);
    }
    qvRestrictedTransformation const& inverse_transformation() const override { return inverse_; }
    qvMathRectOf<double> const& device_bbox() const override { return device_bbox_; }
    void device_bbox(qvMathRectOf<double> const& box) override { device_bbox_ = box; }
    qvMathRectOf<double> const& model_bbox() const override { return model_box ? *model_box : device_bbox_; }
    void scene(qvScene* s) override { scene_ = s; }
    qvScene* scene() const override { return scene_; }
    void palette(qvPalette* p) override { palettes.push_back(p); }
    qvPalette* palette() const override { return palettes.empty() ? nullptr : palettes.back(); }
    bool draw_shape(qvShapeBase const& record) override {
        drawn.emplace_back(reinterpret_cast<char const*>(&record), static_cast<std::size_t>(record.size));
        calls.push_back({drawn.back(), palette(), transformation_, resolved_line_width(record.attribute_handle)});
        if (on_draw)
            on_draw(record);
        if (static_cast<long>(calls.size()) == fail_on) {
            if (failure == Failure::raise)
                qvRaise(qvErrorFrom<RecordingFlavorPort>("Recording port refuses to draw"));
            if (failure == Failure::answer_false)
                return false;
        }
        return draw_answer;
    }
    // `length` times the extent of one character.
    qvExtent text_metrics(long, char const*, unsigned length) override {
        return {per_character.width * length, per_character.descent, per_character.ascent};
    }

    // The record of call i as a record (its bytes in an 8-aligned block).
    std::unique_ptr<qvShapeBase> record(std::size_t i) const {
        std::string const& bytes = calls.at(i).bytes;
        std::unique_ptr<qvShapeBase> copy(qvNewShapeRecord(static_cast<int>(bytes.size())));
        std::memcpy(static_cast<void*>(copy.get()), bytes.data(), bytes.size());
        return copy;
    }

private:
    double resolved_line_width(long handle) const {
        qvPalette* const p = palette();
        if (p == nullptr)
            return std::numeric_limits<double>::quiet_NaN();
        try {
            qvAttributeProxy attribute(*p, handle);
            return attribute.line_width();
        } catch (qvError const&) {
            return std::numeric_limits<double>::quiet_NaN();
        }
    }

    qvRestrictedTransformation transformation_;
    qvRestrictedTransformation inverse_;
    qvMathRectOf<double> device_bbox_;
    qvScene* scene_ = nullptr;
    RecordingBuffer buffer_{driver};
    RecordingDraw draw_{buffer_};
};

// A minimal in-scene proxy over records of data struct D, answering its own
// identity (its class name) and registered under proxy class id Id (outside
// 1 to 16, which belong to the library's own kinds). Its allocate stamps
// D's kind code and Id into a new record; its changes run without guards;
// proxy_deaths counts destroyed proxies of every test kind. The identity
// name of each instance is declared where it is used (QV_INTERFACE_NAME).
inline int proxy_deaths = 0;

template <class D, long Id>
class TestShapeProxy : public qvSingleShapeProxyBase {
public:
    static constexpr long class_id = Id;

    explicit TestShapeProxy(qvContainerScene& scene) { connect_scene(scene); }
    TestShapeProxy(qvContainerScene& scene, qvShapeBase* record) {
        connect_scene(scene);
        record_ = record;
        scene.associate(this, record->shape_handle);
    }
    ~TestShapeProxy() override {
        ++proxy_deaths;
        if (scene_ != nullptr && record_ != nullptr) {
            scene_->deassociate(this);
            scene_->disconnect(record_);
        }
    }

    void* query_interface(qvInterfaceInfo const& info) override {
        if (&info == &qvInterfaceIdentity<TestShapeProxy>())
            return this;
        return qvSingleShapeProxyBase::query_interface(info);
    }

    void allocate(int extra) override {
        const bool first = record_ == nullptr;
        record_ = scene().allocate(extra + static_cast<int>(sizeof(qvShape<D>)), record_);
        if (!first)
            return;
        scene_->associate(this, record_->shape_handle);
        record_->kind = static_cast<std::int32_t>(D::flavor());
        record_->proxy_class_id = static_cast<std::int32_t>(Id);
        ::new (static_cast<void*>(reinterpret_cast<char*>(record_) + sizeof(qvShapeBase))) D();
    }
    using qvSingleShapeProxyBase::attr_handle;
    using qvSingleShapeProxyBase::user_handle;
    void user_handle(long h) override { created().user_handle = qvCheckedInt32(h); }
    void attr_handle(long h) override { created().attribute_handle = qvCheckedInt32(h); }
    void destroy_shape() override {
        if (record_ == nullptr)
            return;
        scene_->deassociate(record_->shape_handle);
        scene_->destroy(std::exchange(record_, nullptr));
    }
    qvMathRectOf<double> bbox() override { return checked_record().bbox(); }

    using qvSingleShapeProxyBase::record;
    void box(qvMathRectOf<float> const& r) { created().box = r; }

private:
    qvShapeBase& created() {
        if (record_ == nullptr)
            allocate(0);
        return *record_;
    }
};

// Succeeds when every identity that `target` answers in query_interaction,
// for the four interactions and for an identity that is none of them, is
// one its query_interface offers: the adapter made for the pair asks the
// graphic for that interface and fails its assertion when it is missing. A
// null answer (the interaction is not supported) passes.
inline ::testing::AssertionResult interactions_are_offered(qvInteractionTarget& target) {
    static const qvInterfaceInfo unknown;   // no registered identity has its address
    const std::pair<char const*, qvInterfaceInfo const*> asked[] = {
        {"qvMoveInteraction", &qvInterfaceIdentity<qvMoveInteraction>()},
        {"qvScaleInteraction", &qvInterfaceIdentity<qvScaleInteraction>()},
        {"qvExtendedScaleInteraction", &qvInterfaceIdentity<qvExtendedScaleInteraction>()},
        {"qvRotateInteraction", &qvInterfaceIdentity<qvRotateInteraction>()},
        {"an unknown identity", &unknown}};
    for (auto const& [name, interaction] : asked) {
        qvInterfaceInfo const* const answer = target.query_interaction(*interaction);
        if (answer != nullptr && target.query_interface(*answer) == nullptr)
            return ::testing::AssertionFailure() << "the answer to " << name << " is not offered";
    }
    return ::testing::AssertionSuccess();
}

// The members of a graphic list, in order.
inline std::vector<qvGraphicInterface*> members(qvGraphicList& list) {
    std::vector<qvGraphicInterface*> out;
    for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it)
        out.push_back(it->get());
    return out;
}

}  // namespace shape_test
