#include "form/NodeTable.h"

#include <charconv>
#include <cmath>

namespace tw::form {

namespace {

constexpr int kSignificant = 10;

// The values of a row: depth and the second-pass results.
std::array<long double, kNodeColumnCount - 1> Values(const TPileNode& node)
{
    return {node.Depth, node.CutShear, node.CutMoment, node.CutRelSlope, node.CutDeflectionOut};
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

std::array<TNodeColumn, kNodeColumnCount> NodeTableColumns(TUnitSystem units)
{
    const bool si = units == TUnitSystem::usSI;
    return {{
        {"Node #", 60, -1},
        {si ? "Depth, m" : "Depth, ft", 60, 2},
        {si ? "Shear, kN" : "Shear, k", 80, 2},
        {si ? "Moment, kN-m" : "Moment, k-ft", 80, 2},
        {"Slope, rad.", 80, 5},
        {si ? "Defl, mm" : "Defl, inch", 80, si ? 2 : 3},
    }};
}

std::vector<TNodeRow> NodeTableRows(const TTWData& project, const TNumberFormat& format)
{
    const auto columns = NodeTableColumns(project.Units);
    std::vector<TNodeRow> rows;
    rows.reserve(kPileNodeCount);
    for (int i = 0; i < kPileNodeCount; ++i) {
        TNodeRow row;
        row[0] = std::to_string(i);
        const auto values = Values(project.Nodes[static_cast<std::size_t>(i)]);
        for (int c = 1; c < kNodeColumnCount; ++c)
            row[static_cast<std::size_t>(c)] =
                FormatFixed(values[static_cast<std::size_t>(c - 1)], columns[c].decimals,
                            kSignificant, format.decimalSeparator);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string NodeTableTabText(const TTWData& project, const TNumberFormat& format)
{
    std::string text;
    const auto columns = NodeTableColumns(project.Units);
    for (int c = 0; c < kNodeColumnCount; ++c)
        text += (c > 0 ? "\t" : "") + columns[c].caption;
    text += '\n';
    for (const TNodeRow& row : NodeTableRows(project, format)) {
        for (int c = 0; c < kNodeColumnCount; ++c)
            text += (c > 0 ? "\t" : "") + row[static_cast<std::size_t>(c)];
        text += '\n';
    }
    return text;
}

std::string NodeTableCsv(const TTWData& project)
{
    const bool si = project.Units == TUnitSystem::usSI;
    std::string text = si ? "Node,Depth (m),Shear (kN),Moment (kN-m),Slope (rad),Deflection (mm)\n"
                          : "Node,Depth (ft),Shear (k),Moment (k-ft),Slope (rad),Deflection (in)\n";
    for (int i = 0; i < kPileNodeCount; ++i) {
        text += std::to_string(i);
        for (const long double value : Values(project.Nodes[static_cast<std::size_t>(i)])) {
            text += ',';
            text += Shortest(value);
        }
        text += '\n';
    }
    return text;
}

} // namespace tw::form
