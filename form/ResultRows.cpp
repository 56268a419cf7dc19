#include "form/ResultRows.h"

#include "form/MainForm.h"

namespace tw::form {

namespace {

TResultRow Row(Section s, Box first, std::optional<Box> second = std::nullopt,
               std::optional<Verdict> verdict = std::nullopt)
{
    return TResultRow{s, first, second, false, std::nullopt, verdict};
}

TResultRow AtRow(Section s, Box first, Box depth, std::optional<Verdict> verdict = std::nullopt)
{
    return TResultRow{s, first, depth, true, std::nullopt, verdict};
}

TResultRow TextRow(Section s, Label label, std::optional<Verdict> verdict = std::nullopt)
{
    return TResultRow{s, std::nullopt, std::nullopt, false, label, verdict};
}

std::vector<TResultRow> MakeRows()
{
    std::vector<TResultRow> rows;
    const Section c = Section::Coulomb;
    for (Box b :
         {Box::ResKa, Box::ResEFPActive, Box::ResKp, Box::ResEFPPassive, Box::ResMaxPassive})
        rows.push_back(Row(c, b));
    for (int i = 0; i < 8; ++i)
        rows.push_back(Row(Section::PressureResult, PointBox(Box::ResLoadX1, i),
                           PointBox(Box::ResLoadX1, 8 + i)));
    for (int i = 0; i < 4; ++i)
        rows.push_back(Row(Section::PressureResult, PointBox(Box::ResLoadX1, 16 + i),
                           PointBox(Box::ResLoadX1, 20 + i)));
    const Section o = Section::OutputData;
    rows.push_back(Row(o, Box::ResTotalLength));
    rows.push_back(
        TResultRow{o, Box::ResLr, std::nullopt, false, std::nullopt, Verdict::RoundClass});
    rows.push_back(Row(o, Box::ResLp));
    rows.push_back(AtRow(o, Box::ResMaxShear, Box::ResMaxShearAt));
    rows.push_back(AtRow(o, Box::ResMaxMomentAbove, Box::ResMaxMomentAboveAt));
    rows.push_back(AtRow(o, Box::ResMaxMomentBelow, Box::ResMaxMomentBelowAt));
    rows.push_back(
        AtRow(o, Box::ResMaxDeflection, Box::ResMaxDeflectionAt, Verdict::MaxDeflection));
    const Section k = Section::Checks;
    rows.push_back(Row(k, Box::ResMomentAbove));
    rows.push_back(Row(k, Box::ResMomentBelow, Box::ResMomentUtilization, Verdict::Moment));
    rows.push_back(Row(k, Box::ResShear, Box::ResShearUtilization, Verdict::Shear));
    rows.push_back(Row(k, Box::ResAxial, Box::ResAxialUtilization, Verdict::Axial));
    rows.push_back(TResultRow{k, std::nullopt, Box::ResInteraction, false, std::nullopt,
                              Verdict::Interaction});
    rows.push_back(TResultRow{k, std::nullopt, Box::ResSlenderness, false, std::nullopt,
                              Verdict::Slenderness});
    const Section r = Section::RebarChecks;
    rows.push_back(Row(r, Box::ResPu, Box::ResPuUtilization, Verdict::AxialPu));
    rows.push_back(Row(r, Box::ResMu, Box::ResMuUtilization, Verdict::MomentMu));
    rows.push_back(Row(r, Box::ResPhiMn));
    rows.push_back(Row(Section::SectionCheck, Box::ResSxRequired, Box::ResSxProvided,
                       Verdict::SectionModulus));
    const Section l = Section::LaggingResult;
    rows.push_back(Row(l, Box::ResLagPressure));
    rows.push_back(Row(l, Box::ResLagMoment));
    rows.push_back(Row(l, Box::ResLagShear));
    rows.push_back(Row(l, Box::ResLagFbAdjusted, Box::ResLagFbActual, Verdict::LaggingBending));
    rows.push_back(Row(l, Box::ResLagFvAdjusted, Box::ResLagFvActual, Verdict::LaggingShear));
    rows.push_back(Row(l, Box::ResLagDeflection, std::nullopt, Verdict::LaggingDeflection));
    rows.push_back(Row(l, Box::ResLagSreq));
    rows.push_back(TextRow(l, Label::LaggingSize, Verdict::LaggingSize));
    rows.push_back(TextRow(l, Label::ConcreteLagging, Verdict::LaggingConcrete));
    rows.push_back(TextRow(l, Label::LaggingMaterial));
    const Section g = Section::GuardrailResult;
    rows.push_back(
        Row(g, Box::ResGrCompressionAllow, Box::ResGrCompression, Verdict::GuardrailCompression));
    rows.push_back(
        TResultRow{g, std::nullopt, Box::ResGrYieldMoment, false, std::nullopt, std::nullopt});
    rows.push_back(
        TResultRow{g, std::nullopt, Box::ResGrBucklingMoment, false, std::nullopt, std::nullopt});
    rows.push_back(Row(g, Box::ResGrMomentAllow, Box::ResGrMoment, Verdict::GuardrailMoment));
    rows.push_back(Row(g, Box::ResGrWeldYAllow, Box::ResGrWeldY, Verdict::GuardrailWeldY));
    rows.push_back(Row(g, Box::ResGrWeldXAllow, Box::ResGrWeldX, Verdict::GuardrailWeldX));
    const Section cl = Section::ClassicalCheck;
    rows.push_back(Row(cl, Box::ResClassicalEmbedment, Box::ResDesignEmbedment));
    rows.push_back(Row(cl, Box::ResClassicalD0, Box::ResDesignD0));
    rows.push_back(Row(cl, Box::ResClassicalZeroShear, Box::ResDesignZeroShear));
    rows.push_back(Row(cl, Box::ResClassicalMoment, Box::ResDesignMoment));
    rows.push_back(Row(cl, Box::ResClassicalEmbedmentRatio));
    rows.push_back(Row(cl, Box::ResClassicalMomentRatio));
    rows.push_back(TextRow(cl, Label::ClassicalNote));
    const Section sp = Section::SoilSprings;
    rows.push_back(TextRow(sp, Label::SpringSoil));
    rows.push_back(Row(sp, Box::ResSpringModulus));
    rows.push_back(Row(sp, Box::ResSpringTopDeflection, Box::ResDesignTopDeflection));
    rows.push_back(Row(sp, Box::ResSpringMoment, Box::ResDesignMaxMoment));
    rows.push_back(Row(sp, Box::ResSpringMomentAt, Box::ResDesignMomentAt));
    rows.push_back(Row(sp, Box::ResSpringShear, Box::ResDesignShear));
    rows.push_back(Row(sp, Box::ResSpringPassive));
    rows.push_back(Row(sp, Box::ResSpringIterations));
    rows.push_back(TextRow(sp, Label::SpringNote));
    return rows;
}

std::string Pad(std::string text, std::size_t width)
{
    // Pads by characters, not bytes, so UTF-8 texts line up.
    std::size_t chars = 0;
    for (unsigned char ch : text)
        chars += (ch & 0xC0) != 0x80;
    if (chars < width)
        text.append(width - chars, ' ');
    return text;
}

std::string ValueText(const TBoxState& box)
{
    std::string text = box.text;
    if (!box.unit.empty())
        text += " " + box.unit;
    return text;
}

std::string Mark(bool pass)
{
    return pass ? "[PASS]" : "[FAIL]";
}

} // namespace

const std::vector<TResultRow>& ResultRows()
{
    static const std::vector<TResultRow> rows = MakeRows();
    return rows;
}

TColumnHeads ResultColumnHeads(Section section, bool si)
{
    switch (section) {
    case Section::Checks:
        return {"Capacity", "Utilization"};
    case Section::SectionCheck:
        return {"Required", "Provided"};
    case Section::GuardrailResult:
        return {"Allowable", "Applied"};
    case Section::LaggingResult:
        return {"Adjusted", "Actual"};
    case Section::PressureResult:
        return {PointColumnHead(false, si), PointColumnHead(true, si)};
    case Section::ClassicalCheck:
        return {"Classical", "Design"};
    case Section::SoilSprings:
        return {"Springs", "Design"};
    default:
        return {"", ""};
    }
}

std::string RowCaption(const TMainForm& form, const TResultRow& row)
{
    if (row.label)
        return std::string(LabelDef(*row.label).caption);
    if (row.first)
        return form.BoxState(*row.first).caption;
    return row.second ? form.BoxState(*row.second).caption : std::string();
}

bool RowVisible(const TMainForm& form, const TResultRow& row)
{
    if (row.label)
        return form.LabelState(*row.label).visible;
    if (row.first)
        return form.BoxState(*row.first).visible;
    return row.second && form.BoxState(*row.second).visible;
}

std::string ResultsText(const TMainForm& form)
{
    const bool si = form.Project().Units == TUnitSystem::usSI;
    std::string out;
    std::optional<Section> current;
    bool sectionShown = false;
    for (const TResultRow& row : ResultRows()) {
        if (current != row.section) {
            current = row.section;
            const TSectionState& s = form.SectionState(row.section);
            sectionShown = s.visible;
            if (!sectionShown)
                continue;
            out += "== ";
            out += s.caption;
            if (s.markVisible) {
                out += ' ';
                out += s.markWarning ? "[WARNING]" : Mark(s.markPass);
            }
            out += '\n';
            const TColumnHeads heads = ResultColumnHeads(row.section, si);
            if (!heads.first.empty() && row.section != Section::LaggingResult)
                out += "   " + Pad("", 34) + Pad(std::string(heads.first), 18) +
                       std::string(heads.second) + "\n";
        }
        if (!sectionShown || !RowVisible(form, row))
            continue;
        std::string line = "   " + Pad(RowCaption(form, row), 34);
        if (row.label) {
            std::string text = form.LabelState(*row.label).text;
            for (char& ch : text)
                if (ch == '\n')
                    ch = ' ';
            line += text;
        } else {
            line += Pad(row.first ? ValueText(form.BoxState(*row.first)) : std::string(), 18);
            if (row.second) {
                if (row.secondIsDepth)
                    line += "at ";
                line += ValueText(form.BoxState(*row.second));
            }
        }
        if (row.verdict) {
            const TVerdictState& v = form.VerdictState(*row.verdict);
            if (v.visible)
                line = Pad(line, 74) + Mark(v.pass);
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    }
    return out;
}

} // namespace tw::form
