// libFuzzer target of the scene loaders: a shape list, or a memory scene
// with one to three layers whose palette it owns or not. The first byte
// picks: bit 0 a scene (else a list), bits 1-2 its layers less one (3
// reads as 2), bit 3 an owned palette; the rest is the stream, whose
// header, when there is one, sets the version the palette is read in.
//
// Bit 4 instead loads the stream into a paged scene (a new scene file, one
// segment, a palette it does not own) of bits 1-2 layers (0 to 2): a failed
// load leaves its layers, sizes and stream as they were; a loaded one
// saves, loads into a new paged scene and saves again as the same bytes,
// draws every layer and closes.
//
// A failed load leaves layers and records as they were (an owned palette
// keeps what it read); a loaded list or scene saves, loads into a new one
// and saves again as the same bytes; a loaded scene then draws every layer,
// gives up every layer and dies without a finding. The palette's own
// documented assertions pass; any other assertion, crash or leak is one.

#include "fuzz_support.hpp"

#include "qvCountingPort.hpp"
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvShapeList.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

const std::initializer_list<std::string_view> documented = {
    "a_handle >=0 && a_handle <= a_max",
    "f_handle >=0 && f_handle < f_max",
    "p_handle >=0 && p_handle < p_max",
    "fldr",
    "false",
    "0 <= xr && xr <= 1 && 0 <= xg && xg <= 1 && 0 <= xb && xb <= 1 || xr == -1 && xg == -1 && xb == -1",
    "0 <= xi && xi <= 1 || xi == -1",
};

template <class Object>
std::string saved(Object const& object, qvVersion version) {
    return qvfuzz::saved([&](qvOutputStream& out) { object.save(out); }, version);
}

void fuzz_list(qvInputStream& in) {
    qvShapeList list(0);
    if (!qvfuzz::attempt([&] { list.load(in); })) {
        if (list.size() != 0) std::abort();
        return;
    }
    const std::string first = saved(list, in.version());
    qvfuzz::VersionedInput again(first, in.version());
    qvShapeList copy(1);
    if (!qvfuzz::attempt([&] { copy.load(again.in); })) std::abort();
    qvfuzz::require_same(first, saved(copy, in.version()), "shape list");
}

std::unique_ptr<qvMemoryScene> make_scene(int layers, bool owns, qvPalette& shared) {
    return owns ? std::make_unique<qvMemoryScene>(layers, nullptr, true)
                : std::make_unique<qvMemoryScene>(layers, &shared, false);
}

void fuzz_scene(qvInputStream& in, int layers, bool owns) {
    qvStandardPalette shared;
    auto scene = make_scene(layers, owns, shared);
    const qvVersion version = in.version();
    std::string before;
    if (!qvfuzz::attempt([&] { before = saved(*scene, version); })) return;   // no serializer for it
    if (!qvfuzz::attempt([&] { scene->load(in); }, documented)) {
        if (scene->total_layers() != layers || scene->size(-1) != 0) std::abort();
        if (!owns) qvfuzz::require_same(before, saved(*scene, version), "failed scene load");
        return;
    }
    const std::string first = saved(*scene, version);
    qvfuzz::VersionedInput again(first, version);
    auto copy = make_scene(1, owns, shared);
    if (!qvfuzz::attempt([&] { copy->load(again.in); })) std::abort();
    qvfuzz::require_same(first, saved(*copy, version), "memory scene");

    qvCountingPort port;
    scene->render(port, -1, qvMathRectOf<double>(-1e30, -1e30, 1e30, 1e30), false);
    if (port.palette() != &scene->palette()) std::abort();
    // The records' proxy classes may be unknown: such shapes go directly.
    while (scene->total_layers() > 0 && qvfuzz::attempt([&] { scene->delete_layer(0); })) {}
}

// One scratch directory per process, removed at exit.
struct Scratch {
    Scratch() {
        namespace fs = std::filesystem;
        const std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
        dir = base + "/qvscenefuzzXXXXXX";
        if (::mkdtemp(dir.data()) == nullptr) std::abort();
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string dir;
};

std::string scratch_file(char const* name) {
    static const Scratch scratch;
    return scratch.dir + "/" + name;
}

// A created paged scene over its own new file.
struct PagedSetup {
    qvStandardPalette palette;
    qvPagedSceneFile file;
    std::unique_ptr<qvPagedSceneSegment> segment;
    std::unique_ptr<qvBasicPagedScene> scene;
    PagedSetup(char const* name, int layers) {
        file.create(scratch_file(name).c_str(), std::size_t{1} << 20);
        segment = std::make_unique<qvPagedSceneSegment>(file);
        scene = std::make_unique<qvBasicPagedScene>(file, &palette, false);
        scene->add_segment(*segment, true);
        scene->create(qvMathRectOf<double>(-1000, -1000, 1000, 1000));
        for (int l = 0; l < layers; ++l) scene->insert_layer(l);
    }
    ~PagedSetup() {
        scene->close();
        scene.reset();
        segment.reset();
        file.close();
    }
};

void fuzz_paged_scene(qvInputStream& in, int layers) {
    PagedSetup setup("a.pg", layers);
    qvBasicPagedScene& scene = *setup.scene;
    const qvVersion version = in.version();
    const std::string before = saved(scene, version);
    if (!qvfuzz::attempt([&] { scene.load(in); })) {
        if (scene.total_layers() != layers || scene.size(-1) != 0) std::abort();
        qvfuzz::require_same(before, saved(scene, version), "failed paged scene load");
        return;
    }
    const std::string first = saved(scene, version);
    {
        PagedSetup other("b.pg", 0);
        qvfuzz::VersionedInput again(first, version);
        if (!qvfuzz::attempt([&] { other.scene->load(again.in); })) std::abort();
        qvfuzz::require_same(first, saved(*other.scene, version), "paged scene");
    }
    qvCountingPort port;
    scene.render(port, -1, qvMathRectOf<double>(-1e30, -1e30, 1e30, 1e30), true);
    if (port.palette() != &scene.palette()) std::abort();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size == 0) return 0;
    const int selector = data[0];
    std::stringbuf buffer(qvfuzz::bytes_of(data + 1, size - 1));
    qvInputStream in(&buffer);
    if ((selector & 16) != 0)
        fuzz_paged_scene(in, std::min((selector >> 1) & 3, 2));
    else if ((selector & 1) == 0)
        fuzz_list(in);
    else
        fuzz_scene(in, 1 + std::min((selector >> 1) & 3, 2), (selector & 8) != 0);
    return 0;
}
