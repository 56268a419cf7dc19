// The plan view: two neighbouring piles at their spacing along the bottom, and above them the
// detail of one pile's section in its hole.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "drawing/DiagramDraw.h"
#include "engine/RebarCage.h"
#include "engine/SteelChecks.h"

namespace tw::drawing {

namespace {

constexpr TColor kPierGrey = 0xC7C7C7;
constexpr TColor kPierOutline = 0x9C703F;
constexpr TColor kSteel = 0x0000BF;

double Real(long double v)
{
    return static_cast<double>(v);
}

// The bar of the project's table with this number; the first bar when none has it.
const TRebarSize& BarOf(const TRebarTable& table, int32_t designation)
{
    for (const TRebarSize& bar : table)
        if (bar.Designation != 0 && bar.Designation == designation)
            return bar;
    return table[0];
}

// The values and positions the parts of the plan view share. Lengths of the wall (b, S) are
// in ft | m, section values in in | cm, bar values in in | mm.
struct TPlan
{
    std::string_view L, s, cu; // length, bar and section unit texts
    double k = 12, ks = 12;    // section and bar units per length unit
    TSteelShape section;
    double b = 0, S = 0, d = 0, bf = 0, tf = 0, tw = 0, k1 = 0;
    bool sheet = false, drilled = false, cage = false, pipe = false, twin = false, secant = false,
         az = false;
    int W = 0, H = 0, F = 0, u = 1, LH = 0, TW = 0;
    // The strip: its scale (px per length unit), its top and base, the two pile centres.
    double sp = 0;
    int yBase = 0, yTopP = 0, x1 = 0, xN = 0, ycp = 0;
    // The detail: its scale (px per length unit), centre, hole and section box.
    double scale = 0;
    int xc = 0, yc = 0, hr = 0;
    int holeL = 0, holeT = 0, holeR = 0, holeB = 0;
    int bL = 0, bR = 0, bT = 0, bB = 0;
    int faceL = 0, faceR = 0, webT = 0, webB = 0; // inner flange faces, web faces

    // Section units to strip and to detail pixels.
    double StripPx(double v) const { return v * sp / k; }
    double DetailPx(double v) const { return v * scale / k; }
};

// Draws the parts of the plan view in their order on the renderer's canvas.
class TPlanPainter
{
public:
    TPlanPainter(TDiagramDraw& draw, const TTWData& data, const TPlan& plan)
        : d_(draw), c_(draw.Canvas()), data_(data), p_(plan)
    {
    }

    void StripPiles();
    void StripAnnotation();
    void Hole();
    void IBeamDetail();
    void PipeDetail();
    void CageDetail();
    void SheetPile();

private:
    void Pen(TColor color, int width)
    {
        c_.SetPenColor(color);
        c_.SetPenWidth(width);
    }
    void Line(int x1, int y1, int x2, int y2)
    {
        c_.MoveTo(x1, y1);
        c_.LineTo(x2, y2);
    }
    void Line(QPoint a, QPoint b) { Line(a.x(), a.y(), b.x(), b.y()); }
    int TextWidthAt(int height, const std::string& text)
    {
        c_.SetFontHeight(height);
        return c_.TextWidth(text);
    }
    // The size of a dimension's label (the text between two blanks at the drawing's font).
    QSize LabelSize(const std::string& text)
    {
        const std::string label = " " + text + " ";
        return {TextWidthAt(p_.F, label), c_.TextHeight(label)};
    }
    // How far a framed text box (which grows to fit its text) must move sideways to stay
    // inside the raster.
    int ShiftInside(int left, int right, int top, int bottom, const std::string& text);
    // Part of the circle of centre (x, y) and radius r, counterclockwise from `start` degrees
    // (0 at 3 o'clock) over `span`.
    void ArcOf(int x, int y, int r, double start, double span)
    {
        c_.Arc(x - r, y - r, x + r + 1, y + r + 1, start, span);
    }
    // Extension lines down from the section's bottom corners and right from its right corners,
    // with the section depth and flange width between them.
    void SectionDimensions(bool flangeWidth);
    // The beam diagonal, dashed from just outside the hole on the far side to the section's
    // corner. It is drawn before the section's dimensions, whose labels then break it.
    void BeamDiagonal();
    double DiagonalAngle() const;
    void ClearanceAndHoleDiameter();
    // Whether a rectangle lies across the outline of a drilled hole.
    bool AcrossHole(const QRect& r) const;
    // The point at `radius` from the detail centre on the way to `from`.
    QPoint TowardCentre(QPoint from, double radius) const;

