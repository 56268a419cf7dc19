#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form/ReportRows.h"
#include "support/OpenWall.h"

using namespace tw;
using namespace tw::form;
using tw::test::OpenWallAs;

namespace {

std::vector<std::string> Titles(const std::vector<TReportPanel>& panels)
{
    std::vector<std::string> titles;
    for (const TReportPanel& p : panels)
        titles.push_back(p.title);
    return titles;
}

const TReportRow* FindRow(const TReportPanel& panel, const std::string& caption)
{
    for (const TReportRow& row : panel.rows)
        if (!row.cells.empty() && row.cells.front().rfind(caption, 0) == 0)
            return &row;
    return nullptr;
}

TReportPanel PanelOf(const std::vector<TReportPanel>& panels, Section section)
{
    for (const TReportPanel& p : panels)
        if (p.section == section)
            return p;
    return {section, "", {}};
}

} // namespace

TEST(ReportRows, BeamDiagonalSuffixComparesThePierWithTheBeam)
{
    struct Case
    {
        bool si;
        TInstallMethod install;
        long double pierWidth, diagonal;
        const char* suffix;
    } cases[] = {
        // A 2 ft pier around a 21.49 in beam leaves 1.25 in each side: short of 2 in.
        {false, TInstallMethod::imDrilled, 2.0L, 21.49L, " (>24 in - 4 in, N.G.)"},
        {false, TInstallMethod::imDrilled, 2.0L, 19.5L, " (<24 in - 4 in, O.K.)"},
        {false, TInstallMethod::imDrilled, 2.0L, 20.0L, " (<24 in - 4 in, O.K.)"},
        {true, TInstallMethod::imDrilled, 0.75L, 54.55L, " (<75 cm - 10 cm, O.K.)"},
        {true, TInstallMethod::imDrilled, 0.75L, 66.0L, " (>75 cm - 10 cm, N.G.)"},
    };
    for (const Case& c : cases) {
        auto wall = OpenWallAs(c.si);
        wall.project->InstallMethod = c.install;
        wall.project->PileWidth = c.pierWidth;
        wall.project->BeamDiagonal = c.diagonal;
        EXPECT_EQ(BeamDiagonalSuffix(*wall.form), c.suffix) << c.diagonal;
    }
    // Driven beams need no pier: the check passes whatever the numbers.
    auto driven = OpenWallAs(false, [](TTWData& p) { p.InstallMethod = TInstallMethod::imDriven; });
    driven.project->BeamDiagonal = 1000;
    EXPECT_NE(BeamDiagonalSuffix(*driven.form).find("O.K."), std::string::npos);
}

TEST(ReportRows, PanelsFollowTheWindowsSections)
{
    const auto net = OpenWallAs(false);
    EXPECT_EQ(Titles(ReportInputPanels(*net.form)),
              (std::vector<std::string>{"General Data", "Backfill Soils", "Passive Soils",
                                        "Structural data", "Loads Applied to the Pile",
                                        "Lagging Design"}));
    EXPECT_EQ(
        Titles(ReportResultPanels(*net.form)),
        (std::vector<std::string>{"Coulomb Method", "Pressure Data (ASD) per ft Length of Wall",
                                  "Output Data", "Checks", "Lagging Design"}));

    const auto bare = OpenWallAs(false, [](TTWData& p) { p.LaggingType = TLaggingType::ltNone; });
    const auto inputs = Titles(ReportInputPanels(*bare.form));
    EXPECT_EQ(std::count(inputs.begin(), inputs.end(), "Lagging Design"), 0);

    const auto user =
        OpenWallAs(false, [](TTWData& p) { p.AnalysisMethod = TAnalysisMethod::amUserDefined; });
    EXPECT_EQ(
        Titles(ReportInputPanels(*user.form)),
        (std::vector<std::string>{"General Data", "Structural data", "Loads Applied to the Pile",
                                  "Pressure Data (ASD) per ft Length of Wall", "Lagging Design"}));
}

