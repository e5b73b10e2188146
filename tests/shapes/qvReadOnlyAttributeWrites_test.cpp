// Attribute writes through shapes of a memory scene set read-only and of a
// paged file opened read-only are refused before the palette takes them.
// They used to be refused after it: a refused colour stayed, a shared
// attribute lost a reference to a private copy, a refused disconnect
// released the attribute its record still named.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using attribute_object_test::count_of;
using palette_test::expect_raises;
using palette_test::folder;
using Refused = qvErrorFrom<qvSingleShapeProxyBase>;

char const* const read_only = "Attempt to modify a read-only scene";
const qvRgbColor teal(0.0f, 0.5f, 0.5f), plum(0.6f, 0.2f, 0.6f), coral(0.9f, 0.5f, 0.3f), olive(0.5f, 0.5f, 0.0f);

qvMathRectOf<double> box(double x) { return qvMathRectOf<double>(qvRectOf<double>(x, 1, x + 2, 3)); }

// A scene that starts writable with four rectangles: `alone` holds an
// attribute of its own in teal; `first` and `second` share one in plum;
// `named` holds one in coral named "lone" (the name holds a reference too).
// The palette outlives every session of the scene.
class Site {
public:
    virtual ~Site() = default;
    virtual qvContainerScene& scene() = 0;
    virtual qvPalette& palette() = 0;
    // Proxies connected from now on are read-only; none may be alive.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    long alone = 0, first = 0, second = 0, named = 0;

protected:
    void fill() {
        qvRectangle a(scene(), box(0)), f(scene(), box(10)), s(scene(), box(20)), n(scene(), box(30));
        a->fill_color(teal);
        f->fill_color(plum);
        s->connect_attribute(*f);
        n->fill_color(coral);
        n->attribute_name("lone");
        alone = a->shape_handle();
        first = f->shape_handle();
        second = s->shape_handle();
        named = n->shape_handle();
    }
};

char const* const no_room = "No room for another record";

class MemorySite : public Site {
public:
    MemorySite() { fill(); }
    qvContainerScene& scene() override { return scene_; }
    qvPalette& palette() override { return palette_; }
    void lock() override { scene_.read_only(true); }
    void unlock() override { scene_.read_only(false); }

    // While set, the scene fails every new record.
    bool records_fail = false;

private:
    class Scene : public qvMemoryScene {
    public:
        Scene(qvPalette* palette, bool const& fail) : qvMemoryScene(palette, false), fail_(fail) {}
        qvShapeBase* allocate(int size, qvShapeBase* old) override {
            if (fail_ && old == nullptr)
                qvRaise(qvErrorFrom<qvMemoryScene>(no_room));
            return qvMemoryScene::allocate(size, old);
        }

    private:
        bool const& fail_;
    };
    qvStandardPalette palette_;
    Scene scene_{&palette_, records_fail};
};

class PagedSite : public Site {
public:
    PagedSite() {
        scene_.create(path_.c_str(), qvMathRectOf<double>(qvRectOf<double>(0, 0, 100, 100)), 1 << 20);
        fill();
    }
    qvContainerScene& scene() override { return scene_; }
    qvPalette& palette() override { return palette_; }
    void lock() override { reopen(true); }
    void unlock() override { reopen(false); }

private:
    void reopen(bool read_only_file) {
        scene_.close();
        ASSERT_TRUE(scene_.open(path_.c_str(), 1 << 20, read_only_file));
    }
    qv_file_test::ScratchDir dir_;
    std::string path_ = dir_ / "shapes.pgf";
    qvMatchingPalette palette_{nullptr};
    qvPagedScene scene_{&palette_};
};

// Every attribute of the palette with its count, name and fill colour, and
// the attribute handle of each shape's record.
std::string state(Site& site) {
    std::string out;
    qvPalette& palette = site.palette();
    for (qvIndirectIterator<qvWrap<long>> h = palette.enumerate(); h; ++h) {
        char const* const name = palette.name(*h);
        auto const* fill = static_cast<qvRgbColor const*>(palette.property(*h, folder("brush/color_device/color")));
        out += std::to_string(*h) + "x" + std::to_string(count_of(palette, *h)) + " '" + (name ? name : "") + "' " +
               (fill ? std::to_string(fill->red()) + "/" + std::to_string(fill->green()) : "-") + "; ";
    }
    for (long shape : {site.alone, site.first, site.second, site.named})
        out += "shape " + std::to_string(shape) + " -> " +
               std::to_string(qvRectangle(site.scene(), shape)->attribute_handle()) + "; ";
    return out;
}

