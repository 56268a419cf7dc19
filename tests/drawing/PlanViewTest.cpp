// The plan view, checked on the pixels it leaves: the bar layout of a rebar cage, the piles of
// tangent and secant walls in the strip, the hole of drilled and driven piles, the inside of
// a pipe, and the empty picture of a wall without width.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "DrawingWalls.h"
#include "drawing/DiagramDraw.h"

using namespace tw;
using namespace tw::drawing;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 900;
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kHoleGrey = qRgb(0xC7, 0xC7, 0xC7);
constexpr QRgb kPileOutline = qRgb(63, 112, 156);
constexpr QRgb kSteel = qRgb(191, 0, 0);
constexpr QRgb kTie = qRgb(128, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);

// The detail lies above 70 % of the height, the strip below it.
const QRect kDetail(0, 0, kWidth, kHeight * 7 / 10);
const QRect kStrip(0, kHeight * 7 / 10, kWidth, kHeight - kHeight * 7 / 10);

QImage Plan(const std::function<void(TTWData&)>& edit, bool si = false)
{
    return test::OpenWall(si, edit).Render(TDiagramKind::dkPlanView, kWidth, kHeight);
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// The smallest rectangle holding every pixel of the colour in the area.
QRect Extent(const QImage& image, const QRect& area, QRgb colour)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(image, x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The runs of a colour along a row, from x0 to x1.
int Runs(const QImage& image, int y, int x0, int x1, QRgb colour)
{
    int runs = 0;
    bool in = false;
    for (int x = x0; x <= x1; ++x) {
        const bool hit = At(image, x, y) == colour;
        runs += hit && !in ? 1 : 0;
        in = hit;
    }
    return runs;
}

void Cage(TTWData& p, TPileType type, double spacing)
{
    p.PileType = type;
    p.Reinforcement = TReinforcement::rfRebarCage;
    p.PileSpacing = spacing * p.PileWidth;
    p.BarCount = 8;
}

} // namespace

TEST(PlanView, CageBarsStartAtTheTopAtEqualAngles)
{
    // Walking out from the centre of the tie circle, the first bar or tie pixel met is a bar
    // along each bar's direction and the tie half way between two bars. Red leaders and the
    // diameter line are passed over; the walk keeps 3 px to the side of the ray, off the
    // diameter line.
    for (const int n : {8, 6, 5}) {
        const QImage image = Plan([n](TTWData& p) {
            Cage(p, TPileType::ptSoldierBeam, 3.2);
            p.BarCount = n;
            p.TieType = n < 6 ? TTieType::ttTie : TTieType::ttSpiral;
        });
        const QRect tie = Extent(image, kDetail, kTie);
        ASSERT_FALSE(tie.isEmpty());
        const QPointF c = QRectF(tie).center();
        auto firstMet = [&](double degrees) {
            const double a = degrees * std::numbers::pi / 180;
            for (int r = 0; r < tie.width() / 2; ++r) {
                const int x =
                    static_cast<int>(std::lround(c.x() + r * std::sin(a) + 3 * std::cos(a)));
                const int y =
                    static_cast<int>(std::lround(c.y() - r * std::cos(a) + 3 * std::sin(a)));
                const QRgb colour = At(image, x, y);
                if (colour == kBlack || colour == kTie)
                    return colour;
            }
            return kWhite;
        };
        for (int i = 0; i < n; ++i) {
            const double bar = 360.0 * i / n; // clockwise from 12 o'clock
            EXPECT_EQ(firstMet(bar), kBlack) << n << " bars, bar " << i;
            EXPECT_EQ(firstMet(bar + 180.0 / n), kTie) << n << " bars, after bar " << i;
        }
    }
}

TEST(PlanView, TangentPilesTouchAndSecantPilesOverlap)
{
    // Four circles, evenly spaced, in the strip, with no white from the first centre to the
    // last. Where two neighbours meet, a tangent wall shows one outline (read just off the
    // centre line, which the spacing dimension covers), a secant wall both outlines inside the
    // overlap. The overlap of the first pair carries its own dimension, so the second and
    // third pairs are read.
    const struct
    {
        TPileType type;
        double spacing;    // pile widths
        int rowFromCentre; // tenths of the radius, upward
        int outlines;
    } cases[] = {{TPileType::ptTangentPile, 2, 0, 1}, {TPileType::ptSecantPile, 1.4, 4, 2}};
    for (const auto& w : cases) {
        const QImage image = Plan([&](TTWData& p) { Cage(p, w.type, w.spacing); });
        const QRect piles = Extent(image, kStrip, kPileOutline);
        ASSERT_FALSE(piles.isEmpty());
        const int r = piles.height() / 2;
        const double step = (piles.width() - 2.0 * r) / 3;
        auto centre = [&](int k) { return piles.left() + r + static_cast<int>(k * step); };
        const int y = piles.center().y() - 3 - w.rowFromCentre * r / 10;
        EXPECT_EQ(Runs(image, y, centre(0), centre(3), kWhite), 0) << w.spacing;
        for (const int k : {1, 2})
            EXPECT_EQ(Runs(image, y, centre(k) + r / 3, centre(k + 1) - r / 3, kPileOutline),
                      w.outlines)
                << "between piles " << k << " and " << k + 1 << ", spacing " << w.spacing;
    }
}

TEST(PlanView, HoleOnlyForDrilledPilesAndRedWhenTheBeamDoesNotFit)
{
    const struct
    {
        const char* wall;
        std::function<void(TTWData&)> edit;
        bool hole, red;
    } cases[] = {
        {"drilled", {}, true, false},
        {"driven", [](TTWData& p) { p.InstallMethod = TInstallMethod::imDriven; }, false, false},
        {"beam wider than the hole", [](TTWData& p) { p.PileWidth = 1.5L; }, true, true},
    };
    for (const auto& w : cases) {
        const QImage image = Plan(w.edit);
        ASSERT_FALSE(image.isNull()) << w.wall;
        EXPECT_EQ(test::CountColour(image, kDetail, kHoleGrey) > 0, w.hole) << w.wall;
        EXPECT_EQ(test::CountColour(image, kDetail, kRed) > 0, w.red) << w.wall;
    }
}

TEST(PlanView, PipeFilledWithConcreteShowsTheHoleInside)
{
    // Half way down from the pipe's centre, clear of the diagonal and the wall dimension.
    for (const bool filled : {true, false}) {
        for (const bool si : {false, true}) {
            const QImage image = Plan(
                [filled](TTWData& p) {
                    p.Reinforcement = TReinforcement::rfPipe;
                    p.PipeFilled = filled;
                },
                si);
            const QRect pipe = Extent(image, kDetail, kSteel);
            ASSERT_FALSE(pipe.isEmpty());
            const QPoint inside = pipe.center() + QPoint(0, pipe.height() / 4);
            EXPECT_EQ(At(image, inside.x(), inside.y()), filled ? kHoleGrey : kWhite)
                << (filled ? "filled" : "empty") << (si ? ", SI" : ", English");
        }
    }
}

TEST(PlanView, NoPileWidthGivesAnEmptyPicture)
{
    test::TOpenWall wall = test::OpenWall(false);
    wall.project->PileWidth = 0;
    EXPECT_TRUE(wall.Render(TDiagramKind::dkPlanView, kWidth, kHeight).isNull());
}

TEST(PlanView, DimensionsOfDrivenBeamsAndSheetPilesStayInside)
{
    // Every text inside the picture, and no line running into its left or right edge, at the
    // sizes of the window's page, the report and a narrow page.
    const struct
    {
        const char* wall;
        std::function<void(TTWData&)> edit;
    } walls[] = {
        {"driven beam", [](TTWData& p) { p.InstallMethod = TInstallMethod::imDriven; }},
        {"heavy driven beam",
         [](TTWData& p) {
             p.InstallMethod = TInstallMethod::imDriven;
             p.BeamIndex = 3;
         }},
        {"sheet pile",
         [](TTWData& p) {
             p.SetPileType(TPileType::ptSheetPile);
             p.ApplySelectionRules();
         }},
        {"wide sheet pile",
         [](TTWData& p) {
             p.SetPileType(TPileType::ptSheetPile);
             p.ApplySelectionRules();
             p.SheetIndex = 5;
         }},
    };
    const QSize sizes[] = {{1200, 900}, {860, 780}, {2250, 900}, {450, 800}};
    for (const bool si : {false, true}) {
        for (const auto& w : walls) {
            const test::TOpenWall wall = test::OpenWall(si, w.edit);
            for (const QSize size : sizes) {
                const QRect raster(QPoint(0, 0), size);
                std::string outside;
                for (const TPlacedText& t :
                     test::DrawnTexts(wall, TDiagramKind::dkPlanView, size.width(), size.height()))
                    if (!raster.contains(t.rect))
                        outside += " '" + t.text + "'";
                const QImage image =
                    wall.Render(TDiagramKind::dkPlanView, size.width(), size.height());
                const int edgeInk =
                    size.height() -
                    test::CountColour(image, QRect(0, 0, 1, size.height()), kWhite) +
                    size.height() -
                    test::CountColour(image, QRect(size.width() - 1, 0, 1, size.height()), kWhite);
                EXPECT_TRUE(outside.empty() && edgeInk == 0)
                    << w.wall << (si ? ", SI, " : ", ") << size.width() << "x" << size.height()
                    << ": texts outside" << outside << ", " << edgeInk << " px at the edges";
            }
        }
    }
}

TEST(PlanView, SpacingTextDarkOnLightAndNamedForThePiles)
{
    // Between close piles the spacing lies over them; it stays dark on a light ground. The
    // words under the strip name what the wall has: piers when drilled, piles when driven.
    const struct
    {
        bool driven;
        const char* words;
    } cases[] = {{true, "pile spacing"}, {false, "pier spacing"}};
    for (const auto& c : cases) {
        for (int quarter = 6; quarter <= 16; ++quarter) {
            const double spacing = quarter / 4.0;
            const test::TOpenWall wall = test::OpenWall(false, [&](TTWData& p) {
                p.InstallMethod = c.driven ? TInstallMethod::imDriven : TInstallMethod::imDrilled;
                p.BeamIndex = 3;
                p.PileWidth = 2;
                p.LaggingType = TLaggingType::ltNone;
                p.PileSpacing = spacing;
            });
            const auto texts = test::DrawnTexts(wall, TDiagramKind::dkPlanView, kWidth, kHeight);
            const std::string value = FormatLengthText(wall.project->PileSpacing, 2, "ft");
            bool dark = false, named = false;
            for (const TPlacedText& t : texts) {
                dark = dark || (t.text == value && t.colour == clBlack);
                named = named || t.text == c.words;
            }
            EXPECT_TRUE(dark && named) << c.words << ", spacing " << value;
        }
    }
}

TEST(PlanView, ClearCoverTextSitsAtItsTicks)
{
    // The label lies just outside the hole, within a text's height of its edge, where the
    // cover's ticks are.
    for (const bool si : {false, true}) {
        const test::TOpenWall wall =
            test::OpenWall(si, [](TTWData& p) { Cage(p, TPileType::ptSoldierBeam, 3.2); });
        const QImage image = wall.Render(TDiagramKind::dkPlanView, kWidth, kHeight);
        const QRect hole = Extent(image, kDetail, kHoleGrey);
        ASSERT_FALSE(hole.isEmpty());
        const QPointF centre = QRectF(hole).center();
        const double radius = hole.width() / 2.0;
        QRect label;
        for (const TPlacedText& t :
             test::DrawnTexts(wall, TDiagramKind::dkPlanView, kWidth, kHeight))
            if (t.text.ends_with(" clear"))
                label = t.rect;
        ASSERT_FALSE(label.isEmpty());
        // The nearest point of the label to the hole's centre.
        const double nx = std::clamp(centre.x(), 1.0 * label.left(), 1.0 * label.right());
        const double ny = std::clamp(centre.y(), 1.0 * label.top(), 1.0 * label.bottom());
        const double gap = std::hypot(nx - centre.x(), ny - centre.y()) - radius;
        EXPECT_TRUE(gap >= 0 && gap < label.height())
            << (si ? "SI" : "English") << ": " << gap << " px from the hole";
    }
}
