#pragma once
// qvGradientImplementation: the stop list, settings and transformation that
// every gradient kind holds.
//
// Keeps true: stops_ is ordered by position: a new stop goes after the last
// stop whose position is not greater than its own (searched from the end),
// which is ascending order with equal positions in order of arrival. The
// rule needs no comparison to be a strict weak order, so NaN positions read
// from a stream still give one defined order. Room for two stops is
// reserved at construction, so the colour constructors never grow the list.
// Copies copy everything; the reference count is the copy's own (qvRefBase).

#include <orvane/attributes/qvGradientDataAccess.hpp>

#include <vector>

class qvGradientImplementation : public virtual qvGradientDataAccess {
public:
    struct Stop {
        double position;
        qvRgbColor color;
    };

    qvGradientImplementation();
    qvGradientImplementation(qvGradientImplementation const& other) = default;
    qvGradientImplementation& operator=(qvGradientImplementation const& other) = default;
    ~qvGradientImplementation() override;

    int setting_a() const override { return setting_a_; }
    void setting_a(int value) override { setting_a_ = value; }
    int setting_b() const override { return setting_b_; }
    void setting_b(int value) override { setting_b_ = value; }
    qvTransformation transformation() const override { return transformation_; }
    void transformation(qvTransformation const& value) override { transformation_ = value; }
    int stop_count() const override;
    void add_stop(double position, qvRgbColor color) override;
    void remove_stop(int index) override;
    qvRgbColor stop_color(int index) const override;
    double stop_position(int index) const override;

    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    // The start (or focal) and end colours of the kinds: the first and last
    // stop's colour; setting replaces a first stop at exactly 0.0 (a last
    // stop at exactly 1.0), else adds one there.
    qvRgbColor first_color() const { return stop_color(0); }
    qvRgbColor last_color() const { return stop_color(stop_count() - 1); }
    void replace_first_color(qvRgbColor color);
    void replace_last_color(qvRgbColor color);
    // The two stops of the colour constructors.
    void add_end_stops(qvRgbColor first, qvRgbColor last);

private:
    void check_index(int index) const;

    std::vector<Stop> stops_;
    int setting_a_ = 0;
    int setting_b_ = 0;
    qvTransformation transformation_;
};
