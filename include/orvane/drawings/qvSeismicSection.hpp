#pragma once
// qvSeismicSection: a row of traces, each a column of samples, as an
// application presents it. The library stores no samples: the application
// derives a section and hands traces out through acquire_trace; the library
// supplies the section's geometry and trace handles that give every trace
// back exactly once.
//
// Keeps true: a qvSeismicTrace owns at most one acquisition and releases it
// on its section once, when it goes or when it is assigned over; a move
// hands the acquisition over and leaves the source empty, so no two handles
// ever release the same trace.

#include <orvane/drawings/qvSeismicTypes.hpp>
#include <orvane/geometry/qvMathRect.hpp>

// A trace as the application implements it.
class qvSeismicTraceInterface {
public:
    virtual ~qvSeismicTraceInterface() = default;
    virtual qvTraceType trace_type() = 0;
    virtual qvSampleType sample_type() = 0;
    virtual int size() = 0;
    virtual void const* sample(int index, int count) = 0;

protected:
    qvSeismicTraceInterface() = default;
    qvSeismicTraceInterface(qvSeismicTraceInterface const&) = default;
    qvSeismicTraceInterface& operator=(qvSeismicTraceInterface const&) = default;
};

class qvSeismicSection;

// Owns one acquired trace and gives it back to its section when it goes.
class qvSeismicTrace : public qvSeismicTraceInterface {
public:
    qvSeismicTrace() noexcept = default;
    qvSeismicTrace(qvSeismicSection& section, qvSeismicTraceInterface& trace) noexcept
        : section_(&section), trace_(&trace) {}
    qvSeismicTrace(qvSeismicTrace&& other) noexcept;
    qvSeismicTrace& operator=(qvSeismicTrace&& other) noexcept;
    qvSeismicTrace(qvSeismicTrace const&) = delete;
    qvSeismicTrace& operator=(qvSeismicTrace const&) = delete;
    ~qvSeismicTrace() override;

    // Each of these raises the assertion "trace" on an empty handle.
    qvSeismicTraceInterface& trace_interface();
    qvTraceType trace_type() override;
    qvSampleType sample_type() override;
    int size() override;
    void const* sample(int index, int count) override;

    bool empty() const noexcept { return trace_ == nullptr; }

private:
    void give_back() noexcept;

    qvSeismicSection* section_ = nullptr;
    qvSeismicTraceInterface* trace_ = nullptr;
};

class qvSeismicSection {
public:
    virtual ~qvSeismicSection() = default;

    virtual qvSeismicTraceInterface* acquire_trace(int index) = 0;
    virtual void release_trace(qvSeismicTraceInterface* trace) = 0;
    virtual int trace_count() = 0;
    virtual int sample_count() = 0;
    // The reserved operations are the application's; the library never
    // calls them.
    virtual void reserved_1() = 0;
    virtual void reserved_2() = 0;
    virtual double sample_step() = 0;
    virtual void reserved_3() = 0;
    virtual double trace_step() { return 1.0; }
    virtual double trace_origin() { return 0.0; }
    virtual double sample_origin() { return 0.0; }
    // Traces along x, samples along y; (1, 1, 0, 0) when there is nothing.
    virtual qvMathRectOf<double> model_limits_vertical();
    // Samples along x, traces along y.
    virtual qvMathRectOf<double> model_limits_horizontal();
    virtual void reserved_4() = 0;
    virtual qvTraceType get_trace_type(int index);

    qvMathRectOf<double> model_limits() { return model_limits_vertical(); }
    // An empty handle when the section hands out no trace for index.
    qvSeismicTrace trace(int index);

protected:
    qvSeismicSection() = default;
    qvSeismicSection(qvSeismicSection const&) = default;
    qvSeismicSection& operator=(qvSeismicSection const&) = default;
};
