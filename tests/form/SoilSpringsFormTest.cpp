// The soil-spring section of the results column: the typed modulus reaches the analysis and the
// section, a wall the springs cannot hold is marked, and the section prints on its own.
#include <gtest/gtest.h>

#include <string>

#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/ReportRows.h"
#include "form/ResultRows.h"
#include "support/OpenWall.h"

using namespace tw;
using namespace tw::form;

TEST(SoilSpringSection, TheTypedModulusReachesTheAnalysis)
{
    auto wall = test::OpenWallAs(false);
    TMainForm& form = *wall.form;
    ASSERT_TRUE(form.SoilSprings().Applicable);
    EXPECT_FALSE(form.SoilSprings().UserModulus);
    const long double fromTable = form.SoilSprings().TopDeflection;
    EXPECT_FALSE(form.SectionState(Section::SoilSprings).expanded);
    EXPECT_EQ(form.BoxState(Box::ResDesignTopDeflection).text,
              form.BoxState(Box::ResMaxDeflection).text);

    form.EditBox(Box::SubgradeModulus, "90");
    ASSERT_TRUE(form.Commit().ok());
    EXPECT_EQ(wall.project->SubgradeModulus, 90);
    EXPECT_TRUE(form.SoilSprings().UserModulus);
    EXPECT_LT(form.SoilSprings().TopDeflection, fromTable);
    EXPECT_EQ(form.BoxState(Box::ResSpringModulus).text, "90.0");
    EXPECT_NE(form.LabelState(Label::SpringSoil).text.find("typed"), std::string::npos);
    for (const TReportPanel& panel : ReportResultPanels(form))
        EXPECT_NE(panel.section, Section::SoilSprings);
}

TEST(SoilSpringSection, AWallTheSpringsCannotHoldIsMarked)
{
    // The PDH G112 wall at its design embedment, about the free-earth D0: the springs find no
    // equilibrium. The design's own checks are not failed by it.
    auto wall = test::OpenWallAs(false, [](TTWData& p) { p = test::PdhSoldierPile(); });
    const TMainForm& form = *wall.form;
    ASSERT_EQ(form.SoilSprings().Reason, kSoilSpringExhausted);
    const TSectionState& s = form.SectionState(Section::SoilSprings);
    EXPECT_TRUE(s.markVisible && s.markWarning);
    EXPECT_TRUE(form.LabelState(Label::SpringNote).red);
    EXPECT_FALSE(form.BoxState(Box::ResSpringTopDeflection).visible);
    EXPECT_NE(ResultsText(form).find("== Soil-Spring Analysis [WARNING]"), std::string::npos);
}

TEST(SoilSpringSection, UndoAndRedoCarryTheTypedModulus)
{
    // The history keeps the project as its file; the modulus lives after the fixed part, so a
    // step back and forth must bring it back with the analysis that uses it.
    auto wall = test::OpenWallAs(true);
    TMainForm& form = *wall.form;
    form.EditBox(Box::SubgradeModulus, "20000");
    ASSERT_TRUE(form.Commit().ok());
    const long double typed = form.SoilSprings().TopDeflection;
    ASSERT_TRUE(form.Undo().ok());
    ASSERT_FALSE(form.SoilSprings().UserModulus);
    ASSERT_TRUE(form.Redo().ok());
    EXPECT_EQ(wall.project->SubgradeModulus, 20000);
    EXPECT_EQ(form.SoilSprings().TopDeflection, typed);
}
