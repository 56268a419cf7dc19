// The classical check's section of the results column: values beside the design's, a warning
// mark that is not a failure, and the reason when the check does not apply.
#include <gtest/gtest.h>

#include <string>

#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/ReportRows.h"
#include "form/ResultRows.h"
#include "support/OpenWall.h"

using namespace tw;
using namespace tw::form;

TEST(ClassicalCheckSection, WarnsBesideTheDesignWithoutFailingIt)
{
    // The English example: classical moment 1.16 times the design's, every design check passes.
    const auto wall = test::OpenWallAs(false);
    const TMainForm& form = *wall.form;
    const TSectionState& s = form.SectionState(Section::ClassicalCheck);
    EXPECT_TRUE(s.visible);
    EXPECT_FALSE(s.expanded);
    EXPECT_TRUE(s.markVisible && !s.markPass);
    EXPECT_EQ(form.BoxState(Box::ResClassicalMomentRatio).text, "1.16");
    EXPECT_EQ(form.BoxState(Box::ResDesignMoment).text, form.BoxState(Box::ResMaxMomentBelow).text);
    EXPECT_TRUE(form.LabelState(Label::ClassicalNote).red);
    const std::string text = ResultsText(form);
    EXPECT_NE(text.find("== Classical Check [WARNING]"), std::string::npos) << text;
    EXPECT_TRUE(SummarizeChecks(form).passes);
    // It prints as a block of its own, not among the design's result panels.
    for (const TReportPanel& panel : ReportResultPanels(form))
        EXPECT_NE(panel.section, Section::ClassicalCheck);
}

TEST(ClassicalCheckSection, UserDefinedPressuresSayWhy)
{
    const auto wall = test::OpenWallAs(
        false, [](TTWData& p) { p.AnalysisMethod = TAnalysisMethod::amUserDefined; });
    const TMainForm& form = *wall.form;
    EXPECT_FALSE(form.BoxState(Box::ResClassicalMoment).visible);
    EXPECT_FALSE(form.SectionState(Section::ClassicalCheck).markVisible);
    EXPECT_EQ(form.LabelState(Label::ClassicalNote).text, "N.A.: pressures typed by the user");
}
