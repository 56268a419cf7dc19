// Section catalogue rows, their stored layout and the conversions between catalogues.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Enums.h"

namespace tw {

// One steel section or sheet pile, in the units of the project's current unit system.
// I-shapes: Zx in3|cm3, Ix/Iy/J in4|cm4, Aw in2|cm2, tf/d/bf/k1/tw in|cm, ry in|mm, Sx in3|cm3,
// A in2|mm2. Sheet piles: Ix and Sx per unit length of wall, d the pile width, bf the profile
// height, tw the wall thickness. A round section converted into this layout carries D/t in k1.
struct TSteelShape
{
    std::string Name; // at most kSteelShapeNameMax 8-bit characters
    long double Zx = 0, Ix = 0, Aw = 0, Iy = 0, tf = 0, d = 0, ry = 0, Sx = 0, A = 0, bf = 0, J = 0,
                k1 = 0, tw = 0;

    bool operator==(const TSteelShape&) const = default;
};
using TArrSteelShapes = std::vector<TSteelShape>;

inline constexpr std::size_t kSteelShapeNameMax = 50;
inline constexpr std::size_t kSteelShapeRecordSize = 192;

// The fixed 192-byte little-endian record of a section as it is written to project files:
// name length, 50 name bytes, 5 padding bytes, the 13 values as 10-byte extended numbers in
// the order Zx Ix Aw Iy tf d ry Sx A bf J k1 tw, 6 padding bytes. Unused bytes are written
// as zero; a name longer than 50 characters is cut to 50.
void WriteSteelShape(const TSteelShape& shape, std::span<uint8_t, kSteelShapeRecordSize> out);
// Reads the record back. A name length above 50 (a damaged record) is read as 50.
TSteelShape ReadSteelShape(std::span<const uint8_t, kSteelShapeRecordSize> in);

// One round HSS, pipe or CHS row. English: lb/ft, in2, in, in, in, -, in4, in3, in3, in, in4.
// SI: kg/m, mm2, mm, mm, mm, -, 10^6 mm4, 10^3 mm3, 10^3 mm3, mm, 10^3 mm4.
struct TOShape
{
    std::string Name;
    long double Mass = 0, A = 0, D = 0, t = 0, tdes = 0, Dt = 0, I = 0, Z = 0, S = 0, r = 0, J = 0;

    bool operator==(const TOShape&) const = default;
};
using TArrOShapes = std::vector<TOShape>;

// One guardrail angle. English: lb/ft, in2, in, in, in, in3, in. SI: kg/m, mm2, mm, mm, mm,
// 10^3 mm3, mm. S and r are about the axis parallel to the short leg.
struct TGRShape
{
    std::string Name;
    long double Mass = 0, Area = 0, ShortLeg = 0, LongLeg = 0, t = 0, S = 0, r = 0;

    bool operator==(const TGRShape&) const = default;
};
inline constexpr std::size_t kGuardrailShapeCount = 17;
using TGRShapes = std::array<TGRShape, kGuardrailShapeCount>;

// One reinforcing bar. Unused entries of a table are all zero.
struct TRebarSize
{
    int32_t Designation = 0;
    int32_t MetricDesignation = 0; // US bars only
    double Diameter = 0;           // in | mm
    double Area = 0;               // in2 | mm2

    bool operator==(const TRebarSize&) const = default;
};
inline constexpr std::size_t kRebarTableSize = 12;
using TRebarTable = std::array<TRebarSize, kRebarTableSize>;

// Divides a metric catalogue row (cm, cm2, cm3, cm4, ry in mm, A in mm2) into inch units.
TSteelShape MetricShapeToEnglish(const TSteelShape& metric);
// Brings a round row into the steel layout; si selects the SI unit factors.
TSteelShape OShapeToSteelShape(const TOShape& round, bool si);

// The steel catalogue in force for a unit system, library and pile type.
TArrSteelShapes LoadSteelShapes(TUnitSystem units, TSteelLibrary library, TPileType pileType);
// The round catalogue in force: CHS for the British library, HSS and pipe otherwise.
TArrOShapes LoadOShapes(TSteelLibrary library, bool si);
// The 17 guardrail angles of a unit system.
TGRShapes LoadGuardrailShapes(TUnitSystem units);
// The bar table of a rebar standard in the units of a unit system.
TRebarTable LoadRebarTable(TRebarStandard standard, TUnitSystem units);

// The index of the first row with this exact name (several CHS names repeat), or -1.
template <typename Shape> int FindByName(const std::vector<Shape>& shapes, std::string_view name)
{
    for (std::size_t i = 0; i < shapes.size(); ++i)
        if (shapes[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

// The same tables built once per program run and shared by every project: the table in force
// for the choices, without copying. Unknown library or standard numbers (a damaged file) read as
// North American and US.
const TArrSteelShapes& SteelShapesFor(TUnitSystem units, TSteelLibrary library, TPileType pileType);
const TArrOShapes& OShapesFor(TSteelLibrary library, bool si);
const TGRShapes& GuardrailShapesFor(TUnitSystem units);
const TRebarTable& RebarTableFor(TRebarStandard standard, TUnitSystem units);

// "#n" for US bars in English units, "nM" otherwise.
std::string RebarLabel(int32_t designation, TRebarStandard standard, TUnitSystem units);
// The labels of the non-zero bars of a table, in table order.
std::vector<std::string> RebarLabels(const TRebarTable& table, TRebarStandard standard,
                                     TUnitSystem units);
// The bar number of a list entry: "#" and "M" removed, blanks trimmed, read as an integer;
// 0 or unreadable gives the designation of the table's first entry.
int32_t BarNumberFromLabel(std::string_view label, const TRebarTable& table);
// The list position for bar number n: the entry "#n", else "nM", else the first entry (0).
int BarListIndex(int32_t n, std::span<const std::string> labels);

} // namespace tw
