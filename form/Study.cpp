#include "form/Study.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/Globals.h"
#include "form/InputLayout.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower;
}

// Whether a study box of another section has the same caption (the soil friction angle of
// each soil, ...): then the box's name tells its group.
bool CaptionShared(Box box)
{
    const TBoxDef& def = BoxDef(box);
    for (int i = 0; i < kBoxCount; ++i) {
        const auto other = static_cast<Box>(i);
        if (StudyInput(other) && BoxDef(other).section != def.section &&
            BoxDef(other).caption == def.caption)
            return true;
    }
    return false;
}

std::string Grouped(std::string_view group, std::string_view caption)
{
    std::string name(group);
    name += ": ";
    name += caption;
    return name;
}

// Whether a name stands for a box: its identifier, its caption, or its caption after its group.
bool Names(Box box, const std::string& wanted)
{
    const TBoxDef& def = BoxDef(box);
    return Lower(def.name) == wanted || Lower(def.caption) == wanted ||
           Lower(Grouped(SectionDesignCaption(def.section), def.caption)) == wanted;
}

} // namespace

bool StudyInput(Box box)
{
    const TBoxDef& def = BoxDef(box);
    return !(def.flags & (kResult | kAlwaysReadOnly)) && !IsResultSection(def.section);
}

std::optional<Box> FindStudyInput(const std::string& name)
{
    const std::string wanted = Lower(name);
    for (int i = 0; i < kBoxCount; ++i) {
        const auto box = static_cast<Box>(i);
        if (!StudyInput(box))
            continue;
        if (Names(box, wanted))
            return box;
    }
    return std::nullopt;
}

std::vector<TStudyInput> StudyInputs(const TMainForm& form)
{
    std::vector<TStudyInput> inputs;
    for (const TSectionItems& section : InputLayout()) {
        const TSectionState& group = form.SectionState(section.section);
        if (!group.visible)
            continue;
        for (const TInputItem& item : section.items) {
            if (item.kind != InputItemKind::Box)
                continue;
            const auto box = static_cast<Box>(item.id);
            const TBoxState& state = form.BoxState(box);
            if (!StudyInput(box) || !state.visible || state.readOnly || !state.enabled)
                continue;
            inputs.push_back(
                {box, CaptionShared(box) ? Grouped(group.caption, state.caption) : state.caption,
                 state.unit});
        }
    }
    return inputs;
}

std::vector<TStudyInput> StudyInputs(const TTWData& project)
{
    TTWData copy = project;
    TMainForm form(copy);
    form.AfterOpen();
    return StudyInputs(form);
}

std::optional<TStudyInput> FindStudyInput(const std::vector<TStudyInput>& inputs,
                                          const std::string& name)
{
    const std::string wanted = Lower(name);
    for (const TStudyInput& input : inputs)
        if (Lower(input.name) == wanted || Names(input.box, wanted))
            return input;
    return std::nullopt;
}

std::vector<TStudyStep> RunStudy(const TTWData& project, Box input, long double from,
                                 long double to, int steps)
{
    std::vector<TStudyStep> result;
    steps = std::max(2, steps);
    TTWData copy = project;
    TMainForm form(copy);
    form.SetSoilSpringsShown(false);
    form.AfterOpen();
    for (int i = 0; i < steps; ++i) {
        TStudyStep step;
        step.value = from + (to - from) * i / (steps - 1);
        form.EditBox(input, FormatFixed(step.value, 6, 15, form.NumberFormat().decimalSeparator));
        const TCommitResult r = form.Commit();
        step.input = form.BoxState(input).text;
        if (!r.ok()) {
            // Written as the box writes a value (a failed analysis leaves the text as typed).
            if (const auto used = ParseNumber(step.input, form.NumberFormat()))
                step.input =
                    ShowNumber(copy.Limits(), BoxDef(input).tag, false, *used, form.NumberFormat());
            step.failure = *r.error;
        } else {
            step.analysed = true;
            step.embedment = copy.EmbedmentDepth;
            step.totalLength = copy.TotalPileLength;
            step.maxMoment =
                std::max(std::fabs(copy.MaxMomentAbove), std::fabs(copy.MaxMomentBelow));
            step.maxShear = std::fabs(copy.MaxShear);
            step.topDeflection = copy.TopDeflection;
            step.checks = SummarizeChecks(form);
            // The failing check's utilization, where it has one: the step keeps a governing
            // utilization to plot.
            if (!step.checks.passes) {
                const TVerdicts verdicts = WallVerdicts(copy);
                if (const TVerdict* failing = verdicts.FirstFailure())
                    step.checks.utilization = failing->utilization;
            }
        }
        result.push_back(std::move(step));
    }
    return result;
}

