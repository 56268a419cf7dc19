#include "engine/BeamShapes.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/Extended80.h"
#include "engine/catalogues/CatalogueData.h"

namespace tw {

namespace {

constexpr std::size_t kNameOffset = 1;
constexpr std::size_t kValuesOffset = 56;
constexpr std::size_t kExtendedSize = 10;

// The value fields of a section in their stored order.
constexpr std::array<long double TSteelShape::*, 13> kSteelFields{
    &TSteelShape::Zx, &TSteelShape::Ix, &TSteelShape::Aw, &TSteelShape::Iy, &TSteelShape::tf,
    &TSteelShape::d,  &TSteelShape::ry, &TSteelShape::Sx, &TSteelShape::A,  &TSteelShape::bf,
    &TSteelShape::J,  &TSteelShape::k1, &TSteelShape::tw};

TSteelShape FromRow(const catalogue::SteelRow& row)
{
    return TSteelShape{row.name, row.Zx, row.Ix, row.Aw, row.Iy, row.tf, row.d,
                       row.ry,   row.Sx, row.A,  row.bf, row.J,  row.k1, row.tw};
}

TOShape FromRow(const catalogue::RoundRow& row)
{
    return TOShape{row.name, row.mass, row.A, row.D, row.t, row.tdes,
                   row.Dt,   row.I,    row.Z, row.S, row.r, row.J};
}

TGRShape FromRow(const catalogue::AngleRow& row)
{
    return TGRShape{row.name, row.mass, row.area, row.shortLeg, row.longLeg, row.t, row.S, row.r};
}

template <typename Row, typename Out = decltype(FromRow(std::declval<Row>()))>
std::vector<Out> Copy(std::span<const Row> rows)
{
    std::vector<Out> out;
    out.reserve(rows.size());
    for (const Row& row : rows)
        out.push_back(FromRow(row));
    return out;
}

} // namespace

void WriteSteelShape(const TSteelShape& shape, std::span<uint8_t, kSteelShapeRecordSize> out)
{
    std::fill(out.begin(), out.end(), uint8_t{0});
    const std::size_t length = std::min(shape.Name.size(), kSteelShapeNameMax);
    out[0] = static_cast<uint8_t>(length);
    std::memcpy(out.data() + kNameOffset, shape.Name.data(), length);
    for (std::size_t i = 0; i < kSteelFields.size(); ++i)
        EncodeExtended(shape.*kSteelFields[i],
                       out.subspan(kValuesOffset + i * kExtendedSize).first<kExtendedSize>());
}

TSteelShape ReadSteelShape(std::span<const uint8_t, kSteelShapeRecordSize> in)
{
    TSteelShape shape;
    const std::size_t length = std::min<std::size_t>(in[0], kSteelShapeNameMax);
    shape.Name.assign(reinterpret_cast<const char*>(in.data() + kNameOffset), length);
    for (std::size_t i = 0; i < kSteelFields.size(); ++i)
        shape.*kSteelFields[i] =
            DecodeExtended(in.subspan(kValuesOffset + i * kExtendedSize).first<kExtendedSize>());
    return shape;
}

TSteelShape MetricShapeToEnglish(const TSteelShape& metric)
{
    constexpr long double in = 2.54L;
    constexpr long double in2 = in * in;
    constexpr long double in3 = in2 * in;
    constexpr long double in4 = in3 * in;
    TSteelShape s = metric;
    s.Zx /= in3;
    s.Sx /= in3;
    s.Ix /= in4;
    s.Iy /= in4;
    s.J /= in4;
    s.Aw /= in2;
    s.tf /= in;
    s.d /= in;
    s.bf /= in;
    s.k1 /= in;
    s.tw /= in;
    s.ry /= 25.4L;         // mm to in
    s.A = s.A / 100 / in2; // mm2 to cm2 to in2
    return s;
}

TSteelShape OShapeToSteelShape(const TOShape& round, bool si)
{
    const long double f = si ? 10 : 1; // mm to cm in SI
    TSteelShape s;
    s.Name = round.Name.substr(0, kSteelShapeNameMax);
    s.Zx = round.Z;
    s.Ix = si ? round.I * 100 : round.I; // 10^6 mm4 to cm4
    s.Iy = s.Ix;
    s.Aw = round.A;
    s.A = round.A;
    s.tf = round.tdes / f;
    s.d = round.D / f;
    s.bf = round.D / f;
    s.ry = round.r;
    s.Sx = round.S;
    s.J = si ? round.J / 10 : round.J; // 10^3 mm4 to cm4
    s.k1 = round.Dt;
    s.tw = round.t / f;
    return s;
}

TArrSteelShapes LoadSteelShapes(TUnitSystem units, TSteelLibrary library, TPileType pileType)
{
    const bool si = units == TUnitSystem::usSI;
    if (pileType == TPileType::ptSheetPile)
        return Copy(si ? catalogue::SheetPilesSI() : catalogue::SheetPilesEnglish());

    std::span<const catalogue::SteelRow> metric;
    switch (library) {
    case TSteelLibrary::slAustralian:
        metric = catalogue::Australian();
        break;
    case TSteelLibrary::slBritish:
        metric = catalogue::British();
        break;
    case TSteelLibrary::slEuropean:
        metric = catalogue::European();
        break;
    default:
        // North American, and any library number a damaged file may hold.
        return Copy(si ? catalogue::NorthAmericanSI() : catalogue::NorthAmericanEnglish());
    }
    TArrSteelShapes shapes = Copy(metric);
    if (!si)
        std::transform(shapes.begin(), shapes.end(), shapes.begin(), MetricShapeToEnglish);
    return shapes;
}

TArrOShapes LoadOShapes(TSteelLibrary library, bool si)
{
    if (library == TSteelLibrary::slBritish)
        return Copy(si ? catalogue::ChsSI() : catalogue::ChsEnglish());
    return Copy(si ? catalogue::HssPipeSI() : catalogue::HssPipeEnglish());
}

TGRShapes LoadGuardrailShapes(TUnitSystem units)
{
    const auto rows = units == TUnitSystem::usSI ? catalogue::GuardrailAnglesSI()
                                                 : catalogue::GuardrailAnglesEnglish();
    TGRShapes shapes;
    for (std::size_t i = 0; i < shapes.size() && i < rows.size(); ++i)
        shapes[i] = FromRow(rows[i]);
    return shapes;
}

TRebarTable LoadRebarTable(TRebarStandard standard, TUnitSystem units)
{
    std::span<const catalogue::BarRow, catalogue::kRebarTableSize> rows = catalogue::RebarUS();
    if (standard == TRebarStandard::rsEuropean)
        rows = catalogue::RebarEuropean();
    else if (standard == TRebarStandard::rsCanadian)
        rows = catalogue::RebarCanadian();
    // Any other number (a damaged file) reads as US.
    const bool us =
        standard != TRebarStandard::rsEuropean && standard != TRebarStandard::rsCanadian;
    const bool si = units == TUnitSystem::usSI;

    TRebarTable table;
    for (std::size_t i = 0; i < table.size(); ++i) {
        TRebarSize bar{rows[i].designation, rows[i].metricDesignation, rows[i].diameter,
                       rows[i].area};
        if (us && si) {
            bar.Designation = bar.MetricDesignation;
            bar.Diameter *= 25.4;
            bar.Area *= 25.4 * 25.4;
        } else if (!us && !si) {
            bar.Diameter /= 25.4;
            bar.Area /= 25.4 * 25.4;
        }
        table[i] = bar;
    }
    return table;
}

namespace {

constexpr std::array<TSteelLibrary, 4> kLibraries{
    TSteelLibrary::slNorthAmerican, TSteelLibrary::slAustralian, TSteelLibrary::slBritish,
    TSteelLibrary::slEuropean};
constexpr std::array<TRebarStandard, 3> kStandards{TRebarStandard::rsUS, TRebarStandard::rsEuropean,
                                                   TRebarStandard::rsCanadian};

TUnitSystem UnitsOf(int si)
{
    return si ? TUnitSystem::usSI : TUnitSystem::usEnglish;
}

} // namespace

const TArrSteelShapes& SteelShapesFor(TUnitSystem units, TSteelLibrary library, TPileType pileType)
{
    // Rows 0-7: the four libraries in English and SI; rows 8-9: the sheet piles.
    static const std::array<TArrSteelShapes, 10> tables = [] {
        std::array<TArrSteelShapes, 10> t;
        for (std::size_t lib = 0; lib < kLibraries.size(); ++lib)
            for (int si = 0; si < 2; ++si)
                t[lib * 2 + si] =
                    LoadSteelShapes(UnitsOf(si), kLibraries[lib], TPileType::ptSoldierBeam);
        for (int si = 0; si < 2; ++si)
            t[8 + si] = LoadSteelShapes(UnitsOf(si), TSteelLibrary::slNorthAmerican,
                                        TPileType::ptSheetPile);
        return t;
    }();
    const std::size_t si = units == TUnitSystem::usSI ? 1 : 0;
    if (pileType == TPileType::ptSheetPile)
        return tables[8 + si];
    const auto lib = static_cast<std::size_t>(library);
    return tables[(lib < kLibraries.size() ? lib : 0) * 2 + si];
}

const TArrOShapes& OShapesFor(TSteelLibrary library, bool si)
{
    // HSS and pipe English, SI; CHS English, SI.
    static const std::array<TArrOShapes, 4> tables = [] {
        std::array<TArrOShapes, 4> t;
        for (int chs = 0; chs < 2; ++chs)
            for (int s = 0; s < 2; ++s)
                t[chs * 2 + s] = LoadOShapes(
                    chs ? TSteelLibrary::slBritish : TSteelLibrary::slNorthAmerican, s != 0);
        return t;
    }();
    return tables[(library == TSteelLibrary::slBritish ? 2 : 0) + (si ? 1 : 0)];
}

const TGRShapes& GuardrailShapesFor(TUnitSystem units)
{
    static const std::array<TGRShapes, 2> tables{LoadGuardrailShapes(TUnitSystem::usEnglish),
                                                 LoadGuardrailShapes(TUnitSystem::usSI)};
    return tables[units == TUnitSystem::usSI ? 1 : 0];
}

const TRebarTable& RebarTableFor(TRebarStandard standard, TUnitSystem units)
{
    static const std::array<TRebarTable, 6> tables = [] {
        std::array<TRebarTable, 6> t;
        for (std::size_t i = 0; i < kStandards.size(); ++i)
            for (int si = 0; si < 2; ++si)
                t[i * 2 + si] = LoadRebarTable(kStandards[i], UnitsOf(si));
        return t;
    }();
    std::size_t i = 0;
    if (standard == TRebarStandard::rsEuropean)
        i = 1;
    else if (standard == TRebarStandard::rsCanadian)
        i = 2;
    return tables[i * 2 + (units == TUnitSystem::usSI ? 1 : 0)];
}

std::string RebarLabel(int32_t designation, TRebarStandard standard, TUnitSystem units)
{
    const bool usEnglish = standard == TRebarStandard::rsUS && units == TUnitSystem::usEnglish;
    std::string label = std::to_string(designation);
    if (usEnglish)
        label.insert(label.begin(), '#');
    else
        label += 'M';
    return label;
}

std::vector<std::string> RebarLabels(const TRebarTable& table, TRebarStandard standard,
                                     TUnitSystem units)
{
    std::vector<std::string> labels;
    for (const TRebarSize& bar : table)
        if (bar.Designation != 0)
            labels.push_back(RebarLabel(bar.Designation, standard, units));
    return labels;
}

int32_t BarNumberFromLabel(std::string_view label, const TRebarTable& table)
{
    std::string digits;
    for (char c : label)
        if (c != '#' && c != 'M')
            digits += c;
    const auto first = digits.find_first_not_of(' ');
    const auto last = digits.find_last_not_of(' ');
    int32_t n = 0;
    bool ok = false;
    if (first != std::string::npos) {
        const char* begin = digits.data() + first;
        const char* end = digits.data() + last + 1;
        if (*begin == '+')
            ++begin;
        const auto [ptr, ec] = std::from_chars(begin, end, n);
        ok = ec == std::errc() && ptr == end;
    }
    return ok && n != 0 ? n : table[0].Designation;
}

int BarListIndex(int32_t n, std::span<const std::string> labels)
{
    const std::string number = std::to_string(n);
    for (const std::string& wanted : {std::string(1, '#').append(number), number + 'M'}) {
        const auto it = std::find(labels.begin(), labels.end(), wanted);
        if (it != labels.end())
            return static_cast<int>(it - labels.begin());
    }
    return 0;
}

} // namespace tw
