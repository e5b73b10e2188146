// Custom brushes and gradients: stop order, shared ownership of the
// gradient, and the brush stream form (148 bytes for a linear 2-stop brush
// on a 3.4.1 stream, 140 on a version-0 one).

#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/attributes/qvConicalGradientIO.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvCustomBrushIO.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvLinearGradientIO.hpp>
#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/attributes/qvRadialGradientIO.hpp>

#include "attributes/qvLinearGradientImplementation.hpp"
#include "qvAttributeStreams.hpp"
#include "qvStreamTestBuffers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <tuple>
#include <vector>

using namespace attribute_test;

namespace {

constexpr char const* index_rule = "( index >= 0 ) && ( index < (int)_stops.size() )";
const qvRgbColor red(1, 0, 0), blue(0.0, 0.0, 1.0, 0.5), green(0, 1, 0), white(1, 1, 1);
const qvCrdOf<double> origin(0, 0);

// Counts its deletions, to pin down who deletes a gradient and how often.
class ProbeGradient : public qvLinearGradientImplementation {
public:
    explicit ProbeGradient(int* deletions)
        : qvLinearGradientImplementation(origin, qvCrdOf<double>(1, 1)), deletions_(deletions) {}
    ~ProbeGradient() override { ++*deletions_; }

private:
    int* deletions_;
};

qvLinearGradient plain() { return qvLinearGradient(origin, qvCrdOf<double>(1, 0)); }

std::vector<double> positions(qvGradientDataAccess const& g) {
    std::vector<double> out;
    for (int i = 0; i < g.stop_count(); ++i) out.push_back(g.stop_position(i));
    return out;
}

qvLinearGradient two_colour_linear() {
    qvLinearGradient g(qvCrdOf<double>(1.5, -2), red, qvCrdOf<double>(10, 20), blue);
    g->setting_a(3);
    g->setting_b(-4);
    g->transformation(qvTransformation(1, 2, 3, 4, 5, 6));
    return g;
}

std::string saved(qvVersion const& version, qvCustomBrush const& brush) {
    return written(version, [&](qvOutputStream& os) { brush.save(os); });
}

std::string stop341(qvRgbColor const& c, double position) {
    return le(c.red()) + le(c.green()) + le(c.blue()) + le(c.alpha()) + le(position);
}

}  // namespace

