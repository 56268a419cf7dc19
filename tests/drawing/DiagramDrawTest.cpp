// The renderer's sizes and primitives: stroke unit, number texts, contrast colours, raised
// characters, arrows, dimension labels, dashed lines and flood fill, checked on the numbers
// they follow or on the pixels they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include <QImage>

#include "DrawingWalls.h"
#include "drawing/DiagramDraw.h"

using namespace tw;
using namespace tw::drawing;

namespace {

// A renderer on a white raster of the given size (the English example's form behind it).
struct TRaster
{
    test::TOpenWall wall = test::OpenWall(false);
    TDiagramDraw draw{*wall.form};

    TRaster(int width, int height, TDiagramKind kind = TDiagramKind::dkCrossSection)
    {
        draw.StartRaster(kind, width, height);
    }
    const QImage& Image() const { return draw.Bitmap(); }
    // Pixels that are not white in the rectangle.
    int Ink(const QRect& area) const
    {
        const QRect r = area.intersected(Image().rect());
        return r.width() * r.height() - test::CountColour(Image(), r, qRgb(255, 255, 255));
    }
};

} // namespace

TEST(DiagramSizes, StrokeUnitRoundsHalvesToEven)
{
    // min(width, height) / 600: below 900 px one pixel; 900 / 600 = 1.5 and 1500 / 600 = 2.5
    // both round to 2; 1501 gives 3.
    const struct
    {
        int width, height, unit;
    } cases[] = {{899, 2000, 1}, {2000, 900, 2}, {1500, 1500, 2}, {1501, 3000, 3}, {100, 50, 1}};
    for (const auto& c : cases) {
        TRaster raster(c.width, c.height);
        EXPECT_EQ(raster.draw.StrokeUnit(), c.unit) << c.width << "x" << c.height;
        EXPECT_EQ(raster.draw.ArrowSize(), 10 * c.unit);
    }
    // The plan view's font is half as large again: Round(1.5 x Round(900 x 0.9 / 38)).
    EXPECT_EQ(TRaster(1200, 900).draw.FontPixels(), 21);
    EXPECT_EQ(TRaster(1200, 900, TDiagramKind::dkPlanView).draw.FontPixels(), 32);
    EXPECT_EQ(TRaster(1100, 760).draw.GridX(5.5), 550);
    EXPECT_EQ(TRaster(1100, 760).draw.GridY(2.5), 50);
}

TEST(DiagramText, FormatLengthTrimsZerosAndPlacesTheUnit)
{
    const struct
    {
        long double value;
        int digits;
        const char* unit;
        const char* text;
    } cases[] = {
        {2.5L, 2, "ft", "2.5 ft"},      {3, 2, "'", "3'"},
        {0, 2, "in", "0 in"},           {1.005L, 1, "ft", "1 ft"},
        {12.5L, 2, "", "12.5"},         {100, 2, " m", "100 m"},
        {304.8L, 2, " mm", "304.8 mm"}, {0.375L, 3, "\"", "0.375\""},
        {-1.25L, 2, "k", "-1.25 k"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLengthText(c.value, c.digits, c.unit), c.text) << c.text;
    EXPECT_EQ(FormatLengthText(12.5L, 2, "ft", ","), "12,5 ft");
}

TEST(DiagramText, ContrastColourAndStructureColours)
{
    EXPECT_EQ(ContrastColor(0x808080), clWhite); // 384
    EXPECT_EQ(ContrastColor(0x818080), clBlack); // 385
    EXPECT_EQ(ContrastColor(clWhite), clBlack);
    for (const TColor c : {clGray, clBlack, clSilver, TColor{0x02CBE8}, TColor{0x5EA3FF}})
        EXPECT_TRUE(IsStructureColor(c)) << std::hex << c;
    EXPECT_FALSE(IsStructureColor(clWhite));
    EXPECT_FALSE(IsStructureColor(0xC7C7C7));
}

TEST(DiagramText, CaretRaisesTheNextCharacterOnly)
{
    // "ft^2" writes "ft" and a raised "2": the same ink as "ft2", lifted by a quarter of the
    // text height for the last character. A caret at the end raises (and writes) nothing.
    TRaster plain(600, 600), raised(600, 600), trailing(600, 600);
    plain.draw.SuperscriptTextOut(100, "ft2", 100);
    raised.draw.SuperscriptTextOut(100, "ft^2", 100);
    trailing.draw.SuperscriptTextOut(100, "ft^", 100);
    TRaster ft(600, 600);
    ft.draw.SuperscriptTextOut(100, "ft", 100);
    EXPECT_EQ(trailing.Image(), ft.Image());
    EXPECT_NE(raised.Image(), plain.Image());
    EXPECT_EQ(raised.Ink(QRect(0, 0, 600, 600)), plain.Ink(QRect(0, 0, 600, 600)));
    // The raised "2" reaches higher than any character of "ft2".
    auto top = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return y;
        return -1;
    };
    const int height = ft.draw.Canvas().TextHeight("X");
    EXPECT_EQ(top(plain.Image()) - top(raised.Image()),
              RoundEven(height / 4.0) - (top(plain.Image()) - top(ft.Image())));
}

