#pragma once
// qvHardcopyUnits: lengths on paper. Every length of printing is in points
// (1/72 inch); this converts the other units into points and knows the
// sizes of 31 paper formats, upright (width not above height) except
// Ledger, which lies on its side.
//
// Keeps true: a unit or paper format outside its enumeration is never read
// from a table: convert_to_points raises "Unknown hardcopy unit" and the
// paper lookups "Unknown paper format" (qvErrorFrom<qvHardcopyUnits>).
// Metric sizes are stored as millimetres / 25.4, so that times 72 they give
// points exactly as the millimetres convert.

#include <cstdint>

class qvHardcopyUnits {
public:
    enum Unit : std::int32_t { point = 0, inch = 1, millimetre = 2 };

    enum PaperFormat : std::int32_t {
        us_letter = 0,
        a4 = 1,
        b5_iso = 2,
        us_legal = 3,
        executive = 4,
        a0 = 5,
        a1 = 6,
        a2 = 7,
        a3 = 8,
        a5 = 9,
        a6 = 10,
        a7 = 11,
        a8 = 12,
        a9 = 13,
        b0_iso = 14,
        b1 = 15,
        b2 = 16,
        b3 = 17,
        b4 = 18,
        b6 = 19,
        b7 = 20,
        b8 = 21,
        b9 = 22,
        b10 = 23,
        c5_envelope = 24,
        no10_envelope = 25,
        dl_envelope = 26,
        folio = 27,
        ledger = 28,
        tabloid = 29,
        us_letter_second = 30,
    };

    // value times the unit's factor: 1 for points, 72 for inches, 72 / 25.4
    // for millimetres.
    static double convert_to_points(double value, Unit unit);
    // The paper's width and height in points.
    static double paper_width(PaperFormat format);
    static double paper_height(PaperFormat format);
    static double paper_width(int format);
    static double paper_height(int format);
};