TEST(qvCustomBrush, Copies_and_handles_share_one_gradient_that_the_last_release_deletes_once) {
    int deletions = 0;
    {
        qvCustomBrush brush(static_cast<qvCustomBrushDataAccess*>(new ProbeGradient(&deletions)));
        qvLinearGradient handle(brush);
        qvCustomBrush other = handle;
        handle->add_stop(0.5, red);
        EXPECT_EQ(qvLinearGradient(other)->stop_count(), 1);
        EXPECT_TRUE(qvCustomBrush(handle, handle.get()) == brush);  // one counter
        brush = qvCustomBrush();
        handle = qvLinearGradient();
        const qvCustomBrush same = other;
        other = same;
        EXPECT_EQ(deletions, 0);
        Input in(v341, saved(v341, two_colour_linear()));
        other.load(in.stream());  // into a new gradient: `same` keeps the old one
        EXPECT_NE(other.get(), same.get());
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(qvCustomBrushStream, Linear_two_stop_layout_and_sizes_per_version) {
    const qvCustomBrush brush = two_colour_linear();
    const std::string body = saved(v341, brush);
    ASSERT_EQ(body.size(), 148u);
    EXPECT_EQ(body.substr(0, 16), std::string(8, '\0') + le(1.5));  // version, kind, start x
    EXPECT_EQ(body.substr(40, 16), le<std::int32_t>(3) + le<std::int32_t>(-4) + le(1.0));  // settings, m0
    EXPECT_EQ(body.substr(96, 28), le<std::int32_t>(2) + stop341(red, 0.0));
    EXPECT_EQ(saved(v000, brush).size(), 140u);
}

TEST(qvCustomBrushStream, Every_kind_and_the_empty_brush_reload_and_a_cut_at_any_byte_changes_nothing) {
    EXPECT_EQ(saved(v341, qvCustomBrush()), stream_test::bytes("00 00 00 00 FF FF FF FF"));
    qvRadialGradient radial(qvCrdOf<double>(1, 2), red, 0.75, blue, qvCrdOf<double>(3, 4));
    radial->setting_b(9);
    radial->add_stop(0.5, green);
    const qvCustomBrush previous = two_colour_linear();
    const qvCustomBrush brushes[] = {previous, radial, qvConicalGradient({-1, -2}, red, 45.0, blue), {}};
    for (const qvVersion& version : {v000, v341})
        for (qvCustomBrush const& brush : brushes) {
            const std::string full = saved(version, brush);
            qvCustomBrush back = previous;
            Input in(version, full);
            back.load(in.stream());
            EXPECT_TRUE(brush.get() ? back.get() != brush.get() : !back.get());  // a new gradient, or none
            EXPECT_EQ(saved(version, back), full);  // the kind word included
            for (std::size_t n = 0; n < full.size(); ++n) {
                qvCustomBrush kept = previous;
                Input cut(version, full.substr(0, n));
                const std::string text = raised<qvErrorFrom<qvInputStream>>([&] { kept.load(cut.stream()); });
                EXPECT_TRUE(text == "Incomplete data on input" || text == "Invalid input stream") << n << text;
                EXPECT_EQ(kept.get(), previous.get()) << n;
            }
        }
}

TEST(qvCustomBrushStream, A_negative_stop_count_reads_no_stops) {
    // A linear brush of zero points, settings and transformation, then the count.
    Input in(v341, std::string(8 + 32 + 8 + 48, '\0') + le<std::int32_t>(-3) + "tail");
    qvCustomBrush brush;
    brush.load(in.stream());
    EXPECT_EQ(qvLinearGradient(brush)->stop_count(), 0);
    EXPECT_EQ(in.remaining(), 4u);
}

TEST(qvCustomBrushStream, Version_and_kind_words_are_checked) {
    for (auto [version, kind, left] : {std::tuple{1, 0, 204u}, {0, 3, 200u}}) {
        Input in(v341, le<std::int32_t>(version) + le<std::int32_t>(kind) + std::string(200, '\0'));
        qvCustomBrush brush;
        EXPECT_EQ(assertion_text([&] { brush.load(in.stream()); }), "false");
        EXPECT_EQ(in.remaining(), left);
        EXPECT_EQ(brush.get(), nullptr);
    }
}

TEST(qvCustomBrushStream, Gradient_savers_refuse_an_empty_handle) {
    const std::function<void(qvOutputStream&)> saves[] = {
        [](qvOutputStream& os) { qvLinearGradientIO::save(os, qvLinearGradient()); },
        [](qvOutputStream& os) { qvRadialGradientIO::save(os, qvRadialGradient()); },
        [](qvOutputStream& os) { qvConicalGradientIO::save(os, qvConicalGradient()); }};
    for (auto const& save : saves)
        EXPECT_EQ(assertion_text([&] { written(v341, save); }), "gradient.get() != nullptr") << &save - saves;
}

TEST(qvGradientStops, Insertion_is_stable_and_ordered_even_for_NaN) {
    qvLinearGradient g = plain();
    for (auto [p, c] : {std::pair{0.5, red}, {0.2, green}, {0.8, blue}, {0.5, white}}) g->add_stop(p, c);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.2, 0.5, 0.5, 0.8}));
    EXPECT_EQ(g->stop_color(2), white);  // an equal position goes after the existing stop

    qvLinearGradient odd = plain();
    odd->add_stop(0.5, red);
    odd->add_stop(std::nan(""), green);  // nothing is greater than NaN: appended
    odd->add_stop(0.2, blue);            // NaN is not greater than 0.2: goes after it
    EXPECT_EQ(odd->stop_position(0), 0.5);
    EXPECT_TRUE(std::isnan(odd->stop_position(1)));
    EXPECT_EQ(odd->stop_position(2), 0.2);
}

TEST(qvGradientStops, Indices_are_checked_by_the_exact_rule) {
    qvLinearGradient g = plain();
    EXPECT_EQ(assertion_text([&] { g->end_color(); }), index_rule);
    for (double p : {0.1, 0.2, 0.3}) g->add_stop(p, red);
    g->remove_stop(1);
    EXPECT_EQ(positions(*g), (std::vector<double>{0.1, 0.3}));
    EXPECT_EQ(assertion_text([&] { g->remove_stop(g->stop_count()); }), index_rule);
}

TEST(qvGradientColours, Start_and_end_colours_look_only_at_the_first_and_last_stop) {
    qvLinearGradient g = plain();
    g->add_stop(0.25, red);
    g->start_color(green);  // first stop not at 0: adds one
    g->start_color(blue);   // now at 0: replaces it
    EXPECT_EQ(positions(*g), (std::vector<double>{0.0, 0.25}));
    EXPECT_EQ(g->start_color(), blue);

    qvLinearGradient e = plain();
    for (auto [p, c] : {std::pair{0.0, red}, {1.0, green}, {1.0, blue}}) e->add_stop(p, c);
    e->end_color(white);
    EXPECT_EQ(positions(*e), (std::vector<double>{0.0, 1.0, 1.0}));
    EXPECT_EQ(e->stop_color(1), green);
    EXPECT_EQ(e->end_color(), white);
}