TEST(DiagramDimensions, LabelPlacementByRoom)
{
    // A horizontal dimension 60 px long with a 200 px wide text: labels 0 to 2 do not fit and
    // draw outside leaders, no line between the ends; labels 3 and 4 keep the line and move the
    // text above or below it.
    const std::string text = "a rather long label";
    for (int pos = 0; pos <= 4; ++pos) {
        TRaster r(1200, 900);
        r.draw.DimensionLine(500, 400, 560, 400, text, pos, false, false);
        const bool line = r.Ink(QRect(515, 400, 30, 1)) > 0;
        EXPECT_EQ(line, pos > 2) << "label " << pos;
        // The outside leaders reach 2 arrow sizes beyond each end.
        const bool leaders = r.Ink(QRect(500 - 2 * r.draw.ArrowSize(), 400, 5, 1)) > 0;
        EXPECT_EQ(leaders, pos <= 2) << "label " << pos;
    }
    // Room enough: the line is drawn and its text sits on it (label 0), blanking the line.
    TRaster fits(1200, 900);
    fits.draw.DimensionLine(300, 400, 900, 400, "10 ft", 0, false, false);
    EXPECT_EQ(fits.Ink(QRect(320, 400, 200, 1)), 200);
    EXPECT_LT(fits.Ink(QRect(580, 400, 40, 1)), 40);
    // Arrows forced outside: leaders even with room to spare.
    TRaster outside(1200, 900);
    outside.draw.DimensionLine(300, 400, 900, 400, "", 0, true, false);
    EXPECT_EQ(outside.Ink(QRect(320, 400, 500, 1)), 0);
    // Label 1 of a vertical dimension without room goes below its lower end.
    TRaster below(1200, 900);
    below.draw.DimensionLine(600, 300, 600, 330, "12.5 ft", 1, false, true);
    EXPECT_GT(below.Ink(QRect(560, 345, 40, 120)), 0);
    EXPECT_EQ(below.Ink(QRect(560, 0, 40, 250)), 0);
}

TEST(DiagramLines, DashedLineAndArrowHeads)
{
    // Count 8: five dashes and four gaps of equal length on a line of 900 px.
    TRaster r(1200, 900);
    r.draw.Canvas().MoveTo(100, 300);
    r.draw.DashedLineTo(1000, 300, false, 0);
    int dashes = 0;
    bool inDash = false;
    for (int x = 100; x <= 1000; ++x) {
        const bool ink = r.Image().pixel(x, 300) != qRgb(255, 255, 255);
        dashes += ink && !inDash ? 1 : 0;
        inDash = ink;
    }
    EXPECT_EQ(dashes, 5);
    EXPECT_NEAR(r.Ink(QRect(100, 300, 901, 1)), 500, 6);
    // With dots, a short stroke in the middle of each gap.
    TRaster dotted(1200, 900);
    dotted.draw.Canvas().MoveTo(100, 300);
    dotted.draw.DashedLineTo(1000, 300, true, 0);
    // The first gap runs from 200 to 300: its dot is at 250 +- 900 / 9 / 15.
    EXPECT_GT(dotted.Ink(QRect(240, 300, 20, 1)), 0);
    EXPECT_EQ(dotted.Ink(QRect(205, 300, 30, 1)), 0);
    EXPECT_EQ(dotted.Ink(QRect(265, 300, 30, 1)), 0);

    // An arrow head points along the line: on a left-to-right line its strokes lie to the
    // left of the end, one on each side of the line, and nothing beyond the end.
    TRaster arrow(1200, 900);
    arrow.draw.ArrowLine(200, 500, 400, 500, 50, false, true);
    EXPECT_GT(arrow.Ink(QRect(355, 485, 40, 14)), 0);
    EXPECT_GT(arrow.Ink(QRect(355, 502, 40, 14)), 0);
    EXPECT_EQ(arrow.Ink(QRect(402, 470, 60, 60)), 0);
    // Pointing left, given left to right with its head at the start: the strokes lie to the
    // right of the start.
    TRaster left(1200, 900);
    left.draw.ArrowLine(200, 500, 400, 500, 50, true, false);
    EXPECT_GT(left.Ink(QRect(205, 485, 40, 14)), 0);
    EXPECT_EQ(left.Ink(QRect(140, 470, 58, 60)), 0);
}

