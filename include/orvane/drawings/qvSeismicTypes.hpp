#pragma once
// The kinds that the seismic section model passes through without reading
// them. Sample and trace kinds are the application's own values; the
// library only carries them from a trace to its caller.

enum class qvSampleType : int {};
enum class qvTraceType : int {};

// How a trace normaliser turns statistics into a factor and an offset.
enum class qvSeismicNormMode : int {
    none = 0,
    min_max = 1,
    mean_abs = 2,
    rms = 3,
};
