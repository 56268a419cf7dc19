#include "form/NodeTable.h"

#include <charconv>
#include <cmath>

#include "engine/SoilSprings.h"

namespace tw::form {

namespace {

constexpr int kSignificant = 10;

using TNodeValues = std::array<long double, kNodeColumnCount>;

// The values of each row in the columns' order: the design's node number, depth and
// second-pass results, or the springs' depth, load and results. The springs' slope and
// deflection are turned to the design's sign convention.
std::vector<TNodeValues> Values(const TTWData& project, TNodeMethod method)
{
    std::vector<TNodeValues> rows;
    if (method == TNodeMethod::Design) {
        rows.reserve(kPileNodeCount);
        for (int i = 0; i < kPileNodeCount; ++i) {
            const TPileNode& n = project.Nodes[static_cast<std::size_t>(i)];
            rows.push_back({static_cast<long double>(i), n.Depth, n.CutShear, n.CutMoment,
                            n.CutRelSlope, n.CutDeflectionOut});
        }
        return rows;
    }
    const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(project);
    if (!a.Applicable)
        return rows;
    rows.reserve(a.Nodes.size());
    for (const TSoilSpringNode& n : a.Nodes)
        rows.push_back({n.Depth, n.Load, n.Shear, n.Moment, -n.Slope, -n.Deflection});
    return rows;
}

std::string Shortest(long double value)
{
    if (!std::isfinite(static_cast<double>(value)))
        return "";
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(value));
    return std::string(text, end.ptr);
}

} // namespace

const char* NodeMethodName(TNodeMethod method)
{
    return method == TNodeMethod::SoilSprings ? "Soil springs" : "Design method";
}

std::array<TNodeColumn, kNodeColumnCount> NodeTableColumns(TUnitSystem units, TNodeMethod method)
{
    const bool si = units == TUnitSystem::usSI;
    const TNodeColumn first = method == TNodeMethod::SoilSprings
                                  ? TNodeColumn{si ? "Depth, m" : "Depth, ft", 60, 2}
                                  : TNodeColumn{"Node #", 60, -1};
    const TNodeColumn second = method == TNodeMethod::SoilSprings
                                   ? TNodeColumn{si ? "Load, kN/m" : "Load, k/ft", 80, si ? 2 : 3}
                                   : TNodeColumn{si ? "Depth, m" : "Depth, ft", 60, 2};
    return {{
        first,
        second,
        {si ? "Shear, kN" : "Shear, k", 80, 2},
        {si ? "Moment, kN-m" : "Moment, k-ft", 80, 2},
        {"Slope, rad.", 80, 5},
        {si ? "Defl, mm" : "Defl, inch", 80, si ? 2 : 3},
    }};
}

std::vector<TNodeRow> NodeTableRows(const TTWData& project, const TNumberFormat& format,
                                    TNodeMethod method)
{
    const auto columns = NodeTableColumns(project.Units, method);
    std::vector<TNodeRow> rows;
    for (const TNodeValues& values : Values(project, method)) {
        TNodeRow row;
        for (std::size_t c = 0; c < row.size(); ++c)
            row[c] = columns[c].decimals < 0
                         ? std::to_string(std::llround(static_cast<double>(values[c])))
                         : FormatFixed(values[c], columns[c].decimals, kSignificant,
                                       format.decimalSeparator);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string NodeTableNote(const TTWData& project, TNodeMethod method)
{
    if (method != TNodeMethod::SoilSprings)
        return {};
    const TSoilSpringAnalysis a = ComputeSoilSpringAnalysis(project);
    if (a.Applicable)
        return {};
    return std::string(NodeMethodName(method)) + ": " + (a.Reason.empty() ? "no answer" : a.Reason);
}

std::string NodeTableTabText(const TTWData& project, const TNumberFormat& format,
                             TNodeMethod method)
{
    std::string text;
    const auto columns = NodeTableColumns(project.Units, method);
    for (int c = 0; c < kNodeColumnCount; ++c)
        text += (c > 0 ? "\t" : "") + columns[c].caption;
    text += '\n';
    for (const TNodeRow& row : NodeTableRows(project, format, method)) {
        for (int c = 0; c < kNodeColumnCount; ++c)
            text += (c > 0 ? "\t" : "") + row[static_cast<std::size_t>(c)];
        text += '\n';
    }
    return text;
}

std::string NodeTableCsv(const TTWData& project, TNodeMethod method)
{
    const bool si = project.Units == TUnitSystem::usSI;
    const bool springs = method == TNodeMethod::SoilSprings;
    std::string text =
        springs
            ? (si ? "Depth (m),Load (kN/m),Shear (kN),Moment (kN-m),Slope (rad),Deflection (mm)\n"
                  : "Depth (ft),Load (k/ft),Shear (k),Moment (k-ft),Slope (rad),Deflection "
                    "(in)\n")
            : (si ? "Node,Depth (m),Shear (kN),Moment (kN-m),Slope (rad),Deflection (mm)\n"
                  : "Node,Depth (ft),Shear (k),Moment (k-ft),Slope (rad),Deflection (in)\n");
    for (const TNodeValues& values : Values(project, method)) {
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (c > 0)
                text += ',';
            text += c == 0 && !springs
                        ? std::to_string(std::llround(static_cast<double>(values[c])))
                        : Shortest(values[c]);
        }
        text += '\n';
    }
    return text;
}

} // namespace tw::form