TEST(ReportRows, RowsCarryTheWindowsTexts)
{
    const auto wall = OpenWallAs(false);
    const TReportPanel general = PanelOf(ReportInputPanels(*wall.form), Section::GeneralData);
    const TReportRow* height = FindRow(general, "Shored Height, H");
    ASSERT_NE(height, nullptr);
    EXPECT_EQ(height->cells, (std::vector<std::string>{"Shored Height, H", "15.00", "ft"}));

    const TReportPanel output = PanelOf(ReportResultPanels(*wall.form), Section::OutputData);
    const TReportRow* shear = FindRow(output, "Max. Shear");
    ASSERT_NE(shear, nullptr);
    ASSERT_EQ(shear->cells.size(), 6u);
    EXPECT_EQ(shear->cells[3], "@");
    EXPECT_EQ(shear->cells[5], "ft");
    const TReportRow* total = FindRow(output, "Total Beam Length");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->cells[1], "") << "a single value stands in the depth's place";

    // The timber table: heads before "Bending Stress", the size text in a cell of its own.
    const TReportPanel lagging = PanelOf(ReportResultPanels(*wall.form), Section::LaggingResult);
    const auto bending = std::find_if(lagging.rows.begin(), lagging.rows.end(), [](const auto& r) {
        return !r.cells.empty() && r.cells[0] == "Bending Stress";
    });
    ASSERT_NE(bending, lagging.rows.begin());
    EXPECT_EQ((bending - 1)->cells, (std::vector<std::string>{"", "Adjusted", "Actual", ""}));
    EXPECT_EQ(FindRow(lagging, "Wood Lagging Size")->tabs, TReportTabs::LaggingText);
}

TEST(ReportRows, TextRowsAndNotes)
{
    const auto user =
        OpenWallAs(false, [](TTWData& p) { p.AnalysisMethod = TAnalysisMethod::amUserDefined; });
    const TReportPanel general = PanelOf(ReportInputPanels(*user.form), Section::GeneralData);
    const TReportRow* important = FindRow(general, "IMPORTANT");
    ASSERT_NE(important, nullptr);
    EXPECT_TRUE(important->bold);
    EXPECT_EQ(important->tabs, TReportTabs::None);
    EXPECT_NE(FindRow(general, "User Defined method is for experienced"), nullptr);

    const auto concrete =
        OpenWallAs(false, [](TTWData& p) { p.LaggingType = TLaggingType::ltConcrete; });
    const TReportPanel lagging =
        PanelOf(ReportResultPanels(*concrete.form), Section::LaggingResult);
    const TReportRow* material = FindRow(lagging, "Req. Material Properties");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->noteLines.size(), 2u) << "the material text has two lines";
    EXPECT_EQ(material->noteLines[1].rfind("Modulus of Rupture", 0), 0u);
    EXPECT_EQ(FindRow(lagging, "Min. Conc. Lagging")->noteLines.at(1).rfind("#", 0), 0u)
        << "the bars on the second line";
}

TEST(ReportRows, FailingChecksAreMarked)
{
    // A 30 ft cut on the example's W18X86 overstresses the beam.
    const auto deep = OpenWallAs(false, [](TTWData& p) { p.ShoredHeight = 30; });
    const TReportPanel checks = PanelOf(ReportResultPanels(*deep.form), Section::Checks);
    ASSERT_NE(FindRow(checks, "Moment Below Grade"), nullptr);
    EXPECT_TRUE(FindRow(checks, "Moment Below Grade")->failing);
    EXPECT_TRUE(FindRow(checks, "Moment Above Grade")->failing)
        << "the moment above grade fails with the moment below grade";
    EXPECT_FALSE(FindRow(checks, "Axial")->failing);

    const auto fine = OpenWallAs(false);
    EXPECT_FALSE(
        FindRow(PanelOf(ReportResultPanels(*fine.form), Section::Checks), "Moment Below Grade")
            ->failing);
}
