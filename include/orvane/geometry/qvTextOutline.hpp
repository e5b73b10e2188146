#pragma once
// qvTextOutline: the hook through which a host supplies text outlines.
//
// The library neither implements nor calls the two outline operations; a
// host derives a provider, installs it with the protected static
// instance(provider), and its own drivers find it through instance().
//
// An outline is a tagged point set (see qvPointTag): it can be drawn with
// qvDrawBezierHelper or hit-tested like a Bézier shape. Coordinates are in
// the provider's own text units, baseline at y = 0, y upwards; fonts and
// sizes are the provider's business.
//
// Keeps true: instance() returns the installed provider, or null before any
// is installed. Providers are not owned: a provider that is destroyed while
// installed uninstalls itself, so instance() never dangles.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvPointTag.hpp>

#include <string_view>

class qvTextOutline {
public:
    virtual ~qvTextOutline();

    static qvTextOutline* instance() noexcept;

    // The number of points of the outline of `text` (0 when it has none).
    virtual int point_count(std::string_view text) const = 0;
    // Writes the outline of `text`: point_count(text) points and their
    // tags, into arrays with room for that many. Returns the number written.
    virtual int get_points(std::string_view text, qvCrdOf<double>* points,
                           qvPointTag* tags) const = 0;

protected:
    // Installs `provider` (null uninstalls).
    static void instance(qvTextOutline* provider) noexcept;

    qvTextOutline() noexcept = default;
    // Copies share no installation: nothing is copied.
    qvTextOutline(qvTextOutline const&) noexcept {}
    qvTextOutline& operator=(qvTextOutline const&) noexcept { return *this; }
};
