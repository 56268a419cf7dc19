// The guardrail detail: the angle post on the pile top with its cables, dimensions and notes.
#include <algorithm>
#include <cmath>

#include "drawing/DiagramDraw.h"
#include "engine/Ansi.h"

namespace tw::drawing {

void TDiagramDraw::DrawGuardrail()
{
    TCanvas& c = *canvas_;
    const TTWData& p = data_;
    c.SetBrush(clWhite);
    c.FillRect(c.ClipRect());
    // The post length scales the drawing; its limits keep it positive, a file could not.
    const long double postLength = p.GuardrailLength;
    if (!(postLength > 0) || !std::isfinite(static_cast<double>(postLength)))
        return;

    const bool si = p.Units == TUnitSystem::usSI;
    const std::string longUnit = si ? " m" : "'";
    const std::string shortUnit = si ? " mm" : "\"";
    const double ks = si ? 1000 : 12;
    // The fixed dimensions of the detail, in the short unit.
    const double firstCable = si ? 152.4 : 6;
    const double cableSpacing = si ? 381 : 15;
    const double embedment = si ? 304.8 : 12;
    const double weld = si ? 254 : 10;
    const double turnbuckles = si ? 9.144 : 30;  // long unit
    const double embeddedOutline = si ? 0.3 : 1; // long unit
    // The short lengths' texts: in SI units whole millimetres (the values are inches converted,
    // 152.4 mm reads 152 mm), in English units up to two decimals of an inch.
    const int shortDigits = si ? 0 : 2;
    const TGRShape& angle = p.SelectedGuardrailShape();
    Begin(bitmap_.width(), bitmap_.height());
    const int F = FontPixels();
    const int u = StrokeUnit();
    const int LH = LineSpacing();

    // Layout: the post takes at least half the height; 2 ft of pile shows below its foot when
    // that leaves the post more than half.
    const int yTop = 3 * F;
    const int yBot = height_ - 3 * F;
    int yPile = yTop + RoundEven(0.6 * (yBot - yTop));
    for (int pass = 0; pass < 100; ++pass) {
        const int previous = yPile;
        scale_ = (previous - yTop) / static_cast<double>(postLength);
        yPile = std::max(yTop + (yBot - yTop) / 2, yBot - RoundEven(scale_ * 2 * embedment / ks));
        if (std::abs(yPile - previous) < 10)
            break;
    }
    const double scale = scale_;
    const int xm = width_ / 2;
    const double leg = static_cast<double>(angle.LongLeg);
    const int xA = xm - RoundEven(leg * scale / 2 / ks);
    const int xB = xA + RoundEven(leg * scale / ks);
    const double b = static_cast<double>(p.EffectivePileWidth());
    const int xP1 = xm - RoundEven(b * scale / 2);
    const int xP2 = xP1 + RoundEven(b * scale);
    auto line = [&](int x1, int y1, int x2, int y2) {
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };

    // The pile: its sides, the inner lines of its wall and its top.
    c.SetLayer(TLayer::Structure);
    c.SetPenColor(clBlack);
    c.SetPenWidth(2 * u);
    line(xP1, yPile, xP1, yBot - c.PenWidth());
    line(xP2, yPile, xP2, yBot - c.PenWidth());
    c.SetPenWidth(u);
    line(xP1 + 6 * u, yPile, xP1 + 6 * u, yBot - 2 * u);
    line(xP2 - 6 * u, yPile, xP2 - 6 * u, yBot - 2 * u);
    c.SetPenWidth(2 * u);
    line(xP1, yPile, xP2, yPile);

    // The post with the inner face of its leg, and its part embedded in the pile.
    c.SetBrush(clWhite);
    c.Rectangle(xA, yTop, xB, yPile + c.PenWidth() / 2);
    c.SetPenWidth(u);
    line(xA + 4 * u, yTop, xA + 4 * u, yPile);
    c.SetPenWidth(2 * u);
    c.MoveTo(xA, yPile);
    const int yOutline = yPile + RoundEven(embeddedOutline * scale);
    DashedLineTo(xA, yOutline, false, 8);
    DashedLineTo(xB - c.PenWidth() / 2, yOutline, false, 2);
    DashedLineTo(xB - c.PenWidth() / 2, yPile, false, 8);

    // The cables, while above the pile top.
    c.SetPenWidth(u);
    const int r = RoundEven(static_cast<double>(angle.t) * scale / ks);
    const double step = cableSpacing / ks * scale;
    const int y0 = yTop + RoundEven(firstCable * scale / ks);
    int yLast = y0;
    // (A step below a pixel, on a raster too small for the detail, draws no cables.)
    for (int i = 0; step >= 1 && yPile > i * step + y0; ++i) {
        yLast = y0 + RoundEven(i * step);
        Circle(xm, yLast, r);
    }

    // The break mark across the pile.
    {
        const int mid = xm;
        const int q = F / 4;
        const QPoint mark[] = {{xP1 - LH, yBot},        {mid - F / 2, yBot},
                               {mid - q, yBot - q},     {mid + q, yBot + 2 * q},
                               {mid + 2 * q, yBot - q}, {xP2 + LH, yBot}};
        c.Polyline(mark);
    }

    // Dimensions.
    c.SetLayer(TLayer::Dimensions);
    line(xB, yTop, xB + RoundEven(2.5 * LH), yTop);
    line(xP2, yPile, xB + RoundEven(2.5 * LH), yPile);
    line(xB, y0, xB + RoundEven(1.5 * LH), y0);
    DimensionLine(xB + 2 * LH, yTop, xB + 2 * LH, yPile, FormatLength(postLength, 2, longUnit), 4,
                  false, false);
    DimensionLine(xB + LH, yTop, xB + LH, y0, "", 0, false, false);
    line(xB + LH, yTop, xB + LH + F, yTop - F);
    TextBox(xB + LH + F + F / 2, yTop - RoundEven(1.5 * F), xB + 3 * LH, yTop - RoundEven(0.5 * F),
            FormatLength(firstCable, shortDigits, shortUnit) + " MAX", kAlignLeft, false, clNone);
    const int ySecond = y0 + RoundEven(step);
    line(xA, y0, xA - RoundEven(1.5 * LH), y0);
    line(xA, ySecond, xA - RoundEven(1.5 * LH), ySecond);
    DimensionLine(xA - LH, y0, xA - LH, ySecond, FormatLength(cableSpacing, shortDigits, shortUnit),
                  3, false, false);
    const int yE = yPile + RoundEven(embedment * scale / ks);
    line(xB, yPile, xP2 + RoundEven(1.5 * LH), yPile);
    line(xB, yE, xP2 + RoundEven(1.5 * LH), yE);
    DimensionLine(xP2 + LH, yPile, xP2 + LH, yE, FormatLength(embedment, shortDigits, shortUnit), 4,
                  false, false);
    const int w = RoundEven((embedment - weld) / 2 * scale / ks);
    line(xA, yPile + w, xP1 - RoundEven(1.5 * LH), yPile + w);
    line(xA, yE - w, xP1 - RoundEven(1.5 * LH), yE - w);
    DimensionLine(xP1 - LH, yPile + w, xP1 - LH, yE - w,
                  FormatLength(weld, shortDigits, shortUnit) + " WELD", 3, false, false);

    // Notes: the angle and what it is, and the cables.
    const int G = xA - 3 * LH;
    TextBox(0, yTop - F, G, yTop, AnsiToUtf8(angle.Name), kAlignRight, false, clNone);
    TextBox(0, yTop, G, yTop + F, "GUARDRAIL", kAlignRight, false, clNone);
    line(G + 4 * u, yTop, G + F, yTop);
    ArrowLine(G + F, yTop, xA, yTop + F, ArrowSize(), false, true);
    const int xLanding = xB + RoundEven(2.8 * LH);
    ArrowLine(xm + r, yLast, xLanding, yLast - 3 * F, ArrowSize(), true, false);
    line(xLanding, yLast - 3 * F, xLanding + F, yLast - 3 * F);
    const int x = xLanding + 2 * F;
    const int yN = yLast - 5 * F;
    const std::string notes[] = {FormatLength(angle.t, si ? 0 : 3, shortUnit) + " STEEL CABLE W/",
                                 "TURNBUCKLES @ " + FormatLength(turnbuckles, 2, longUnit),
                                 "MAX INTERVALS FOR", "TENSIONING"};
    for (int i = 0; i < 4; ++i)
        TextBox(x, yN + i * F, width_, yN + (i + 1) * F, notes[i], kAlignLeft, false, clNone);
    c.SetBrush(clWhite);
    c.SetLayer(TLayer::Structure);
}

} // namespace tw::drawing
