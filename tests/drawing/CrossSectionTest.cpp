// The cross section and the guardrail detail on the pixels they leave: which pier is drawn for
// each pile, the rows of the parameter column, the loads, and the cables of the guardrail.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <functional>
#include <string>

#include "DrawingWalls.h"
#include "drawing/DiagramDraw.h"

using namespace tw;
using namespace tw::drawing;
using test::CountColour;
using test::OpenWall;

namespace {

constexpr QRgb kPierGrey = qRgb(199, 199, 199);
constexpr QRgb kSilver = qRgb(192, 192, 192);
constexpr QRgb kSlurry = qRgb(239, 239, 239);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Rows of text in a column: bands of rows with ink, separated by rows without.
int TextRows(const QImage& image, int left)
{
    int rows = 0;
    bool inRow = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = left; x < image.width() && !ink; ++x)
            ink = image.pixel(x, y) != qRgb(255, 255, 255);
        rows += ink && !inRow ? 1 : 0;
        inRow = ink;
    }
    return rows;
}

// The left edge of the parameter column: right of the soil, whose hatching reaches xc + s.
int ColumnLeft(const QImage& image)
{
    // The first x from the right with the retained soil's hatching, scanning a row in the
    // middle of the retained soil.
    const int y = image.height() / 4;
    for (int x = image.width() - 1; x > 0; --x)
        if (image.pixel(x, y) == qRgb(232, 203, 2))
            return x + 10; // past the ground line's end, before the column (F further)
    return image.width() / 2;
}

} // namespace

TEST(CrossSection, ThePierFollowsThePileAndItsInstallation)
{
    const struct
    {
        const char* name;
        TPileType pile;
        TInstallMethod install;
        TReinforcement reinforcement;
        bool greyPier; // the embedded pier, grey 199
        bool silverAbove;
    } cases[] = {
        {"drilled I-beam", TPileType::ptSoldierBeam, TInstallMethod::imDrilled,
         TReinforcement::rfIBeam, true, false},
        {"driven I-beam", TPileType::ptSoldierBeam, TInstallMethod::imDriven,
         TReinforcement::rfIBeam, false, false},
        {"sheet pile", TPileType::ptSheetPile, TInstallMethod::imDriven, TReinforcement::rfIBeam,
         false, false},
        {"rebar cage", TPileType::ptTangentPile, TInstallMethod::imDrilled,
         TReinforcement::rfRebarCage, true, true},
    };
    for (const auto& c : cases) {
        test::TOpenWall wall = OpenWall(false, [&](TTWData& p) {
            p.SetPileType(c.pile);
            p.InstallMethod = c.install;
            p.Reinforcement = c.reinforcement;
            p.ShoredHeightFill = TShoredHeightFill::sfConcrete;
            p.ApplySelectionRules();
        });
        const QImage image = wall.Render(TDiagramKind::dkCrossSection, 1200, 900);
        ASSERT_FALSE(image.isNull()) << c.name;
        EXPECT_EQ(CountColour(image, image.rect(), kPierGrey) > 0, c.greyPier) << c.name;
        EXPECT_EQ(CountColour(image, image.rect(), kSilver) > 0, c.silverAbove) << c.name;
    }
    // A cage with slurry on the shored height shows the lighter grey above the excavation.
    test::TOpenWall slurry = OpenWall(false, [](TTWData& p) {
        p.SetPileType(TPileType::ptTangentPile);
        p.Reinforcement = TReinforcement::rfRebarCage;
        p.ShoredHeightFill = TShoredHeightFill::sfSlurry;
    });
    const QImage image = slurry.Render(TDiagramKind::dkCrossSection, 1200, 900);
    EXPECT_GT(CountColour(image, image.rect(), kSlurry), 0);
    EXPECT_EQ(CountColour(image, image.rect(), kSilver), 0);
}

