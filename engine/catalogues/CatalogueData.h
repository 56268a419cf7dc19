// Built-in section tables. The rows are compiled in from CatalogueTables.cpp, which
// tools/gen_catalogues.py writes from the published section data; do not edit that file
// by hand. Row order is part of the project file format: projects store row indices.
#pragma once

#include <cstdint>
#include <span>

namespace tw::catalogue {

// One row of an I-shape or sheet pile table, fields in the order of the stored layout.
// Metric tables hold cm, cm2, cm3, cm4 except ry in mm and A in mm2.
struct SteelRow
{
    const char* name; // exact designation, trailing blanks included
    long double Zx, Ix, Aw, Iy, tf, d, ry, Sx, A, bf, J, k1, tw;
};

// One row of a round HSS, pipe or CHS table.
// English: lb/ft, in2, in, in, in, -, in4, in3, in3, in, in4.
// SI: kg/m, mm2, mm, mm, mm, -, 10^6 mm4, 10^3 mm3, 10^3 mm3, mm, 10^3 mm4.
struct RoundRow
{
    const char* name;
    long double mass, A, D, t, tdes, Dt, I, Z, S, r, J;
};

// One guardrail angle. English: lb/ft, in2, in, in, in, in3, in. SI: kg/m, mm2, mm, mm, mm,
// 10^3 mm3, mm. S and r are about the axis parallel to the short leg.
struct AngleRow
{
    const char* name;
    long double mass, area, shortLeg, longLeg, t, S, r;
};

// One reinforcing bar: designation, metric designation (US table only, else 0),
// diameter and area (US table in in and in2, the others in mm and mm2).
struct BarRow
{
    int32_t designation;
    int32_t metricDesignation;
    double diameter;
    double area;
};

// I-shapes.
std::span<const SteelRow> NorthAmericanEnglish(); // 111 rows
std::span<const SteelRow> NorthAmericanSI();      // 111 rows, the same sections
std::span<const SteelRow> Australian();           // 41 rows, metric
std::span<const SteelRow> British();              // 84 rows, metric
std::span<const SteelRow> European();             // 67 rows, metric
// Sheet piles: Ix and Sx per unit length of wall, d = pile width, bf = profile height,
// tw = wall thickness, every other field 0.
std::span<const SteelRow> SheetPilesEnglish(); // 25 rows
std::span<const SteelRow> SheetPilesSI();      // 25 rows, the same piles

// Round sections.
std::span<const RoundRow> HssPipeEnglish(); // 165 rows: 128 HSS, then 37 pipes
std::span<const RoundRow> HssPipeSI();      // 165 rows, the same sections
std::span<const RoundRow> ChsEnglish();     // 829 rows, the SI rows converted
std::span<const RoundRow> ChsSI();          // 829 rows: 274 hot-finished, 555 cold-formed

// Guardrail angles.
std::span<const AngleRow> GuardrailAnglesEnglish(); // 17 rows
std::span<const AngleRow> GuardrailAnglesSI();      // 17 rows, the same angles

// Reinforcing bars; each table has 12 entries, unused entries all zero.
inline constexpr int kRebarTableSize = 12;
std::span<const BarRow, kRebarTableSize> RebarUS();       // 11 bars, in and in2
std::span<const BarRow, kRebarTableSize> RebarEuropean(); // 12 bars, mm and mm2
std::span<const BarRow, kRebarTableSize> RebarCanadian(); // 8 bars, mm and mm2

} // namespace tw::catalogue