std::string StudyResultName(TStudyResult result)
{
    switch (result) {
    case TStudyResult::Embedment:
        return "Embedment Depth";
    case TStudyResult::TotalLength:
        return "Total Pile Length";
    case TStudyResult::MaxMoment:
        return "Maximum Moment";
    case TStudyResult::MaxShear:
        return "Maximum Shear";
    case TStudyResult::TopDeflection:
        return "Top Deflection";
    case TStudyResult::Utilization:
        return "Governing Utilization";
    }
    return {};
}

std::string StudyResultUnit(TStudyResult result, bool si)
{
    switch (result) {
    case TStudyResult::Embedment:
    case TStudyResult::TotalLength:
        return si ? "m" : "ft";
    case TStudyResult::MaxMoment:
        return si ? "kN-m" : "k-ft";
    case TStudyResult::MaxShear:
        return si ? "kN" : "k";
    case TStudyResult::TopDeflection:
        return si ? "mm" : "in";
    case TStudyResult::Utilization:
        return "%";
    }
    return {};
}

TStudyValue StudyValue(const TStudyStep& step, TStudyResult result)
{
    if (!step.analysed)
        return {std::nullopt, "the analysis failed: " + step.failure};
    long double value = 0;
    switch (result) {
    case TStudyResult::Embedment:
        value = step.embedment;
        break;
    case TStudyResult::TotalLength:
        value = step.totalLength;
        break;
    case TStudyResult::MaxMoment:
        value = step.maxMoment;
        break;
    case TStudyResult::MaxShear:
        value = step.maxShear;
        break;
    case TStudyResult::TopDeflection:
        value = step.topDeflection;
        break;
    case TStudyResult::Utilization:
        value = step.checks.utilization;
        if (!std::isfinite(static_cast<double>(value)))
            return {std::nullopt, step.checks.passes
                                      ? std::string("no check has a utilization")
                                      : step.checks.governing + " fails and has no utilization"};
        break;
    }
    if (!std::isfinite(static_cast<double>(value)))
        return {std::nullopt, "the result is not a number"};
    return {value, {}};
}

std::vector<std::vector<std::string>> StudyRows(const std::vector<TStudyStep>& study,
                                                const std::string& inputName, bool si)
{
    std::vector<std::vector<std::string>> rows{{inputName, si ? "Embedment (m)" : "Embedment (ft)",
                                                si ? "Pile length (m)" : "Pile length (ft)",
                                                si ? "Max. moment (kN-m)" : "Max. moment (k-ft)",
                                                si ? "Max. shear (kN)" : "Max. shear (k)",
                                                si ? "Top deflection (mm)" : "Top deflection (in)",
                                                "Governing", "Utilization (%)", "Result"}};
    const auto num = [](long double v, int decimals) { return FormatFixed(v, decimals, 10, "."); };
    for (const TStudyStep& st : study) {
        if (!st.analysed) {
            rows.push_back({st.input, "", "", "", "", "", "", "", "ERROR: " + st.failure});
            continue;
        }
        rows.push_back(
            {st.input, num(st.embedment, 2), num(st.totalLength, 2), num(st.maxMoment, 1),
             num(st.maxShear, 1), num(st.topDeflection, si ? 1 : 3), st.checks.governing,
             st.checks.utilization == st.checks.utilization ? num(st.checks.utilization, 0)
                                                            : std::string(),
             st.checks.passes ? "pass" : "FAIL"});
    }
    return rows;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows)
{
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += ',';
            const std::string& field = row[c];
            if (field.find_first_of(",\"\n") == std::string::npos) {
                out += field;
                continue;
            }
            out += '"';
            for (char ch : field)
                out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            out += '"';
        }
        out += '\n';
    }
    return out;
}

} // namespace tw::form