TEST(DiagramCanvas, FloodFillStopsAtOtherColours)
{
    TRaster r(600, 600);
    TCanvas& c = r.draw.Canvas();
    c.SetPenColor(clBlack);
    c.SetPenWidth(1);
    c.SetBrush(clWhite, TBrushStyle::Clear);
    r.draw.Circle(300, 300, 100);
    c.SetBrush(0xC7C7C7);
    c.FloodFill(300, 300);
    EXPECT_EQ(c.Pixel(300, 300), TColor{0xC7C7C7});
    EXPECT_EQ(c.Pixel(300, 210), TColor{0xC7C7C7});
    EXPECT_EQ(c.Pixel(300, 150), clWhite); // outside the circle
    EXPECT_EQ(c.Pixel(10, 10), clWhite);
}

TEST(DiagramGuards, NothingToDrawGivesAnEmptyPicture)
{
    // No solution yet (total pile length 0): the cross section hands out an empty picture.
    test::TOpenWall wall = test::OpenWall(false);
    wall.project->TotalPileLength = 0;
    EXPECT_TRUE(wall.Render(TDiagramKind::dkCrossSection, 1200, 900).isNull());
    // The same wall as analysed draws, at the size asked for.
    test::TOpenWall drawn = test::OpenWall(false);
    const QImage picture = drawn.Render(TDiagramKind::dkCrossSection, 1200, 900);
    EXPECT_EQ(picture.size(), QSize(1200, 900));
    // A raster of no size is not an error either.
    EXPECT_TRUE(drawn.Render(TDiagramKind::dkCrossSection, 0, 900).isNull());
}

// Every drawing of every kind of wall, at any raster size, either draws a picture of that
// height with something on it or gives none: never a crash (a raster 21 pixels high once gave
// the cross section a zero font size to divide by) and never a hang.
TEST(DiagramGuards, AnySizeDrawsSomethingOrNothing)
{
    const std::function<void(TTWData&)> walls[] = {
        {},
        [](TTWData& p) { p.SetPileType(TPileType::ptSheetPile); },
        [](TTWData& p) {
            p.Reinforcement = TReinforcement::rfRebarCage;
            p.PileType = TPileType::ptSecantPile;
            p.PileSpacing = 1.4L * p.PileWidth;
            p.BarCount = 8;
        },
    };
    std::vector<QSize> sizes;
    for (const int w : {1, 21, 119, 120, 200, 359, 360, 1000, 2500})
        for (const int h : {1, 21, 31, 139, 140, 199, 200, 900, 3000})
            sizes.emplace_back(w, h);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> side(1, 2500);
    for (int i = 0; i < 20; ++i)
        sizes.emplace_back(side(random), side(random));
    for (const bool si : {false, true})
        for (const auto& edit : walls) {
            const test::TOpenWall wall = test::OpenWall(si, edit);
            for (const TDiagramKind kind : {TDiagramKind::dkCrossSection, TDiagramKind::dkPlanView,
                                            TDiagramKind::dkGuardrail})
                for (const QSize size : sizes) {
                    const QImage picture = wall.Render(kind, size.width(), size.height());
                    if (picture.isNull())
                        continue;
                    const QSize least = MinimumDrawingSize(kind);
                    ASSERT_GE(size.width(), least.width());
                    ASSERT_GE(size.height(), least.height());
                    ASSERT_EQ(picture.height(), size.height());
                    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
                    const auto* first = reinterpret_cast<const QRgb*>(rgb.constBits());
                    const auto* end = first + rgb.sizeInBytes() / sizeof(QRgb);
                    EXPECT_TRUE(
                        std::any_of(first, end, [](QRgb c) { return (c & 0xFFFFFF) != 0xFFFFFF; }))
                        << si << " " << static_cast<int>(kind) << " " << size.width() << "x"
                        << size.height() << " is blank";
                }
        }
}