TEST(CrossSection, ParameterColumnRowsByMethod)
{
    // Headers and rows: Net Pressure with Coulomb lists 6 retained and 8 passive rows; the
    // equivalent fluid method 4 and 5 (no ignore height under Gross Pressure); User Defined
    // only "User Defined" under each header.
    const struct
    {
        TAnalysisMethod method;
        TSoilMethod soil;
        int rows;
    } cases[] = {
        {TAnalysisMethod::amNetPressure, TSoilMethod::smCoulomb, 2 + 6 + 8},
        {TAnalysisMethod::amNetPressure, TSoilMethod::smEquivalentFluid, 2 + 4 + 6},
        {TAnalysisMethod::amUserDefined, TSoilMethod::smCoulomb, 4},
        {TAnalysisMethod::amGrossPressure, TSoilMethod::smCoulomb, 3 + 6 + 7 + 6},
    };
    for (const auto& c : cases) {
        test::TOpenWall wall = OpenWall(false, [&](TTWData& p) {
            p.AnalysisMethod = c.method;
            p.SoilMethod = c.soil;
            p.Surcharge = 0; // its label sits at the top, beside the column
            p.Backfill2Phi = 32;
            p.Backfill2UnitWeight = 120;
            p.ActiveEFP = 35;
            p.PassiveEFP = 300;
            p.MaxPassivePressure = 3000;
            if (c.method == TAnalysisMethod::amUserDefined) {
                p.LoadPoints = {{{0, 0.1L},
                                 {5, 0.3L},
                                 {10, 0.5L},
                                 {15, 0.6L},
                                 {15, 0},
                                 {20, 0},
                                 {25, 0},
                                 {30, 0}}};
                p.PassivePoints = {{{15, -0.5L}, {20, -1}, {25, -2}, {30, -3}}};
            }
        });
        const QImage image = wall.Render(TDiagramKind::dkCrossSection, 1200, 1100);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(TextRows(image, ColumnLeft(image)), c.rows) << static_cast<int>(c.method);
    }
}

TEST(CrossSection, LoadsAreDrawnWhenSwitchedOn)
{
    // The surcharge and the seismic thrust are blue; without both, nothing is blue.
    auto blue = [](const std::function<void(TTWData&)>& edit) {
        const QImage image = OpenWall(false, edit).Render(TDiagramKind::dkCrossSection, 1200, 900);
        return CountColour(image, image.rect(), kBlue);
    };
    EXPECT_EQ(blue([](TTWData& p) { p.Surcharge = 0; }), 0);
    EXPECT_GT(blue([](TTWData& p) { p.Surcharge = 100; }), 0);
    const int seismic = blue([](TTWData& p) {
        p.Surcharge = 0;
        p.SeismicLoadOn = true;
        p.SeismicThrust = 300;
        p.SeismicArm = 5;
    });
    EXPECT_GT(seismic, 0);
    // A seismic load switched off is not drawn, whatever its values.
    EXPECT_EQ(blue([](TTWData& p) {
                  p.Surcharge = 0;
                  p.SeismicLoadOn = false;
                  p.SeismicThrust = 300;
              }),
              0);
    // The strip load's hatched footing.
    const QImage strip = OpenWall(false, [](TTWData& p) {
                             p.StripLoadOn = true;
                             p.StripPressure = 1000;
                             p.StripSetback = 3;
                             p.StripWidth = 4;
                             p.StripDepth = 1;
                         }).Render(TDiagramKind::dkCrossSection, 1200, 900);
    EXPECT_GT(CountColour(strip, strip.rect(), qRgb(44, 129, 220)), 0);
}

TEST(CrossSection, NoArrowForAZeroLoadAtTheTop)
{
    // The loads at the top are the only red of the drawing: their texts are black, so without
    // a load there is no red at all.
    const struct
    {
        const char* load;
        long double axial, lateral, moment;
        bool arrow;
    } cases[] = {
        {"none", 0, 0, 0, false},
        {"axial", 5, 0, 0, true},
        {"lateral", 0, 2, 0, true},
        {"moment", 0, 0, 10, true},
    };
    for (const auto& c : cases) {
        const QImage image = OpenWall(false, [&](TTWData& p) {
                                 p.AxialLoad = c.axial;
                                 p.LateralLoadTop = c.lateral;
                                 p.OtherMoment = c.moment;
                             }).Render(TDiagramKind::dkCrossSection, 1200, 900);
        EXPECT_EQ(CountColour(image, image.rect(), qRgb(255, 0, 0)) > 0, c.arrow) << c.load;
    }
}

TEST(CrossSection, StripFootingDrawnToItsFarEnd)
{
    // A footing 15 to 27 ft from a 15 ft wall reaches past a third beyond the shored height:
    // the soil is drawn far enough to hold it (to within a break mark at its end).
    test::TOpenWall wall = OpenWall(false, [](TTWData& p) {
        p.StripLoadOn = true;
        p.StripPressure = 1000;
        p.StripSetback = 15;
        p.StripWidth = 12;
        p.StripDepth = 1;
    });
    TDiagramDraw draw(*wall.form);
    draw.Draw(TDiagramKind::dkCrossSection, 1200, 900);
    const QImage& image = draw.Bitmap();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) == qRgb(44, 129, 220)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(right - left, 0.95 * 12 * draw.Scale());
}

