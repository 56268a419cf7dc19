#include "form/Study.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/Globals.h"
#include "form/MainForm.h"

namespace tw::form {

namespace {

std::string Lower(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
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
        const TBoxDef& def = BoxDef(box);
        if (Lower(std::string(def.name)) == wanted || Lower(std::string(def.caption)) == wanted)
            return box;
    }
    return std::nullopt;
}

std::vector<TStudyStep> RunStudy(const TTWData& project, Box input, long double from,
                                 long double to, int steps)
{
    std::vector<TStudyStep> result;
    steps = std::max(2, steps);
    TTWData copy = project;
    TMainForm form(copy);
    form.AfterOpen();
    for (int i = 0; i < steps; ++i) {
        TStudyStep step;
        step.value = from + (to - from) * i / (steps - 1);
        form.EditBox(input, FormatFixed(step.value, 6, 15, form.NumberFormat().decimalSeparator));
        const TCommitResult r = form.Commit();
        step.input = form.BoxState(input).text;
        if (!r.ok()) {
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
        }
        result.push_back(std::move(step));
    }
    return result;
}

std::vector<std::vector<std::string>> StudyRows(const std::vector<TStudyStep>& study, Box input,
                                                bool si)
{
    std::vector<std::vector<std::string>> rows{{std::string(BoxDef(input).caption),
                                                si ? "Embedment (m)" : "Embedment (ft)",
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
