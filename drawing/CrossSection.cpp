// The cross section: the pile from top to tip, the retained and passive soils, the dimensions,
// the loads, and the column of soil parameters as the input column shows them.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "drawing/DiagramDraw.h"

namespace tw::drawing {

namespace {

using form::Box;

constexpr TColor kPierGrey = 0xC7C7C7;
constexpr TColor kSlurryGrey = 0xEFEFEF;
constexpr TColor kRetainedHatch = 0x02CBE8;
constexpr TColor kPassiveHatch = 0x5EA3FF;
constexpr TColor kStripColour = 0xDC812C;

double Radians(long double degrees)
{
    return static_cast<double>(degrees) * std::numbers::pi / 180;
}

// A number as the general format writes it: up to 15 significant digits, no trailing zeros.
std::string General(long double value, std::string_view decimalSeparator)
{
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                   std::chars_format::general, 15);
    std::string s(text, end.ptr);
    if (const auto dot = s.find('.'); dot != std::string::npos)
        s.replace(dot, 1, decimalSeparator);
    return s;
}

// The rows of the parameter column for each side and soil method.
constexpr std::array kRetainedCoulomb{Box::BackfillPhi,        Box::BackfillDelta,
                                      Box::BackfillSlope,      Box::BackfillWallAngle,
                                      Box::BackfillUnitWeight, Box::Surcharge};
constexpr std::array kRetainedFluid{Box::ActiveEFP, Box::BackfillSlopeEFP, Box::BackfillUnitWeight,
                                    Box::Surcharge};
constexpr std::array kLowerCoulomb{Box::Backfill2Phi,        Box::Backfill2Delta,
                                   Box::Backfill2Slope,      Box::Backfill2WallAngle,
                                   Box::Backfill2UnitWeight, Box::Backfill2Surcharge};
constexpr std::array kLowerFluid{Box::Active2EFP, Box::Backfill2UnitWeight,
                                 Box::Backfill2Surcharge};

} // namespace