TEST(CrossSection, DimensionTextsInsideANarrowPicture)
{
    // On a raster taller than wide the column of texts leaves room for the wall and its
    // dimensions: every text lies inside the picture.
    const std::function<void(TTWData&)> walls[] = {
        [](TTWData& p) { p.InstallMethod = TInstallMethod::imDriven; },
        [](TTWData& p) {
            p.SetPileType(TPileType::ptSheetPile);
            p.ApplySelectionRules();
            p.SeismicLoadOn = true;
            p.SeismicThrust = 300;
            p.SeismicArm = 5;
        },
    };
    for (const auto& edit : walls) {
        const test::TOpenWall wall = OpenWall(false, edit);
        for (const QSize size : {QSize(450, 800), QSize(600, 1000), QSize(1200, 900)}) {
            std::string outside;
            for (const TPlacedText& t :
                 test::DrawnTexts(wall, TDiagramKind::dkCrossSection, size.width(), size.height()))
                if (!QRect(QPoint(0, 0), size).contains(t.rect))
                    outside += " '" + t.text + "'";
            EXPECT_EQ(outside, "") << size.width() << "x" << size.height();
        }
    }
}

TEST(SiDrawings, ConvertedLengthsInWholeMillimetres)
{
    // Lengths that are inches converted (6 in, 12 in, a cover of 3 in, ties at 12 in) read in
    // whole millimetres; the sheet pile's thickness in millimetres like the other SI lengths.
    struct Case
    {
        TDiagramKind kind;
        std::function<void(TTWData&)> edit;
        const char* text;
    };
    // A 0.9 m tangent pile cage with 3 in of cover and ties at 12 in, converted.
    const auto siCage = [](TTWData& p) {
        p.SetPileType(TPileType::ptTangentPile);
        p.Reinforcement = TReinforcement::rfRebarCage;
        p.PileWidth = 0.9L;
        p.ClearCover = 76.2L;
        p.TieSpacingOverride = 304.8L;
    };
    const Case cases[] = {
        {TDiagramKind::dkGuardrail, {}, "|152 mm MAX|"},
        {TDiagramKind::dkGuardrail, {}, " 305 mm "},
        {TDiagramKind::dkPlanView, siCage, "76 mm clear"},
        {TDiagramKind::dkPlanView, siCage, " @ 305 mm"},
        {TDiagramKind::dkPlanView,
         [](TTWData& p) {
             p.SetPileType(TPileType::ptSheetPile);
             p.ApplySelectionRules();
             p.SheetIndex = 30;
         },
         "|9.5 mm|"},
    };
    for (const auto& c : cases) {
        const test::TOpenWall wall = OpenWall(true, c.edit);
        std::string all;
        for (const TPlacedText& t : test::DrawnTexts(wall, c.kind, 1200, 900))
            all += "|" + t.text + "|";
        EXPECT_NE(all.find(c.text), std::string::npos) << c.text << " not in " << all;
    }
}

TEST(GuardrailDetail, CablesEveryFifteenInchesFromSixBelowTheTop)
{
    // A 4 ft post: cables at 6, 21 and 36 in below its top, while above the pile top (48 in).
    test::TOpenWall wall = OpenWall(false, [](TTWData& p) { p.GuardrailLength = 4; });
    TDiagramDraw draw(*wall.form);
    draw.Draw(TDiagramKind::dkGuardrail, 1200, 900);
    const QImage& image = draw.Bitmap();
    const int F = draw.FontPixels();
    const int yTop = 3 * F;
    const double perInch = draw.Scale() / 12;
    // Down the post's centre line only the cables have ink: each circle crosses it twice.
    const int xm = image.width() / 2;
    std::vector<int> crossings;
    bool inInk = false;
    // (The pile top lies near 48 in; the fourth cable would be at 51 in.)
    for (int y = yTop + 3; y < yTop + 44 * perInch; ++y) {
        const bool ink = image.pixel(xm, y) != qRgb(255, 255, 255);
        if (ink && !inInk)
            crossings.push_back(y);
        inInk = ink;
    }
    ASSERT_EQ(crossings.size(), 6u);
    const double inches[] = {6, 21, 36};
    for (int i = 0; i < 3; ++i) {
        const double centre = (crossings[2 * i] + crossings[2 * i + 1]) / 2.0;
        EXPECT_NEAR(centre, yTop + inches[i] * perInch, 3) << inches[i] << " in";
    }
    // A post that no file should hold (length 0) draws nothing rather than dividing by zero.
    wall.project->GuardrailLength = 0;
    EXPECT_TRUE(wall.Render(TDiagramKind::dkGuardrail, 1200, 900).isNull());
}
