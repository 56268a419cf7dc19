// Golden pictures: each drawing of a handful of typical walls, compared pixel for pixel with the
// pictures reviewed by eye and kept in tests/drawing/golden. When a drawing changes on purpose,
// tools/regenerate-golden-pictures.sh writes them anew (and they are looked at again); a
// failing comparison leaves the picture drawn now beside the golden one's name in the
// temporary folder.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "DrawingWalls.h"

using namespace tw;
using namespace tw::drawing;
namespace fs = std::filesystem;

namespace {

struct TGoldenWall
{
    const char* name;
    bool si;
    std::function<void(TTWData&)> edit;
    bool guardrail; // the guardrail detail too
};

const TGoldenWall kWalls[] = {
    {"english-soldier-beam", false, {}, true},
    {"si-soldier-beam", true, {}, true},
    {"tangent-rebar-cage", false,
     [](TTWData& p) {
         p.SetPileType(TPileType::ptTangentPile);
         p.Reinforcement = TReinforcement::rfRebarCage;
         p.PileWidth = 3;
         p.BarCount = 8;
         p.TieType = TTieType::ttTie;
         p.StripLoadOn = true;
         p.StripPressure = 1500;
         p.StripSetback = 4;
         p.StripWidth = 5;
         p.StripDepth = 2;
         p.SeismicLoadOn = true;
         p.SeismicThrust = 400;
         p.SeismicArm = 5;
     },
     false},
    {"secant-pipe-gross", false,
     [](TTWData& p) {
         p.SetPileType(TPileType::ptSecantPile);
         p.Reinforcement = TReinforcement::rfPipe;
         p.PipeFilled = true;
         p.AnalysisMethod = TAnalysisMethod::amGrossPressure;
         p.SoilMethod = TSoilMethod::smEquivalentFluid;
         p.ActiveEFP = 40;
         p.PassiveEFP = 350;
         p.MaxPassivePressure = 3500;
         p.Active2EFP = 45;
         p.Backfill2UnitWeight = 125;
         p.Backfill2Surcharge = 50;
         p.PileWidth = 3;
         p.PileSpacing = 4.5L;
     },
     false},
    {"sheet-pile-slopes", false,
     [](TTWData& p) {
         p.SetPileType(TPileType::ptSheetPile);
         p.ApplySelectionRules();
         p.BackfillSlope = 15;
         p.PassiveSlope = -10;
         p.SheetIndex = 5;
     },
     false},
    {"driven-user-defined", false,
     [](TTWData& p) {
         p.InstallMethod = TInstallMethod::imDriven;
         p.AnalysisMethod = TAnalysisMethod::amUserDefined;
         p.IgnorePassiveHeight = 1;
         p.LoadPoints = {
             {{0, 0.1L}, {5, 0.3L}, {10, 0.5L}, {15, 0.6L}, {15, 0}, {20, 0}, {25, 0}, {30, 0}}};
         p.PassivePoints = {{{16, -0.5L}, {20, -1}, {25, -2}, {30, -3}}};
     },
     false},
    {"si-sheet-pile-strip", true,
     [](TTWData& p) {
         p.SetPileType(TPileType::ptSheetPile);
         p.ApplySelectionRules();
         p.StripLoadOn = true;
         p.StripPressure = 60;
         p.StripSetback = 1.2L;
         p.StripWidth = 1.5L;
         p.StripDepth = 0.5L;
         p.SheetIndex = 30;
     },
     false},
};

const char* KindName(TDiagramKind kind)
{
    switch (kind) {
    case TDiagramKind::dkCrossSection:
        return "section";
    case TDiagramKind::dkPlanView:
        return "plan";
    default:
        return "guardrail";
    }
}

} // namespace

TEST(GoldenPictures, TypicalWallsDrawAsReviewed)
{
    const char* write = std::getenv("TW_WRITE_GOLDEN");
    const fs::path golden = fs::path(TW_SOURCE_DIR) / "tests" / "drawing" / "golden";
    const fs::path actual = fs::temp_directory_path() / "tw-golden-actual";
    for (const TGoldenWall& wall : kWalls) {
        const test::TOpenWall open = test::OpenWall(wall.si, wall.edit);
        for (const TDiagramKind kind :
             {TDiagramKind::dkCrossSection, TDiagramKind::dkPlanView, TDiagramKind::dkGuardrail}) {
            if (kind == TDiagramKind::dkGuardrail && !wall.guardrail)
                continue;
            const std::string file = std::string(wall.name) + "-" + KindName(kind) + ".png";
            const QImage picture = open.Render(kind, 1200, 900);
            ASSERT_FALSE(picture.isNull()) << file;
            if (write != nullptr) {
                fs::create_directories(write);
                ASSERT_TRUE(
                    picture.save(QString::fromStdString((fs::path(write) / file).string())));
                continue;
            }
            const QImage expected(QString::fromStdString((golden / file).string()));
            ASSERT_FALSE(expected.isNull()) << "no golden picture " << file;
            const bool same = expected.convertToFormat(QImage::Format_RGB32) == picture;
            if (!same) {
                fs::create_directories(actual);
                picture.save(QString::fromStdString((actual / file).string()));
            }
            EXPECT_TRUE(same) << file << " differs; drawn now: " << (actual / file).string();
        }
    }
}