void TDiagramDraw::DrawCrossSection()
{
    TCanvas& c = *canvas_;
    const TTWData& p = data_;
    c.SetBrush(clWhite);
    c.FillRect(c.ClipRect());
    if (p.TotalPileLength == 0)
        return;

    const bool si = p.Units == TUnitSystem::usSI;
    const std::string L = si ? "m" : "ft";
    const std::string cu = si ? "cm" : "in";
    Begin(bitmap_.width(), bitmap_.height());
    const int F = FontPixels();
    const int u = StrokeUnit();
    const int W = width_;

    const bool sheet = p.PileType == TPileType::ptSheetPile;
    const bool cage = p.Reinforcement == TReinforcement::rfRebarCage;
    const bool drilled = p.InstallMethod == TInstallMethod::imDrilled;
    const bool pier = drilled || cage;
    const TSteelShape section = p.GetSection();
    const long double H = p.ShoredHeight;
    const long double D = p.EmbedmentDepth;
    const long double b = p.EffectivePileWidth();
    const double k = si ? 100 : 12;

    // The drawn width of the pile section, in section units.
    long double w = section.d;
    if (sheet)
        w = section.bf;
    else if (cage)
        w = si ? b * 100 - 2 * p.ClearCover / 10 : b * 12 - 2 * p.ClearCover;

    const bool strip = p.StripLoadOn && p.StripPressure != 0;
    const bool seismic = p.SeismicLoadOn && p.SeismicThrust != 0;
    const std::string axialText = "Axial: " + FormatLength(p.AxialLoad, 1, UnitOf(Box::AxialLoad));
    const std::string momentText =
        "Moment: " + FormatLength(p.TopMoment, 1, UnitOf(Box::OtherMoment));

    // Fitting the drawing to the raster, leaving a column for texts on the right.
    const int LH = LineSpacing();
    const int sample = c.TextWidth("Strip Load XXXX psf @ X ft depth, X - XX ft");
    int xc = (W - sample - 2 * F) / 2;
    const int s0 = std::min(W / 4, xc - 2 * F);
    int s = s0;
    const double beta = Radians(p.BackfillSlope);
    const double total = static_cast<double>(H + D);
    const int yTip = height_ - 4 * LH;
    const int yTipIn = yTip - 2 * u;
    int yTop = 0, yExc = 0;
    // Half the drawn width of the pile (the section or the pier, whichever is wider).
    auto halfPile = [&](double scale) {
        const int section = RoundEven(scale * static_cast<double>(w) / 2 / k);
        return sheet ? section : std::max(section, RoundEven(static_cast<double>(b) * scale / 2));
    };
    // How far right of the centre line the strip footing reaches, with a margin.
    auto footingReach = [&](double scale) {
        return RoundEven(scale * static_cast<double>(w) / 2 / k) +
               RoundEven(static_cast<double>(p.StripSetback) * scale) +
               RoundEven(static_cast<double>(p.StripWidth) * scale) + F;
    };
    auto fitVertically = [&] {
        yTop = GridY(2.5) + RoundEven(std::tan(beta) * s);
        scale_ = (yTip - yTop) / total;
        yExc = yTop + RoundEven(static_cast<double>(H) * scale_);
    };
    // The soil reaches a third beyond the shored height, and past the strip footing, as far as
    // the column of texts allows.
    auto widenSoil = [&] {
        s = std::max(s0, RoundEven(1.33 * static_cast<double>(H) * scale_));
        if (strip)
            s = std::max(s, footingReach(scale_));
        s = std::min(s, W - xc - sample - 2 * F);
    };
    fitVertically();
    widenSoil();
    if (s > s0) {
        fitVertically();
        widenSoil();
    }
    // Left of the pile: the dimensions (the seismic load's further out) and the texts of the
    // loads at the top, which end 2F left of the centre line.
    c.SetFontHeight(F - 2);
    const int topTexts = std::max(c.TextWidth(axialText), c.TextWidth(momentText)) + 2 * F + 4 * u;
    c.SetFontHeight(F);
    auto leftRoom = [&] {
        return std::max(halfPile(scale_) + (seismic ? 4 : 2) * LH, topTexts) + F / 2;
    };
    if (strip && footingReach(scale_) > s && xc > leftRoom()) {
        // A footing beyond the soil's reach: the wall moves left, as far as its own dimensions
        // and texts allow, to make room for the footing on the right.
        const int shift = std::min(footingReach(scale_) - s, xc - leftRoom());
        xc -= shift;
        s += shift;
        fitVertically();
        widenSoil();
    }
    // A narrow raster: the wall moves right until its dimensions are inside.
    xc = std::max(xc, leftRoom());
    const double scale = scale_;
    const int xA = xc - RoundEven(scale * static_cast<double>(w) / 2 / k);
    const int xC = xc + RoundEven(scale * static_cast<double>(w) / 2 / k);
    const int xE = sheet ? xA : xc - RoundEven(static_cast<double>(b) * scale / 2);
    const int xD = sheet ? xC : xc + RoundEven(static_cast<double>(b) * scale / 2);

    // Pile and pier.
    c.SetLayer(TLayer::Structure);
    c.SetPenColor(clBlack);
    c.SetPenWidth(2 * u);
    if (sheet) {
        c.SetBrush(clWhite);
        c.Rectangle(xA, yTop, xC, yTipIn);
    } else {
        if (pier) {
            c.SetBrush(kPierGrey);
            c.Rectangle(xE, yExc, xD, yTip);
        }
        if (cage) {
            const bool slurry = p.ShoredHeightFill == TShoredHeightFill::sfSlurry;
            c.SetBrush(slurry ? kSlurryGrey : clSilver);
            c.Rectangle(xE, yTop, xD, yExc);
        } else {
            const bool filledPipe = p.Reinforcement == TReinforcement::rfPipe && p.PipeFilled;
            c.SetBrush(filledPipe ? kPierGrey : clWhite);
            c.Rectangle(xA, yTop, xC, yTipIn);
            c.SetPenWidth(u);
            if (p.Reinforcement == TReinforcement::rfIBeam) {
                const int t =
                    static_cast<int>(std::trunc(static_cast<double>(section.tf) * scale / k)) + u +
                    2;
                c.SetPenWidth(std::max(1, u / 3));
                for (const int x : {xA + t, xC - t - 2 * u}) {
                    c.MoveTo(x, yTop);
                    c.LineTo(x, yTipIn - u);
                }
            }
        }
    }

    // Soils: the retained soil above the excavation, the lower retained soil under Gross
    // Pressure, the passive soil; each ground line drawn over its hatching.
    c.SetLayer(TLayer::Soil);
    c.SetPenWidth(0);
    const int x0 = cage ? xD : xC;
    const QPoint p0(x0, yTop);
    const QPoint p1(xc + s, yTop - RoundEven(std::tan(beta) * std::abs(xc + s - xC)));
    const int xFar = p1.x();
    const int yFar = p1.y();
    {
        c.SetBrush(kRetainedHatch, TBrushStyle::BDiagonal);
        c.SetPenVisible(false);
        const QPoint retained[] = {p0, p1, {xc + s, yExc - 1}, {x0, yExc - 1}};
        c.Polygon(retained);
        c.SetPenVisible(true);
        c.MoveTo(p0.x(), p0.y());
        c.LineTo(p1.x(), p1.y());
    }
    // The soils below the excavation end at the pile: at the pier, or at a beam wider than its
    // pier.
    c.SetBrush(kPassiveHatch, TBrushStyle::BDiagonal);
    c.SetPenVisible(false);
    if (p.AnalysisMethod == TAnalysisMethod::amGrossPressure)
        c.Rectangle(std::max(xD, xC), yExc, xc + s, yTip);
    {
        const double betaP = Radians(p.PassiveSlope);
        const QPoint q0(std::min(xE, xA) - 1, yExc);
        const QPoint q1(xc - s, yExc - RoundEven(std::tan(betaP) * std::abs(xA + s - xc)));
        const QPoint passive[] = {q0, q1, {xc - s, yTip}, {q0.x(), yTip}};
        c.Polygon(passive);
        c.SetPenVisible(true);
        c.MoveTo(q0.x(), q0.y());
        c.LineTo(q1.x(), q1.y());
    }
    c.SetBrush(clWhite);
    c.SetPenWidth(u);

    // Dimensions.
    c.SetLayer(TLayer::Dimensions);
    c.SetPenColor(clBlack);
    auto line = [&](int x1, int y1, int x2, int y2) {
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    line(xE - 2 * LH, yTop, xA, yTop);
    line(xE - 2 * LH, yExc, xA, yExc);
    DimensionLine(xE - LH, yTop, xE - LH, yExc, FormatLength(H, 2, L), 2, false, false);
    line(xD, yExc, xD + 2 * LH, yExc);
    line(xD, yTip, xD + 2 * LH, yTip);
    DimensionLine(xD + LH, yExc, xD + LH, yTip, FormatLength(D, 2, L), 2, false, false);
    if (!cage) {
        const int down = yTip + RoundEven(1.5 * LH);
        line(xA, yTip, xA, down);
        line(xC - 2 * u, yTip, xC - 2 * u, down);
        DimensionLine(xA, yTip + LH, xC - 2 * u, yTip + LH, FormatLength(w, 2, cu), 2, false,
                      false);
    }
    if (pier && !sheet) {
        const int down = yTip + RoundEven(2.5 * LH);
        line(xE, yTip, xE, down);
        line(xD - 2 * u, yTip, xD - 2 * u, down);
        DimensionLine(xE, yTip + 2 * LH, xD - 2 * u, yTip + 2 * LH,
                      FormatLength(b * static_cast<long double>(k), 2, cu), 4, false, false);
    }

    // Strip load.
    if (strip) {
        c.SetLayer(TLayer::Loads);
        c.SetPenColor(kStripColour);
        c.SetPenWidth(2);
        c.SetBrush(kStripColour, TBrushStyle::FDiagonal);
        const int left = xC + RoundEven(static_cast<double>(p.StripSetback) * scale);
        const int right = left + RoundEven(static_cast<double>(p.StripWidth) * scale);
        const int bottom = yTop + RoundEven(static_cast<double>(p.StripDepth) * scale);
        const int top = bottom - RoundEven(1.4 * F);
        // The footing is drawn as far as the drawn soil reaches (beyond it lies the column of
        // texts); a footing that reaches further is cut there with a break mark.
        if (left < xFar)
            c.Rectangle(left, top, std::min(right, xFar), bottom);
        if (left < xFar && right > xFar) {
            const int x = xFar;
            const int mid = (top + bottom) / 2;
            const int q = std::max(2, F / 4);
            c.SetBrush(clWhite);
            c.FillRect(QRect(x - 2, top - 1, 4, bottom - top + 2));
            const QPoint mark[] = {{x, top - F / 2}, {x, mid - 2 * q}, {x + q, mid - q},
                                   {x - q, mid + q}, {x, mid + 2 * q}, {x, bottom + F / 2}};
            c.Polyline(mark);
        }
        c.SetPenWidth(u);
        c.SetBrush(kStripColour, TBrushStyle::Solid);
    }

    // Seismic thrust.
    if (seismic) {
        const int ys = yExc - RoundEven(static_cast<double>(p.SeismicArm) * scale);
        c.SetLayer(TLayer::Loads);
        c.SetPenColor(clBlue);
        c.SetPenWidth(2 * u);
        ArrowLine(xC, ys, xC + GridY(2), ys, ArrowSize(), true, false);
        c.SetLayer(TLayer::Dimensions);
        c.SetPenColor(clBlack);
        c.SetPenWidth(u);
        line(xE - 4 * LH, yExc, xA, yExc);
        line(xE - 4 * LH, ys, xE - 2 * LH, ys);
        DimensionLine(xE - 3 * LH, ys, xE - 3 * LH, yExc, FormatLength(p.SeismicArm, 2, L), 3,
                      false, false);
    }

    // The column of soil parameters, as the input column shows them.
    c.SetLayer(TLayer::Text);
    const int left = xc + s + F;
    auto row = [&](int& counter, int base, const std::string& text) {
        TextBox(left, base - F * counter, W, base - F * (counter - 1), text, kAlignLeft, false,
                clNone);
        --counter;
    };
    const bool userDefined = p.AnalysisMethod == TAnalysisMethod::amUserDefined;
    const bool net = p.AnalysisMethod == TAnalysisMethod::amNetPressure;
    const bool gross = p.AnalysisMethod == TAnalysisMethod::amGrossPressure;
    const bool coulomb = p.SoilMethod == TSoilMethod::smCoulomb;
    int R = (yExc - yFar) / F;
    int P = (net ? 10 : 9) - (coulomb ? 0 : 2);
    std::string passiveHead = "Passive Soils";
    if (form_.PassiveChoiceVisible())
        passiveHead += form_.CheckState(form::Check::AllowablePassive).checked ? " (Allowable)"
                                                                               : " (Ultimate)";
    c.SetBold(true);
    row(R, yExc, "Backfill Soils");
    row(P, yTipIn, passiveHead);
    c.SetBold(false);
    int N = R;
    if (userDefined) {
        row(R, yExc, "User Defined");
        row(P, yTipIn, "User Defined");
        N = R;
    } else {
        if (coulomb)
            for (const Box box : kRetainedCoulomb)
                row(R, yExc, Row(box));
        else
            for (const Box box : kRetainedFluid)
                row(R, yExc, Row(box));
        N = R;
        std::vector<Box> passive;
        if (coulomb)
            passive = {Box::PassivePhi,       Box::PassiveDelta, Box::PassiveSlope,
                       Box::PassiveWallAngle, Box::PassiveFS,    Box::Cohesion};
        else
            passive = {Box::PassiveEFP, Box::MaxPassive, Box::PassiveSlopeEFP, Box::PassiveFS};
        if (net)
            passive.push_back(Box::IgnorePassiveHeight);
        passive.push_back(Box::PassiveUnitWeight);
        for (const Box box : passive)
            row(P, yTipIn, Row(box, box != Box::PassiveFS));
        if (gross) {
            R -= 2 + (strip ? 1 : 0) + (seismic ? 1 : 0);
            c.SetBold(true);
            row(R, yExc, "Backfill Soils 2");
            c.SetBold(false);
            if (coulomb)
                for (const Box box : kLowerCoulomb)
                    row(R, yExc, Row(box));
            else
                for (const Box box : kLowerFluid)
                    row(R, yExc, Row(box));
        }
    }
    const std::string& sep = form_.NumberFormat().decimalSeparator;
    if (strip) {
        const std::string& lengthUnit = UnitOf(Box::StripSetback);
        row(N, yExc,
            "Strip Load: " + General(p.StripPressure, sep) + " " + UnitOf(Box::StripPressure) +
                " @ " + General(p.StripDepth, sep) + " " + lengthUnit + " depth, " +
                General(p.StripSetback, sep) + " - " + General(p.StripSetback + p.StripWidth, sep) +
                " " + lengthUnit);
    }
    if (seismic)
        row(N, yExc,
            "Seismic Load: " + General(p.SeismicThrust, sep) + " " + UnitOf(Box::SeismicThrust) +
                " @ " + General(p.SeismicArm, sep) + " " + UnitOf(Box::SeismicArm) + " depth");

    // Uniform surcharge: arrows leaning away from the wall above the retained ground. A
    // User Defined wall takes its pressures as typed and no surcharge: none is drawn.
    if (p.Surcharge != 0 && !userDefined) {
        c.SetLayer(TLayer::Loads);
        c.SetPenColor(clBlue);
        c.SetPenWidth(u);
        const double Q = (xFar - xC) / 6.0;
        const int lift = GridY(1.3);
        const int lineEndY = yTop - RoundEven(std::tan(beta) * 5 * Q) - lift;
        line(xC, yTop - lift, xC + RoundEven(5 * Q), lineEndY);
        const double gamma = std::clamp(static_cast<double>(p.BackfillSlope) + 20, 1.0, 30.0) *
                             std::numbers::pi / 180;
        const int dx = RoundEven(std::tan(gamma) * lift);
        for (int i = 0; i <= 5; ++i) {
            const int x = xC + RoundEven(i * Q);
            if (x + dx >= xFar)
                continue;
            ArrowLine(x, yTop - RoundEven(std::tan(beta) * i * Q) - lift, x + dx,
                      yTop - RoundEven(std::tan(beta) * (i * Q + dx)) - 2 * u, 5 * u, false, true);
        }
        TextBox(xC + GridY(3), lineEndY - F, xFar, lineEndY,
                "Unif. surch: " + FormatLength(p.Surcharge, 2, UnitOf(Box::Surcharge)), kAlignLeft,
                false, clNone);
    }

    // Loads at the top of the pile: their texts always, an arrow only for a load whose text
    // is not zero.
    auto shown = [](long double load) { return std::abs(static_cast<double>(load)) >= 0.05; };
    c.SetLayer(TLayer::Loads);
    c.SetPenColor(clRed);
    c.SetPenWidth(2 * u);
    if (shown(p.AxialLoad))
        ArrowLine(xc, yTop - GridY(1), xc, yTop, ArrowSize(), false, true);
    TextBox(xE, yTop - GridY(1), xc - 2 * F - 4 * u, yTop - GridY(1) + F, axialText, kAlignRight,
            false, clNone);
    if (shown(p.LateralLoadTop))
        ArrowLine(xC, yTop, xC + GridY(2), yTop, ArrowSize(), true, false);
    TextBox(xC + 4 * u, yTop + GridY(0.2), xFar, yTop + GridY(0.2) + F,
            "Lateral: " + FormatLength(p.LateralLoadTop, 1, UnitOf(Box::LateralLoad)), kAlignLeft,
            false, clNone);
    int yM = yTop - GridY(1.5);
    if (shown(p.TopMoment)) {
        c.Arc(xc - 2 * F, yM - F, xc + 2 * F, yM + F, 0, 180);
        ArrowHead(xc - 2 * F, yM - 2 * u, -std::numbers::pi / 4, ArrowSize());
    }
    yM -= GridY(0.4);
    TextBox(xE, yM - GridY(0.2), xc - 2 * F - 4 * u, yM - GridY(0.2) + F, momentText, kAlignRight,
            false, clNone);
    c.SetBrush(clWhite);
    c.SetLayer(TLayer::Structure);
}

} // namespace tw::drawing
