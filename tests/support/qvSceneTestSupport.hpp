#pragma once
// Support of the scene tests: records made through a scene's own allocate
// and stamped for a test proxy class, the drawing order of a scene read
// back through a recording port (records named by their user handles), and
// a scene's or list's stream bytes and loads.

#include <orvane/core/qvStreamPersistence.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "qvAttributeStreams.hpp"
#include "qvShapeTestSupport.hpp"

#include <cstring>
#include <string>
#include <vector>

namespace scene_test {

inline const qvMathRectOf<double> everywhere(-1e30, -1e30, 1e30, 1e30);

// A 48-byte rectangle record of proxy class `id` in layer 0 of `scene`,
// with box `box` and user handle `name`; its handle.
inline long add(qvContainerScene& scene, long name, qvMathRectOf<float> box = {0, 0, 1, 1}, long id = 101) {
    qvShapeBase* const record = scene.allocate(static_cast<int>(sizeof(qvShape<qvRectangleData>)), nullptr);
    record->proxy_class_id = static_cast<std::int32_t>(id);
    record->kind = qvRectangleKind;
    record->user_handle = static_cast<std::int32_t>(name);
    record->box = box;
    return record->shape_handle;
}

// The user handles of the records a render of `layer` over `area` draws.
template <class Scene>
std::vector<long> drawn(Scene& scene, int layer, bool reverse = false,
                        qvMathRectOf<double> const& area = everywhere) {
    shape_test::RecordingFlavorPort port;
    scene.render(port, layer, area, reverse);
    std::vector<long> names;
    for (std::string const& bytes : port.drawn) {
        qvShapeBase header;
        std::memcpy(static_cast<void*>(&header), bytes.data(), sizeof header);
        names.push_back(header.user_handle);
    }
    return names;
}

inline std::string saved(qvStreamPersistence const& object) {
    return attribute_test::written(attribute_test::v341, [&](qvOutputStream& os) { object.save(os); });
}

inline void load(qvStreamPersistence& object, std::string const& body) {
    attribute_test::Input in(attribute_test::v341, body);
    object.load(in.stream());
}

inline std::string i32(std::int32_t value) { return attribute_test::le(value); }

inline std::string bytes_of(qvShapeBase const& record) {
    return std::string(reinterpret_cast<char const*>(&record), static_cast<std::size_t>(record.size));
}

// The bytes of a record with its shape handle field zeroed.
inline std::string without_handle(std::string bytes) {
    std::memset(bytes.data() + 4, 0, 4);
    return bytes;
}

}  // namespace scene_test