struct Write {
    char const* what;
    long Site::*target;
    std::function<void(Site&, qvRectangleProxy&)> call;
};

const std::vector<Write> refused_writes = {
    {"fill colour alone", &Site::alone, [](Site&, qvRectangleProxy& r) { r.fill_color(olive); }},
    {"fill colour shared", &Site::first, [](Site&, qvRectangleProxy& r) { r.fill_color(olive); }},
    {"copy_folder", &Site::first, [](Site& s, qvRectangleProxy& r) {
         r.copy_folder(qvRectangle(s.scene(), s.alone)->attribute_handle(), folder("brush/color_device/color"));
     }},
    {"destroy_folder", &Site::alone, [](Site&, qvRectangleProxy& r) {
         r.destroy_folder(folder("brush/color_device/color"));
     }},
    {"disconnect alone", &Site::alone, [](Site&, qvRectangleProxy& r) { r.disconnect_attribute(); }},
    {"disconnect shared", &Site::first, [](Site&, qvRectangleProxy& r) { r.disconnect_attribute(); }},
    {"attribute_name given", &Site::first, [](Site&, qvRectangleProxy& r) { r.attribute_name("pair"); }},
    {"attribute_name taken", &Site::alone, [](Site&, qvRectangleProxy& r) { r.attribute_name("lone"); }},
    {"attribute_name removed", &Site::named, [](Site&, qvRectangleProxy& r) { r.attribute_name(nullptr); }},
    {"connect_attribute by name", &Site::first, [](Site&, qvRectangleProxy& r) { r.connect_attribute("lone"); }},
    {"connect_attribute to a holder", &Site::alone, [](Site& s, qvRectangleProxy& r) {
         r.connect_attribute(*qvRectangle(s.scene(), s.first));
     }},
};

}  // namespace

TEST(qvReadOnlyAttributeWrites, A_refused_write_leaves_palette_counts_names_and_records_as_they_were) {
    for (bool paged : {false, true}) {
        for (Write const& write : refused_writes) {
            SCOPED_TRACE(std::string(paged ? "paged file: " : "memory scene: ") + write.what);
            const std::unique_ptr<Site> site =
                paged ? std::unique_ptr<Site>(new PagedSite) : std::unique_ptr<Site>(new MemorySite);
            const std::string before = state(*site);
            site->lock();
            {
                qvRectangle target(site->scene(), (*site).*write.target);
                expect_raises<Refused>([&] { write.call(*site, *target); }, read_only);
            }
            EXPECT_EQ(state(*site), before);
            site->unlock();
            // Each shape takes a colour of its own: the shared attribute still
            // counts both holders, and every record names a live attribute.
            const qvRgbColor colours[] = {olive, coral, teal, plum};
            const long shapes[] = {site->alone, site->first, site->second, site->named};
            for (int k = 0; k < 4; ++k)
                EXPECT_NO_THROW(qvRectangle(site->scene(), shapes[k])->fill_color(colours[k])) << k;
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(qvRectangle(site->scene(), shapes[k])->fill_color(), colours[k]) << k;
        }
    }
}

// A proxy without a record takes its first attribute before the record
// exists. A scene turned read-only since the proxy connected would refuse
// the record, so the proxy refuses first; a record the scene fails to make
// for another reason gives the attribute back.
TEST(qvReadOnlyAttributeWrites, A_first_attribute_the_scene_has_no_record_for_leaves_the_palette_as_it_was) {
    MemorySite site;
    const std::string before = state(site);
    const std::vector<std::function<void(qvRectangleProxy&)>> calls = {
        [](qvRectangleProxy& r) { r.fill_color(olive); },
        [](qvRectangleProxy& r) { r.attribute_name("lone"); },
        [](qvRectangleProxy& r) { r.connect_attribute("lone"); },
    };
    for (bool read_only_now : {true, false}) {
        // A name taken from its holder stays taken: only a refusal comes
        // before it.
        for (std::size_t c = 0; c < calls.size(); c += read_only_now ? 1 : 2) {
            qvRectangle empty(site.scene());
            auto const call = [&] { calls[c](*empty); };
            if (read_only_now) {
                site.lock();
                expect_raises<Refused>(call, read_only);
                site.unlock();
            } else {
                site.records_fail = true;
                expect_raises<qvErrorFrom<qvMemoryScene>>(call, no_room);
                site.records_fail = false;
            }
            EXPECT_EQ(empty->record(), nullptr) << read_only_now << c;
            EXPECT_EQ(state(site), before) << read_only_now << c;
        }
    }
}