    TDiagramDraw& d_;
    TCanvas& c_;
    const TTWData& data_;
    const TPlan& p_;
};

void TPlanPainter::StripPiles()
{
    const TPlan& p = p_;
    const int pw = 2 * p.u;
    c_.SetLayer(TLayer::Structure);
    c_.SetBrush(kPierGrey);
    Pen(kPierOutline, pw);
    for (const int x : {p.x1, p.xN}) {
        if (p.drilled) {
            d_.Circle(x, p.ycp, RoundEven(p.b * p.sp / 2));
        } else {
            const int hw = RoundEven(p.StripPx(p.bf) / 2);
            const int hd = RoundEven(p.StripPx(p.d) / 2);
            c_.Rectangle(x - hw, p.ycp - hd, x + hw, p.ycp + hd);
        }
    }
    if (p.drilled && p.twin) {
        // The secondary piles: outlined, then filled from their centre, so that where they
        // overlap a primary pile the primary's outline stays.
        const int r = static_cast<int>(std::trunc(p.b * p.sp / 2)) - pw;
        for (const int x : {p.x1, p.xN}) {
            const int xs = x + RoundEven(p.S * p.sp / 2);
            c_.SetBrush(kPierGrey, TBrushStyle::Clear);
            d_.Circle(xs, p.ycp, r);
            c_.SetBrush(kPierGrey);
            c_.FloodFill(xs, p.ycp);
        }
    }

    // The reinforcement of the two primary piles.
    for (const int x : {p.x1, p.xN}) {
        if (p.cage) {
            const double tie = BarOf(data_.RebarTable(), data_.TieBarSize).Diameter;
            Pen(clMaroon, std::max(1, RoundEven(tie * p.sp / p.ks)));
            c_.SetBrush(clWhite, TBrushStyle::Clear);
            const double inside = p.b - 2 * Real(data_.ClearCover) / p.ks;
            d_.Circle(x, p.ycp, RoundEven(inside * p.sp / 2) - c_.PenWidth() / 2);
        } else if (p.pipe) {
            Pen(kSteel, std::max(1, RoundEven(p.StripPx(p.tw))));
            c_.SetBrush(clWhite, data_.PipeFilled ? TBrushStyle::Clear : TBrushStyle::Solid);
            d_.Circle(x, p.ycp, RoundEven(p.StripPx(p.d) / 2) - c_.PenWidth() / 2);
        } else {
            const int web = RoundEven(p.DetailPx(p.tw));
            Pen(kSteel, std::max((web - 2) / 2, 4 * p.u));
            c_.SetPenFlat(true);
            const int hd = RoundEven(p.StripPx(p.d) / 2);
            const int hw = RoundEven(p.StripPx(p.bf) / 2);
            const int inset = hd - c_.PenWidth() / 2;
            Line(x - hw, p.ycp - inset, x + hw, p.ycp - inset);
            Line(x - hw, p.ycp + inset, x + hw, p.ycp + inset);
            Line(x, p.ycp - hd, x, p.ycp + hd);
            c_.SetPenFlat(false);
        }
    }
}

void TPlanPainter::StripAnnotation()
{
    const TPlan& p = p_;
    c_.SetLayer(TLayer::Dimensions);
    Pen(clBlack, p.u);
    c_.SetBrush(clWhite);
    for (const int x : {p.x1, p.xN}) {
        c_.MoveTo(x, p.yTopP - p.F);
        d_.DashedLineTo(x, p.yBase + p.F / 2, false, 8);
    }
    Line(p.x1 - p.F, p.ycp, p.xN + p.F, p.ycp);
    d_.DimensionLine(p.x1, p.ycp, p.xN, p.ycp, "", 3, false, false);
    // The spacing below the line, on a white ground of its own: between close piles it lies
    // over them.
    const std::string spacingValue = d_.FormatLength(data_.PileSpacing, 2, p.L);
    const int valueWidth = TextWidthAt(p.F - 2, spacingValue) + 4 * p.u;
    const int xMid = (p.x1 + p.xN) / 2;
    d_.TextBox(xMid - valueWidth / 2, p.ycp + p.u, xMid + valueWidth - valueWidth / 2,
               p.ycp + p.u + p.F, spacingValue, kAlignCenter, false, clWhite);

    if (p.secant && p.drilled && data_.PlanEdgeOffset > 0) {
        // The overlap of the first primary pile and its secondary pile.
        const int xa = p.x1 + RoundEven((p.S / 2 - p.b / 2) * p.sp + 2 * c_.PenWidth());
        const int xb = p.x1 + RoundEven(p.b * p.sp / 2);
        Line(xa, p.ycp, xa, p.yTopP - p.F);
        Line(xb, p.ycp, xb, p.yTopP - p.F);
        d_.DimensionLine(xa, p.yTopP - p.F / 2, xb, p.yTopP - p.F / 2, "", 0, true, false);
        d_.TextBox(p.x1, p.yTopP - 2 * p.F, p.x1 + RoundEven(p.b * p.sp), p.yTopP - p.F,
                   d_.FormatLength(data_.PlanEdgeOffset, 2, p.L), kAlignLeft, false, clNone);
    }
    // Under the strip between the centre lines; a text wider than the spacing goes below the
    // lines' ends instead of across them, and under a strip lower than the spacing's text,
    // below that text.
    const std::string spacing = p.drilled || p.cage ? "pier spacing" : "pile spacing";
    int yText = std::max(p.yBase, p.ycp + p.F);
    if (TextWidthAt(p.F - 2, spacing) + 2 * p.u >= p.xN - p.x1)
        yText = std::max(yText, p.yBase + p.F / 2 + 2 * p.u);
    d_.TextBox(p.x1, yText, p.xN, yText + p.F, spacing, kAlignCenter, false, clNone);
}

void TPlanPainter::Hole()
{
    const TPlan& p = p_;
    const bool misfit = !HoleClearanceOK(data_) && !p.cage;
    c_.SetLayer(TLayer::Structure);
    c_.SetBrush(kPierGrey);
    Pen(misfit ? clRed : kPierOutline, 2 * p.u);
    c_.Ellipse(p.holeL, p.holeT, p.holeR, p.holeB);
    Pen(clBlack, p.u);
}

void TPlanPainter::SectionDimensions(bool flangeWidth)
{
    const TPlan& p = p_;
    const int LH = p.LH;
    Line(p.bL, p.bB, p.bL, p.bB + 2 * LH);
    Line(p.bR, p.bB, p.bR, p.bB + 2 * LH);
    const std::string depth = d_.FormatLength(p.section.d, 2, p.cu);
    const int y = p.bB + LH;
    d_.DimensionLine(p.bL, y, p.bR, y, depth, d_.LabelPosInside(p.bL, y, p.bR, y, depth, 2, false),
                     false, false);
    if (!flangeWidth)
        return;
    // The flange width beside the section, or beyond the hole where its label would lie
    // across the hole's outline.
    const std::string bf = d_.FormatLength(p.section.bf, 2, p.cu);
    const QSize label = LabelSize(bf);
    const int w = label.width(), h = label.height(), a = d_.ArrowSize();
    int x = p.bR + LH;
    const QRect beside = w < p.bB - p.bT - a ? QRect(x - h / 2, (p.bT + p.bB - w) / 2, h, w)
                                             : QRect(x - 3 * h / 2, p.bT - a - w, h, w);
    if (AcrossHole(beside))
        x = std::max(x, p.holeR + LH);
    Line(p.bR, p.bT, x + LH, p.bT);
    Line(p.bR, p.bB, x + LH, p.bB);
    d_.DimensionLine(x, p.bT, x, p.bB, bf, d_.LabelPosInside(x, p.bT, x, p.bB, bf, 2, false), false,
                     false);
}

bool TPlanPainter::AcrossHole(const QRect& r) const
{
    if (!p_.drilled)
        return false;
    bool inside = false, outside = false;
    for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        const bool in = std::hypot(corner.x() - p_.xc, corner.y() - p_.yc) < p_.hr;
        inside = inside || in;
        outside = outside || !in;
    }
    return inside && outside;
}

void TPlanPainter::IBeamDetail()
{
    const TPlan& p = p_;
    // The section in solid steel: flanges, web and the four fillets.
    c_.SetLayer(TLayer::Structure);
    Pen(kSteel, 1);
    c_.SetBrush(kSteel);
    c_.Rectangle(p.bL, p.bT, p.faceL, p.bB);
    c_.Rectangle(p.faceR, p.bT, p.bR, p.bB);
    c_.Rectangle(p.bL, p.webT, p.bR, p.webB);
    const int leg = RoundEven(p.DetailPx(p.k1 - p.tw / 2));
    if (leg > 0) {
        for (const int x : {p.faceL, p.faceR}) {
            const int along = x == p.faceL ? leg : -leg;
            const QPoint top[] = {{x, p.webT}, {x, p.webT - leg}, {x + along, p.webT}};
            const QPoint bottom[] = {{x, p.webB}, {x, p.webB + leg}, {x + along, p.webB}};
            c_.Polygon(top);
            c_.Polygon(bottom);
        }
    }

    if (p.drilled)
        BeamDiagonal();
    c_.SetLayer(TLayer::Dimensions);
    c_.SetBrush(clWhite);
    Pen(clBlack, p.u);
    SectionDimensions(true);
    const int a = d_.ArrowSize();
    const std::string tf = d_.FormatLength(p.section.tf, 2, p.cu);
    const int yFlange = p.bT + RoundEven((p.webT - p.bT) / 3.0);
    d_.DimensionLine(p.bL, yFlange, p.faceL, yFlange, tf, 2, true, false);
    // The web thickness a quarter of the depth from the right; on a section drawn small, closer
    // to the right flange, so that its label stays clear of the flange thickness's label.
    const QSize tfLabel = LabelSize(tf);
    const int clear = p.faceL + a + tfLabel.width() + 3 * tfLabel.height() / 2 + 2 * p.u;
    const int xWeb =
        std::max(p.bR - RoundEven((p.bR - p.bL) / 4.0), std::min(clear, p.faceR - 2 * p.u));
    d_.DimensionLine(xWeb, p.webT, xWeb, p.webB, d_.FormatLength(p.section.tw, 2, p.cu), 2, true,
                     false);

    // The centre line, marked at its start.
    const int x0 = std::max(std::min(p.holeL, p.bL) - 2 * p.LH, p.F + p.F / 2);
    Line(x0, p.yc, x0 - p.F, p.yc - p.F);
    Line(x0, p.yc, x0 - p.F, p.yc + p.F);
    c_.MoveTo(x0, p.yc);
    d_.DashedLineTo(p.bR + p.F, p.yc, true, 20);

    // The fillet dimension k1, from the web's centre line. A label too long for the room goes
    // below the lower arrow; in a hole it goes on the flange's side of the dimension, inside
    // the hole, where on the other side it would lie across the hole's outline.
    const int yk = p.yc - RoundEven(p.DetailPx(p.k1));
    const int xk = p.bL - p.LH;
    Line(p.bL - 2 * p.LH, yk, p.bL, yk);
    const std::string k1 = d_.FormatLength(p.section.k1, 2, p.cu);
    const QSize k1Label = LabelSize(k1);
    const int w = k1Label.width();
    const int h = k1Label.height();
    if (!p.drilled || w < p.yc - yk - a) {
        d_.DimensionLine(xk, yk, xk, p.yc, k1, 1, false, false);
    } else {
        d_.DimensionLine(xk, yk, xk, p.yc, "", 1, true, false);
        const int x = xk + h / 4;
        const int y = p.yc + a + w; // the rotated text's lower end
        c_.SetFontColor(ContrastColor(c_.Pixel(x + h / 2, y - w / 2)));
        c_.SetTransparent(true);
        c_.SetFontRotated(true);
        c_.TextOut(x, y, " " + k1 + " ");
        c_.SetFontRotated(false);
    }

    if (p.drilled)
        ClearanceAndHoleDiameter();
}

void TPlanPainter::PipeDetail()
{
    const TPlan& p = p_;
    c_.SetLayer(TLayer::Structure);
    Pen(kSteel, std::max(1, RoundEven(p.DetailPx(p.tw))));
    c_.SetBrush(clWhite, data_.PipeFilled ? TBrushStyle::Clear : TBrushStyle::Solid);
    c_.Ellipse(p.bL, p.bT, p.bR, p.bB);

    if (p.drilled)
        BeamDiagonal();
    c_.SetLayer(TLayer::Dimensions);
    Pen(clBlack, p.u);
    c_.SetBrush(clWhite);
    SectionDimensions(false);
    // The wall thickness, labelled inside the pipe; a label too wide for the pipe's right half
    // (where in a hole the beam diagonal does not pass) goes outside it when there is room.
    const int half = RoundEven(p.DetailPx(p.tw) / 2);
    const std::string wall = d_.FormatLength(p.section.tw, 2, p.cu);
    const int w = TextWidthAt(p.F, " " + wall + " ");
    const int a = d_.ArrowSize();
    const int inner = p.drilled ? p.xc : p.bL + half;
    const int outer = p.drilled ? p.holeR : p.W;
    const int pos = p.bR - half - a - w < inner && p.bR + half + a + w <= outer ? 2 : 1;
    d_.DimensionLine(p.bR - half, p.yc, p.bR + half, p.yc, wall, pos, false, true);
    if (p.drilled)
        ClearanceAndHoleDiameter();
}

double TPlanPainter::DiagonalAngle() const
{
    return p_.pipe ? std::numbers::pi / 4 : std::atan2(p_.bf, p_.d);
}

void TPlanPainter::BeamDiagonal()
{
    const TPlan& p = p_;
    const double theta = DiagonalAngle();
    const double radius = p.b * p.scale / 2;
    c_.SetLayer(TLayer::Dimensions);
    Pen(clBlack, p.u);
    c_.MoveTo(p.xc + RoundEven(std::cos(theta) * radius) + RoundEven(std::cos(theta) * p.F / 2),
              p.yc + RoundEven(std::sin(theta) * radius) + RoundEven(std::sin(theta) * p.F / 2));
    d_.DashedLineTo(p.bL, p.bT, false, 30);
}

void TPlanPainter::ClearanceAndHoleDiameter()
{
    const TPlan& p = p_;
    const double theta = DiagonalAngle();
    const double cs = std::cos(theta), sn = std::sin(theta);
    const double radius = p.b * p.scale / 2;
    const QPoint P(p.xc - RoundEven(cs * radius), p.yc - RoundEven(sn * radius));

    // The clearance between the hole and the section.
    const QPoint Q = p.pipe ? QPoint(p.xc - RoundEven(cs * p.DetailPx(p.d) / 2),
                                     p.yc - RoundEven(sn * p.DetailPx(p.d) / 2))
                            : QPoint(p.bL, p.bT);
    d_.ArrowLine(P.x(), P.y(), Q.x(), Q.y(), d_.ArrowSize(), true, true);

    // The hole diameter above the hole.
    Line(p.holeL, p.F, p.holeL, p.yc);
    Line(p.holeR, p.F, p.holeR, p.yc);
    const std::string hole = d_.FormatLength(p.b * p.k, 2, p.cu);
    const int y = p.holeT - p.LH;
    d_.DimensionLine(p.holeL, y, p.holeR, y, hole,
                     d_.LabelPosInside(p.holeL, y, p.holeR, y, hole, 1, false), false, false);

    // The clearance text ends at P unless the hole's left extension line would cross it: then
    // it ends before that line, or where there is no room for it, at the raster's left margin
    // on a white ground that breaks the line behind it.
    const std::string clearance = d_.FormatLength(HoleClearance(data_), 2, p.cu);
    const int top = P.y() - 2 * p.F - 4;
    const int bottom = P.y() - p.F;
    const int w = TextWidthAt(bottom - top - 2, clearance) + 2;
    const int gap = p.F / 4;
    const int margin = 2 * p.u;
    if (P.x() - w >= p.holeL + gap)
        d_.TextBox(P.x() - d_.GridX(1), top, P.x(), bottom, clearance, kAlignRight, false, clNone);
    else if (p.holeL - gap - w >= margin)
        d_.TextBox(p.holeL - gap - d_.GridX(1), top, p.holeL - gap, bottom, clearance, kAlignRight,
                   false, clNone);
    else
        d_.TextBox(margin, top, margin + w, bottom, clearance, kAlignRight, false, clWhite);
}

int TPlanPainter::ShiftInside(int left, int right, int top, int bottom, const std::string& text)
{
    right = std::max(right, left + TextWidthAt(bottom - top - 2, text) + 10) + c_.PenWidth();
    const int margin = 2 * p_.u;
    if (right > p_.W - margin)
        return std::max(p_.W - margin - right, margin - left);
    return std::max(0, margin - left);
}

QPoint TPlanPainter::TowardCentre(QPoint from, double radius) const
{
    const double dx = from.x() - p_.xc;
    const double dy = from.y() - p_.yc;
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return from;
    return {p_.xc + RoundEven(dx / length * radius), p_.yc + RoundEven(dy / length * radius)};
}

void TPlanPainter::CageDetail()
{
    const TPlan& p = p_;
    const TRebarSize& tie = BarOf(data_.RebarTable(), data_.TieBarSize);
    const TRebarSize& bar = BarOf(data_.RebarTable(), data_.VerticalBarSize);
    const double scale = p.scale / p.ks; // px per bar unit
    const int cp = RoundEven(Real(data_.ClearCover) * scale);
    const int F = p.F, TW = p.TW;
    const double holeRadius = (p.holeB - p.holeT) / 2.0;

    // The tie or spiral.
    c_.SetLayer(TLayer::Structure);
    const int tiePen = std::max(1, RoundEven(tie.Diameter * scale));
    Pen(clMaroon, tiePen);
    c_.SetBrush(clWhite, TBrushStyle::Clear);
    const int inset = cp + tiePen / 2;
    c_.Ellipse(p.holeL + inset, p.holeT + inset, p.holeR - inset, p.holeB - inset);

    // The vertical bars, the first at the top, the others clockwise.
    Pen(clBlack, 1);
    c_.SetBrush(clBlack);
    const double rb = std::max(bar.Diameter / 2 * scale, 1.0);
    const double R = holeRadius - cp - tiePen - rb;
    // A count that cannot fit round the pier (the analysis refuses it) draws no bars rather
    // than millions of circles on top of each other.
    const int n = data_.BarCount <= MaxBarsAroundCage(data_) ? std::max(1, data_.BarCount) : 0;
    for (int i = 0; i < n; ++i) {
        const double a = i * 2 * std::numbers::pi / n;
        d_.Circle(p.xc + RoundEven(std::sin(a) * R), RoundEven(p.yc - std::cos(a) * R),
                  RoundEven(rb));
    }

    // Labels with their leaders. Cover and spacing in SI units in whole millimetres.
    const int barDigits = p.ks == 1000 ? 0 : 2;
    c_.SetLayer(TLayer::Dimensions);
    c_.SetBrush(clWhite);
    Pen(clRed, p.u);
    // Each box keeps its place beside the hole unless that would cut it off at the raster's
    // edge; its leader moves with it.
    const int lead = RoundEven(0.75 * F);
    const std::string bars = std::to_string(data_.BarCount) + " " +
                             data_.RebarLabel(data_.VerticalBarSize) + " vert. bars";
    int dx = ShiftInside(p.holeL - 2 * TW, p.holeL, p.holeT - F, p.holeT, bars);
    Line(p.holeL - TW + dx, p.holeT - lead, p.xc, RoundEven(p.yc - R));
    d_.TextBox(p.holeL - 2 * TW + dx, p.holeT - F, p.holeL + dx, p.holeT, bars, kAlignCenter, true,
               clNone);

    // The clear cover: ticks at the hole's edge and at the cage on the radius to the upper
    // right, and the label just outside the hole beside them, its leader running along that
    // radius to the ticks.
    const std::string cover = d_.FormatLength(data_.ClearCover, barDigits, p.s) + " clear";
    const double diagonal = std::numbers::sqrt2 / 2;
    auto onDiagonal = [&](double radius) {
        return QPoint(p.xc + RoundEven(radius * diagonal), p.yc - RoundEven(radius * diagonal));
    };
    const QPoint edge = onDiagonal(holeRadius);
    const QPoint coverEnd = onDiagonal(holeRadius - cp);
    const int coverLeft = edge.x() + F / 2;
    const int coverBottom = edge.y() - F / 2;
    dx = ShiftInside(coverLeft, coverLeft, coverBottom - F, coverBottom, cover);
    Line(coverLeft + dx, coverBottom, coverEnd.x(), coverEnd.y());
    const int tick = F / 3; // ticks across the leader
    for (const QPoint& t : {coverEnd, edge})
        Line(t.x() - tick, t.y() - tick, t.x() + tick, t.y() + tick);
    d_.TextBox(coverLeft + dx, coverBottom - F, coverLeft + dx, coverBottom, cover, kAlignCenter,
               true, clNone);

    Line(p.holeL, p.yc, p.holeR, p.yc);
    for (const int x : {p.holeL, p.holeR})
        Line(x - F / 2, p.yc - F / 2, x + F / 2, p.yc + F / 2);
    // One decimal of a foot, two of a metre (a 0.75 m pier is not 0.8 m).
    const std::string diameter = d_.FormatLength(p.b, p.k == 100 ? 2 : 1, p.L);
    const int yTop = p.yc - RoundEven(F / 2.0);
    const int yBottom = p.yc + RoundEven(F / 2.0);
    dx = ShiftInside(p.holeR + F, p.holeR + TW, yTop, yBottom, diameter);
    d_.TextBox(p.holeR + F + dx, yTop, p.holeR + TW + dx, yBottom, diameter, kAlignCenter, true,
               clNone);

    const std::string ties = data_.RebarLabel(data_.TieBarSize) + " " +
                             (data_.TieType == TTieType::ttTie ? "ties" : "spiral") + " @ " +
                             d_.FormatLength(data_.TieSpacingOverride, barDigits, p.s);
    dx = ShiftInside(p.holeR - 2 * TW, p.holeR, p.holeB + 1, p.holeB + 1 + F, ties);
    const QPoint tieStart(p.holeR - TW + dx, p.holeB + 1 + lead);
    const double tieLine = holeRadius - cp - std::max(1, RoundEven(tie.Diameter / 2 * scale));
    Line(tieStart, TowardCentre(tieStart, tieLine));
    d_.TextBox(p.holeR - 2 * TW + dx, p.holeB + 1, p.holeR + dx, p.holeB + 1 + F, ties,
               kAlignCenter, true, clNone);
}

void TPlanPainter::SheetPile()
{
    const TPlan& p = p_;
    // The detail: top flange, inclined web, bottom flange, and the interlocks at the ends.
    const int pw = RoundEven(p.DetailPx(p.tw));
    c_.SetLayer(TLayer::Structure);
    Pen(kSteel, pw);
    const int third = (p.bR - p.bL) / 3;
    const QPoint profile[] = {
        {p.bL + pw, p.bT}, {p.bL + third, p.bT}, {p.bR - third, p.bB}, {p.bR - pw, p.bB}};
    c_.Polyline(profile);
    if (p.az) {
        Line(p.bL + pw, p.bT, p.bL + pw, p.bT + pw);
        ArcOf(p.bL, p.bT + pw, pw, 135, 225);
        ArcOf(p.bR - pw, p.bB - pw, pw, 270, 180);
        const int half = pw / 2;
        c_.SetPenWidth(half);
        c_.MoveTo(p.bR - 3 * pw, p.bB);
        c_.LineTo(p.bR - 3 * pw, p.bB - 4 * half);
        c_.LineTo(p.bR - 3 * pw - half, p.bB);
    } else {
        ArcOf(p.bL, p.bT, pw, 225, 270);
        ArcOf(p.bR, p.bB, pw, 90, 90);
    }

    // The strip: two piles as one continuous profile, the joint on the top flange.
    c_.SetPenWidth(std::max(2 * p.u, RoundEven(p.StripPx(p.tw))));
    const int D = RoundEven(p.StripPx(p.d));
    const int D3 = RoundEven(p.StripPx(p.d) / 3);
    const int D23 = RoundEven(p.StripPx(p.d) * 2 / 3);
    const int half = RoundEven(p.StripPx(p.bf) / 2);
    const int xc = p.xc, yT = p.ycp - half, yB = p.ycp + half;
    const QPoint strip[] = {{xc - D, yB},  {xc - D23, yB}, {xc - D3, yT},
                            {xc + D3, yT}, {xc + D23, yB}, {xc + D, yB}};
    c_.Polyline(strip);
    const int spw = c_.PenWidth();
    c_.SetBrush(c_.PenColor());
    if (p.az) {
        ArcOf(xc, yT, 3 * spw, 180, 180);
        c_.FloodFill(xc, yT + spw);
    } else {
        d_.Circle(xc, yT, 2 * spw);
    }
    c_.SetLayer(TLayer::Dimensions);
    Pen(clBlack, p.u);
    for (const int x : {xc - D, xc, xc + D}) {
        c_.MoveTo(x, yT - p.F);
        d_.DashedLineTo(x, yB + p.F, false, 8);
    }
    c_.MoveTo(xc - D - p.F, p.ycp);
    d_.DashedLineTo(xc + D + p.F, p.ycp, false, 8);

    // The detail's dimensions: pile width, profile depth, wall thickness.
    c_.SetBrush(clWhite);
    SectionDimensions(true);
    const int g = d_.GridX(0.5);
    const int g3 = d_.GridX(1.5);
    c_.MoveTo(p.xc, p.yc);
    c_.LineTo(p.xc + g, p.yc - g);
    c_.LineTo(p.xc + g3, p.yc - g);
    // The thickness in mm in SI units (to a tenth), as thicknesses of steel plate are given.
    const std::string thickness = p.k == 100 ? d_.FormatLength(p.section.tw * 10, 1, "mm")
                                             : d_.FormatLength(p.section.tw, 2, p.cu);
    d_.TextBox(p.xc + g, p.yc - g - p.F, p.xc + g3, p.yc - g, thickness, kAlignCenter, false,
               clNone);
}

} // namespace

