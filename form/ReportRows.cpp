#include "form/ReportRows.h"

#include <cmath>
#include <cstdio>

#include "form/InputLayout.h"
#include "form/MainForm.h"
#include "form/ResultRows.h"

namespace tw::form {

namespace {

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

bool IsSI(const TMainForm& form)
{
    return form.Project().Units == TUnitSystem::usSI;
}

bool Failing(const TMainForm& form, std::optional<Verdict> verdict)
{
    if (!verdict)
        return false;
    const TVerdictState& v = form.VerdictState(*verdict);
    return v.visible && !v.pass;
}

TReportRow Cells(TReportTabs tabs, std::vector<std::string> cells, bool failing = false)
{
    TReportRow row;
    row.tabs = tabs;
    row.cells = std::move(cells);
    row.failing = failing;
    return row;
}

TReportRow HeadRow(TReportTabs tabs, std::vector<std::string> cells)
{
    TReportRow row = Cells(tabs, std::move(cells));
    row.bold = true;
    row.isCaption = false;
    return row;
}

// A text on its own line; the lines of a multi-line note become note lines.
TReportRow TextRow(std::string text, bool bold, bool indented, bool failing = false)
{
    TReportRow row = Cells(TReportTabs::None, {std::move(text)}, failing);
    row.bold = bold;
    row.indented = indented;
    return row;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            lines.push_back(line);
            line.clear();
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += ch;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

// --- Input sections ---

void AddBox(const TMainForm& form, Box b, std::vector<TReportRow>& rows)
{
    const TBoxState& s = form.BoxState(b);
    if (!s.visible || !s.enabled)
        return;
    std::string caption = s.caption;
    if (b == Box::BeamDiagonal)
        caption += BeamDiagonalSuffix(form);
    rows.push_back(Cells(TReportTabs::Generic, {caption, s.text, s.unit},
                         b == Box::BeamDiagonal && Failing(form, Verdict::HoleFit)));
}

void AddItem(const TMainForm& form, const TInputItem& item, std::vector<TReportRow>& rows)
{
    switch (item.kind) {
    case InputItemKind::Box:
        AddBox(form, static_cast<Box>(item.id), rows);
        break;
    case InputItemKind::List: {
        const TListState& s = form.ListState(static_cast<List>(item.id));
        if (s.visible && s.enabled)
            rows.push_back(
                Cells(TReportTabs::Generic, {s.caption, s.SelectedText().value_or(""), s.unit}));
        break;
    }
    case InputItemKind::Check: {
        const auto c = static_cast<Check>(item.id);
        const TCheckState& s = form.CheckState(c);
        if (c != Check::UseGuardrail && s.visible && s.enabled)
            rows.push_back(Cells(TReportTabs::Generic,
                                 {std::string(CheckDef(c).caption), s.checked ? "Yes" : "No", ""}));
        break;
    }
    case InputItemKind::Options: {
        // The checked one of the two option buttons, on its own line.
        const auto c = static_cast<Check>(item.id);
        const TCheckState& s = form.CheckState(c);
        const bool shown = c == Check::AllowablePassive ? form.PassiveChoiceVisible() : s.visible;
        if (!shown || !s.enabled)
            break;
        const std::string_view other =
            c == Check::AllowablePassive ? kUltimatePassiveCaption : kConcreteFillCaption;
        rows.push_back(TextRow(std::string(s.checked ? CheckDef(c).caption : other), false, false));
        break;
    }
    case InputItemKind::Text: {
        const auto l = static_cast<Label>(item.id);
        const TLabelState& s = form.LabelState(l);
        if (!s.visible || !s.enabled || s.text.empty())
            break;
        if (l == Label::ImportantNotice)
            rows.push_back(TextRow(std::string(LabelDef(l).caption), true, false));
        // The tie spacing message stands under the spacing boxes, at their right.
        rows.push_back(TextRow(s.text, false, l == Label::SpacingMessage,
                               l == Label::SpacingMessage && s.red));
        break;
    }
    case InputItemKind::Points:
    case InputItemKind::ViewTable:
        break;
    }
}

// The pressure point tables: a row per loading point with the passive point of the same
// number beside it.
std::vector<TReportRow> PointRows(const TMainForm& form, Box first)
{
    const bool si = IsSI(form);
    std::vector<TReportRow> rows;
    rows.push_back(HeadRow(TReportTabs::PressureHead, {"Loading Side", "Passive Side"}));
    const std::string x(PointColumnHead(false, si)), w(PointColumnHead(true, si));
    TReportRow heads = Cells(TReportTabs::PressureRow, {"", x, w, x, w});
    heads.isCaption = false;
    rows.push_back(heads);
    for (int i = 0; i < kLoadPointCount; ++i) {
        std::vector<std::string> cells{std::to_string(i + 1),
                                       form.BoxState(PointBox(first, i)).text,
                                       form.BoxState(PointBox(first, 8 + i)).text, "", ""};
        if (i < kPassivePointCount) {
            cells[3] = form.BoxState(PointBox(first, 16 + i)).text;
            cells[4] = form.BoxState(PointBox(first, 20 + i)).text;
        }
        rows.push_back(Cells(TReportTabs::PressureRow, std::move(cells)));
    }
    return rows;
}

bool IsMaterialBox(const TInputItem& item)
{
    if (item.kind != InputItemKind::Box)
        return false;
    const auto b = static_cast<Box>(item.id);
    return b == Box::ElasticModulus || b == Box::YieldStrength || b == Box::AllowTopDeflection ||
           b == Box::ConcreteStrength;
}

std::vector<TReportRow> InputRows(const TMainForm& form, Section section)
{
    if (section == Section::PressureInput)
        return PointRows(form, Box::InLoadX1);
    std::vector<TReportRow> rows;
    for (const TSectionItems& s : InputLayout()) {
        if (s.section != section)
            continue;
        // "Structural data" reads its beam and rebar cage rows first, then its materials.
        for (const TInputItem& item : s.items)
            if (!IsMaterialBox(item))
                AddItem(form, item, rows);
        for (const TInputItem& item : s.items)
            if (IsMaterialBox(item))
                AddItem(form, item, rows);
    }
    return rows;
}

// --- Result sections ---

std::vector<TReportRow> ResultSectionRows(const TMainForm& form, Section section)
{
    if (section == Section::PressureResult)
        return PointRows(form, Box::ResLoadX1);
    const bool si = IsSI(form);
    const TColumnHeads heads = ResultColumnHeads(section, si);
    const bool timber = form.Project().LaggingType == TLaggingType::ltTimber;
    std::vector<TReportRow> rows;
    const bool secondOpinion =
        section == Section::ClassicalCheck || section == Section::SoilSprings;
    if (section == Section::Checks || section == Section::RebarChecks ||
        section == Section::SectionCheck || secondOpinion) {
        // The rebar cage checks print under the checks' own heads.
        const TColumnHeads h = section == Section::SectionCheck || secondOpinion
                                   ? heads
                                   : ResultColumnHeads(Section::Checks, si);
        rows.push_back(
            HeadRow(TReportTabs::ChecksHead, {"", std::string(h.first), std::string(h.second)}));
    }
    for (const TResultRow& r : ResultRows()) {
        if (r.section != section || !RowVisible(form, r))
            continue;
        const std::string caption = RowCaption(form, r);
        // "Moment Above Grade" fails with the moment check below grade.
        const std::optional<Verdict> verdict =
            r.first == Box::ResMomentAbove ? std::optional<Verdict>(Verdict::Moment) : r.verdict;
        const bool failing = Failing(form, verdict);
        const TBoxState* first = r.first ? &form.BoxState(*r.first) : nullptr;
        const TBoxState* second = r.second ? &form.BoxState(*r.second) : nullptr;
        if (r.label) {
            const TLabelState& l = form.LabelState(*r.label);
            if (section == Section::LaggingResult && timber && r.label == Label::LaggingSize) {
                rows.push_back(Cells(TReportTabs::LaggingText, {caption, l.text}, failing));
                continue;
            }
            TReportRow row = TextRow(caption, false, false);
            row.noteLines = Lines(l.text);
            row.failing = failing;
            rows.push_back(row);
            continue;
        }
        switch (section) {
        case Section::OutputData:
            if (second)
                rows.push_back(Cells(
                    TReportTabs::OutputData,
                    {caption, first->text, first->unit, "@", second->text, second->unit}, failing));
            else
                rows.push_back(Cells(TReportTabs::OutputData,
                                     {caption, "", "", "", first->text, first->unit}, failing));
            break;
        case Section::Checks:
        case Section::RebarChecks:
        case Section::SectionCheck:
        case Section::ClassicalCheck:
        case Section::SoilSprings: {
            std::vector<std::string> cells{caption, "", "", "", ""};
            if (first) {
                cells[1] = first->text;
                cells[2] = first->unit;
            }
            if (second) {
                cells[3] = second->text;
                cells[4] = second->unit;
            }
            rows.push_back(Cells(TReportTabs::ChecksRow, std::move(cells), failing));
            break;
        }
        case Section::LaggingResult:
        case Section::GuardrailResult: {
            const bool lagging = section == Section::LaggingResult;
            if (!lagging || timber) {
                const TReportTabs tabs =
                    lagging ? TReportTabs::LaggingRow : TReportTabs::GuardrailRow;
                const Box headBefore = lagging ? Box::ResLagFbAdjusted : Box::ResGrCompressionAllow;
                if (r.first == headBefore)
                    rows.push_back(HeadRow(
                        tabs, {"", std::string(heads.first), std::string(heads.second), ""}));
                if (first && second)
                    rows.push_back(
                        Cells(tabs, {caption, first->text, second->text, second->unit}, failing));
                else {
                    const TBoxState* only = first ? first : second;
                    rows.push_back(Cells(tabs, {caption, "", only->text, only->unit}, failing));
                }
                break;
            }
            [[fallthrough]];
        }
        default:
            rows.push_back(Cells(TReportTabs::Generic,
                                 {caption, first ? first->text : "", first ? first->unit : ""},
                                 failing));
            break;
        }
    }
    return rows;
}

bool Printed(const TMainForm& form, Section section)
{
    if (!form.SectionState(section).visible)
        return false;
    if (section == Section::LaggingInput || section == Section::LaggingResult)
        return form.Project().LaggingType != TLaggingType::ltNone;
    return true;
}

} // namespace

int TReportPanel::CaptionCount() const
{
    int n = 0;
    for (const TReportRow& row : rows)
        n += row.isCaption;
    return n;
}

TReportPanel ReportPanel(const TMainForm& form, Section section)
{
    TReportPanel panel{section, form.SectionState(section).caption, {}};
    panel.rows =
        IsResultSection(section) ? ResultSectionRows(form, section) : InputRows(form, section);
    return panel;
}

std::vector<TReportPanel> ReportInputPanels(const TMainForm& form)
{
    std::vector<TReportPanel> panels;
    for (int s = 0; s < N(kFirstResultSection); ++s) {
        const auto section = static_cast<Section>(s);
        if (section != Section::GuardrailInput && Printed(form, section))
            panels.push_back(ReportPanel(form, section));
    }
    return panels;
}

std::vector<TReportPanel> ReportResultPanels(const TMainForm& form)
{
    std::vector<TReportPanel> panels;
    for (int s = N(kFirstResultSection); s < kSectionCount; ++s) {
        const auto section = static_cast<Section>(s);
        // The guardrail results and the two second opinions print as blocks of their own.
        if (section != Section::GuardrailResult && section != Section::ClassicalCheck &&
            section != Section::SoilSprings && Printed(form, section))
            panels.push_back(ReportPanel(form, section));
    }
    return panels;
}

std::string BeamDiagonalSuffix(const TMainForm& form)
{
    const TTWData& p = form.Project();
    const bool si = p.Units == TUnitSystem::usSI;
    const long double width = p.EffectivePileWidth() * (si ? 100 : 12);
    const int clearance = si ? 10 : 4;
    const bool passes =
        p.InstallMethod == TInstallMethod::imDriven || (width - p.BeamDiagonal) / 2 >= (si ? 5 : 2);
    char text[96];
    std::snprintf(text, sizeof text, " (%s%.0f %s - %d %s, %s)", passes ? "<" : ">",
                  static_cast<double>(width), si ? "cm" : "in", clearance, si ? "cm" : "in",
                  passes ? "O.K." : "N.G.");
    return text;
}

} // namespace tw::form
