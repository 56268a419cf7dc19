// The plan view, checked on the pixels it leaves: the bar layout of a rebar cage, the piles of
// tangent and secant walls in the strip, the hole of drilled and driven piles, the inside of
// a pipe, and the empty picture of a wall without width.
#include <gtest/gtest.h>

#include <QImage>

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