void TDiagramDraw::DrawPlanView()
{
    TCanvas& c = *canvas_;
    c.SetBrush(clWhite);
    c.FillRect(c.ClipRect());
    const TTWData& data = data_;
    const long double pileWidth = data.EffectivePileWidth();
    if (pileWidth == 0)
        return;

    TPlan p;
    const bool si = data.Units == TUnitSystem::usSI;
    p.L = si ? "m" : "ft";
    p.s = si ? "mm" : "in";
    p.cu = si ? "cm" : "in";
    p.k = si ? 100 : 12;
    p.ks = si ? 1000 : 12;
    Begin(bitmap_.width(), bitmap_.height());
    p.W = width_;
    p.H = height_;
    p.F = FontPixels();
    p.u = StrokeUnit();
    p.TW = c.TextWidth("XXXX");
    p.LH = LineSpacing();

    p.section = data.GetSection();
    p.b = Real(pileWidth);
    p.S = Real(data.PileSpacing);
    p.d = Real(p.section.d);
    p.bf = Real(p.section.bf);
    p.tf = Real(p.section.tf);
    p.tw = Real(p.section.tw);
    p.k1 = Real(p.section.k1);
    p.sheet = data.PileType == TPileType::ptSheetPile;
    p.drilled = !p.sheet && data.InstallMethod == TInstallMethod::imDrilled;
    p.cage = !p.sheet && data.Reinforcement == TReinforcement::rfRebarCage;
    p.pipe = !p.sheet && data.Reinforcement == TReinforcement::rfPipe;
    p.twin = data.PileType == TPileType::ptTangentPile || data.PileType == TPileType::ptSecantPile;
    p.secant = data.PileType == TPileType::ptSecantPile;
    p.az = p.section.Name.starts_with("AZ");

    // The strip along the bottom: first as wide as the raster, then no taller than an eighth
    // of it, centred.
    const bool soldier = data.PileType == TPileType::ptSoldierBeam;
    const double across = p.sheet || (!p.drilled && !p.cage) ? p.d / p.k : p.b;
    const double n = soldier ? 1 : 2;
    p.yBase = p.H - 2 * p.F;
    int xL = p.F, xR = p.W - p.F;
    p.sp = (p.W - 2 * p.F) / (n * p.S + p.b);
    p.yTopP = p.yBase - RoundEven(p.sp * across);
    const bool limited = p.yBase - p.yTopP > p.H / 8.0;
    if (limited) {
        p.yTopP = p.yBase - RoundEven(p.H / 8.0);
        p.sp = (p.yBase - p.yTopP) / across;
    }
    if (limited || !soldier) {
        // Two primary piles one spacing apart; with their secondary piles the group is centred.
        const double nL = soldier ? 1 : 1.5, nR = soldier ? 1 : 0.5;
        xL = p.W / 2 - RoundEven((nL * p.S + p.b) * p.sp / 2);
        xR = p.W / 2 + RoundEven((nR * p.S + p.b) * p.sp / 2);
    }
    p.x1 = xL + RoundEven(p.b * p.sp / 2);
    p.xN = xR - RoundEven(p.b * p.sp / 2);
    p.ycp = p.yTopP + RoundEven(p.sp * across / 2);

    // The detail above: the hole fits the region, or the section when it is larger. Beside
    // the region, room for the dimensions at the section's sides (their extension lines are
    // 2 LH long) and the mark of the centre line.
    const int LH = p.LH;
    const int side = std::min(2 * LH + p.F, p.W / 6);
    const int regionW = p.W - 2 * side;
    const int regionH = p.yTopP - 4 * LH;
    p.xc = side + RoundEven(regionW / 2.0);
    p.yc = 2 * LH + RoundEven(regionH / 2.0);
    const double holeFit = std::min(regionW, regionH) / p.b;
    p.scale = holeFit;
    const bool larger = !p.cage && std::max(p.d, p.bf) / p.k > p.b;
    if ((p.sheet || larger) && p.d > 0 && p.bf > 0) {
        p.scale = p.k * regionW / p.d;
        if (p.DetailPx(p.bf) > regionH)
            p.scale = p.k * regionH / p.bf;
        // A hole about as wide as a larger section must still fit the region.
        if (!p.sheet)
            p.scale = std::min(p.scale, holeFit);
    }
    scale_ = p.scale;
    trueScale_ = p.sp;
    p.hr = RoundEven(p.b * p.scale / 2);
    p.holeL = p.xc - p.hr;
    p.holeR = p.xc + p.hr;
    p.holeT = p.yc - p.hr;
    p.holeB = p.yc + p.hr;
    p.bL = p.xc - RoundEven(p.DetailPx(p.d) / 2);
    p.bR = p.xc + RoundEven(p.DetailPx(p.d) / 2);
    p.bT = p.yc - RoundEven(p.DetailPx(p.bf) / 2);
    p.bB = p.yc + RoundEven(p.DetailPx(p.bf) / 2);
    p.faceL = p.bL + RoundEven(p.DetailPx(p.tf));
    p.faceR = p.bR - RoundEven(p.DetailPx(p.tf));
    p.webT = p.yc - RoundEven(p.DetailPx(p.tw) / 2);
    p.webB = p.yc + RoundEven(p.DetailPx(p.tw) / 2);

    TPlanPainter painter(*this, data, p);
    if (p.sheet) {
        painter.SheetPile();
    } else {
        painter.StripPiles();
        painter.StripAnnotation();
        if (p.drilled)
            painter.Hole();
        if (p.cage)
            painter.CageDetail();
        else if (p.pipe)
            painter.PipeDetail();
        else
            painter.IBeamDetail();
    }
    // A true-scale file says how much the detail is enlarged, at the top left beside it.
    if (p.sp > 0) {
        c.SetLayer(TLayer::Text);
        c.SetFontHeight(p.F);
        c.VectorNote(p.F / 2, p.F / 2,
                     "Detail: " + FormatLength(p.scale / p.sp, 1, "") + " x true scale");
        c.SetLayer(TLayer::Structure);
    }
    c.SetBrush(clWhite);
}

} // namespace tw::drawing
