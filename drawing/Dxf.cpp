#include "drawing/Dxf.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPolygonF>
#include <QString>
#include <QTemporaryDir>

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>

#include "drawing/Canvas.h"

namespace tw::drawing {

namespace {

constexpr std::array kLayers{TLayer::Structure, TLayer::Soil, TLayer::Loads, TLayer::Dimensions,
                             TLayer::Text};

struct TRgb
{
    int r = 0, g = 0, b = 0;
};

// The 255 colours of the AutoCAD Colour Index. 1-9: the named colours (7, white on a dark
// ground, taken as black: the drawings are on white); 10-249: 24 hues 15 degrees apart, each
// in five shades (full, 65, 50, 30 and 15 %), each shade pure and pale (halfway to white);
// 250-255: greys.
std::array<TRgb, 256> AciTable()
{
    std::array<TRgb, 256> t{};
    const TRgb named[] = {{0, 0, 0},       {255, 0, 0},    {255, 255, 0}, {0, 255, 0},
                          {0, 255, 255},   {0, 0, 255},    {255, 0, 255}, {0, 0, 0},
                          {128, 128, 128}, {192, 192, 192}};
    for (int i = 1; i <= 9; ++i)
        t[i] = named[i];
    constexpr double shades[] = {1.0, 0.65, 0.5, 0.3, 0.15};
    // A hue's red in quarters of full: full for a sixth of the wheel either side of 0, then
    // falling, off, rising; green and blue the same a third of the wheel later.
    auto quarters = [](int h) {
        h = ((h % 24) + 24) % 24;
        return h <= 4 ? 4 : h < 8 ? 8 - h : h <= 16 ? 0 : h < 20 ? h - 16 : 4;
    };
    for (int i = 10; i <= 249; ++i) {
        const int hue = (i - 10) / 10;
        const double shade = shades[(i % 10) / 2];
        const bool pale = i % 2 == 1;
        int rgb[3] = {};
        for (int k = 0; k < 3; ++k) {
            double v = 255.0 * quarters(hue - 8 * k) / 4;
            if (pale)
                v = (v + 255) / 2;
            rgb[k] = static_cast<int>(std::floor(v * shade));
        }
        t[i] = {rgb[0], rgb[1], rgb[2]};
    }
    // The palette's darkest pale shades of the greens, blues and purples are lighter than
    // the rule gives: as the palette has them.
    const std::pair<int, TRgb> exceptions[] = {
        {109, {19, 88, 23}},  {119, {19, 88, 28}}, {129, {19, 88, 88}},  {139, {19, 88, 88}},
        {147, {38, 66, 126}}, {149, {19, 88, 88}}, {157, {38, 57, 126}}, {159, {19, 28, 88}},
        {167, {38, 47, 126}}, {169, {19, 23, 88}}, {177, {38, 38, 126}}, {179, {19, 19, 88}},
        {187, {47, 38, 126}}, {189, {23, 19, 88}}, {197, {57, 38, 126}}, {199, {28, 19, 88}},
        {209, {88, 19, 88}},  {219, {88, 19, 88}}, {229, {88, 19, 88}},  {239, {88, 19, 28}},
        {249, {88, 19, 23}}};
    for (const auto& [i, rgb] : exceptions)
        t[i] = rgb;
    const int greys[] = {0, 101, 102, 153, 204, 255};
    for (int i = 250; i <= 255; ++i)
        t[i] = {greys[i - 250], greys[i - 250], greys[i - 250]};
    return t;
}

// A text of the drawing for a DXF file: characters beyond ASCII as \U+XXXX.
std::string DxfText(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string out;
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c >= 0x80) {
            char code[16];
            std::snprintf(code, sizeof code, "\\U+%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

std::vector<std::vector<QPointF>> Loops(const QPainterPath& shape)
{
    std::vector<std::vector<QPointF>> loops;
    for (const QPolygonF& polygon : shape.toSubpathPolygons()) {
        std::vector<QPointF> loop;
        for (const QPointF& p : polygon)
            if (loop.empty() || p != loop.back())
                loop.push_back(p);
        while (loop.size() > 1 && loop.front() == loop.back())
            loop.pop_back();
        if (loop.size() >= 3)
            loops.push_back(std::move(loop));
    }
    return loops;
}

} // namespace

int NearestAci(TColor colour)
{
    static const std::array<TRgb, 256> table = AciTable();
    const int r = static_cast<int>(colour & 0xFF);
    const int g = static_cast<int>((colour >> 8) & 0xFF);
    const int b = static_cast<int>((colour >> 16) & 0xFF);
    int best = 7;
    long bestDistance = -1;
    for (int i = 1; i <= 255; ++i) {
        const long dr = table[i].r - r, dg = table[i].g - g, db = table[i].b - b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

const char* LayerName(TLayer layer)
{
    switch (layer) {
    case TLayer::Structure:
        return "STRUCTURE";
    case TLayer::Soil:
        return "SOIL";
    case TLayer::Loads:
        return "LOADS";
    case TLayer::Dimensions:
        return "DIMENSIONS";
    case TLayer::Text:
        return "TEXT";
    }
    return "0";
}

void TDxfSink::Start(QSize size)
{
    page_ = size;
    entities_.clear();
}

TDxfSink::TEntity TDxfSink::Make(TKind kind, TColor colour, int width) const
{
    TEntity e;
    e.kind = kind;
    e.layer = layer_;
    e.colour = colour;
    e.width = width;
    return e;
}

void TDxfSink::Line(QPoint from, QPoint to, const TStroke& pen)
{
    TEntity e = Make(TKind::Line, pen.colour, pen.width);
    e.points = {from, to};
    entities_.push_back(std::move(e));
}

void TDxfSink::Polyline(std::span<const QPoint> points, const TStroke& pen)
{
    if (points.size() < 2)
        return;
    TEntity e = Make(TKind::Polyline, pen.colour, pen.width);
    e.points.assign(points.begin(), points.end());
    entities_.push_back(std::move(e));
}

void TDxfSink::Hatch(const QPainterPath& shape, TColor colour, TBrushStyle style)
{
    TEntity e = Make(TKind::Hatch, colour, 1);
    e.loops = Loops(shape);
    e.style = style;
    if (!e.loops.empty())
        entities_.push_back(std::move(e));
}

void TDxfSink::Outline(const QPainterPath& shape, const TStroke& pen)
{
    for (std::vector<QPointF>& loop : Loops(shape)) {
        TEntity e = Make(TKind::Polyline, pen.colour, pen.width);
        e.points = std::move(loop);
        e.closed = true;
        entities_.push_back(std::move(e));
    }
}

void TDxfSink::Shape(const QPainterPath& shape, const TFill& fill, const TStroke* outline)
{
    // The white page every drawing starts by filling is the file's ground, no entity.
    const bool page = fill.style == TBrushStyle::Solid && fill.colour == clWhite &&
                      shape.boundingRect().contains(QRectF(QPointF(0, 0), QSizeF(page_)));
    if (fill.style == TBrushStyle::Solid && !page) {
        Hatch(shape, fill.colour, TBrushStyle::Solid);
    } else if (fill.style == TBrushStyle::FDiagonal || fill.style == TBrushStyle::BDiagonal) {
        // Behind the hatching, a ground other than the white page.
        if (fill.background != clNone && fill.background != clWhite)
            Hatch(shape, fill.background, TBrushStyle::Solid);
        Hatch(shape, fill.colour, fill.style);
    }
    if (outline)
        Outline(shape, *outline);
}

void TDxfSink::Ellipse(const QRectF& box, const TFill& fill, const TStroke* outline)
{
    if (fill.style != TBrushStyle::Clear) {
        QPainterPath shape;
        shape.addEllipse(box);
        Shape(shape, fill, nullptr);
    }
    if (outline && box.width() > 0 && box.height() > 0) {
        TEntity e = Make(TKind::Ellipse, outline->colour, outline->width);
        // The raster's box ends a pixel short of its right and bottom edges.
        const double in = outline->outside;
        e.box = QRectF(box.left(), box.top(), box.width() + 1, box.height() + 1)
                    .adjusted(in, in, -in, -in);
        entities_.push_back(std::move(e));
    }
}

void TDxfSink::Arc(const QRectF& box, double startDegrees, double spanDegrees, const TStroke& pen)
{
    if (spanDegrees == 0 || box.width() <= 0 || box.height() <= 0)
        return;
    TEntity e = Make(TKind::Arc, pen.colour, pen.width);
    e.box = box;
    // Counterclockwise from the start, as DXF draws arcs.
    e.start = spanDegrees < 0 ? startDegrees + spanDegrees : startDegrees;
    e.span = std::min(360.0, std::abs(spanDegrees));
    entities_.push_back(std::move(e));
}

void TDxfSink::Text(int x, int y, std::string_view utf8, const QFont& font, bool rotated,
                    TColor colour, TColor background)
{
    const QFontMetricsF metrics(font);
    const QString whole = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const TLayer layer = layer_;
    layer_ = TLayer::Text;
    if (background != clNone) {
        // The opaque box that hides what lies under the text (a dimension's line).
        const double w = metrics.horizontalAdvance(whole), h = metrics.height();
        QPainterPath box;
        box.addRect(rotated ? QRectF(x, y - w, h, w) : QRectF(x, y, w, h));
        Hatch(box, background, TBrushStyle::Solid);
    }
    // The blanks around a label are no part of it: the text starts after the leading ones.
    const QString trimmed = whole.trimmed();
    if (!trimmed.isEmpty()) {
        const double lead = metrics.horizontalAdvance(whole.left(whole.indexOf(trimmed[0])));
        TEntity e = Make(TKind::Text, colour, 1);
        e.points = {rotated ? QPointF(x + metrics.ascent(), y - lead)
                            : QPointF(x + lead, y + metrics.ascent())};
        e.text = DxfText(trimmed.toStdString());
        e.height = metrics.capHeight();
        e.rotated = rotated;
        entities_.push_back(std::move(e));
    }
    layer_ = layer;
}

void TDxfSink::FilledArea(const QPainterPath& area, TColor colour)
{
    Hatch(area, colour, TBrushStyle::Solid);
}

void TDxfSink::Note(int x, int y, std::string_view utf8, const QFont& font)
{
    Text(x, y, utf8, font, false, clBlack, clNone);
}

QByteArray TDxfSink::Write(double pixelsPerUnit, bool metres) const
{
    if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit))
        return {};
    const double s = pixelsPerUnit;
    auto X = [s](double px) { return px / s; };
    auto Y = [s](double py) { return -py / s; };
    // Pen widths as line weights (1/100 mm), by how many of the drawing's strokes they are.
    const double unit = std::max(1.0, std::min(page_.width(), page_.height()) / 600.0);
    auto weight = [unit](int width) {
        const double strokes = width / unit;
        return strokes < 1.5 ? 25 : strokes < 3 ? 50 : 70;
    };
    // The soils' hatching: the raster's 8 pixels between lines on a drawing 900 high, as wide
    // in proportion on a larger raster. ANSI31 is 0.125 units between lines at scale 1.
    const double hatchStep = std::max(8.0, page_.height() / 110.0) / std::numbers::sqrt2;
    const double patternScale = hatchStep / s / 0.125;

    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QString path = dir.filePath(QStringLiteral("drawing.dxf"));
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(QFile::encodeName(path).constData(), DL_VERSION_2000));
    if (!dw)
        return {};
    dxf.writeHeader(*dw);
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, metres ? 6 : 2);
    dw->dxfString(9, "$MEASUREMENT");
    dw->dxfInt(70, metres ? 1 : 0);
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(static_cast<int>(kLayers.size()) + 1);
    dxf.writeLayer(*dw, DL_LayerData("0", 0),
                   DL_Attributes(std::string(), 7, 25, "CONTINUOUS", 1.0));
    for (const TLayer layer : kLayers)
        dxf.writeLayer(*dw, DL_LayerData(LayerName(layer), 0),
                       DL_Attributes(std::string(), 7, 25, "CONTINUOUS", 1.0));
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 1.0, "arial.ttf", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(*dw);
    dw->tableEnd();
    dw->sectionEnd();
    dw->sectionBlocks();
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space0");
    dw->sectionEnd();

    dw->sectionEntities();
    for (const TEntity& e : entities_) {
        const DL_Attributes attributes(
            LayerName(e.layer), NearestAci(e.colour),
            static_cast<int>(ToQColor(e.colour).rgb() & 0xFFFFFF),
            e.kind == TKind::Text || e.kind == TKind::Hatch ? -1 : weight(e.width), "BYLAYER");
        switch (e.kind) {
        case TKind::Line:
            dxf.writeLine(*dw,
                          DL_LineData(X(e.points[0].x()), Y(e.points[0].y()), 0, X(e.points[1].x()),
                                      Y(e.points[1].y()), 0),
                          attributes);
            break;
        case TKind::Polyline:
            dxf.writePolyline(
                *dw, DL_PolylineData(static_cast<int>(e.points.size()), 0, 0, e.closed ? 1 : 0),
                attributes);
            for (const QPointF& p : e.points)
                dxf.writeVertex(*dw, DL_VertexData(X(p.x()), Y(p.y()), 0, 0));
            dxf.writePolylineEnd(*dw);
            break;
        case TKind::Ellipse:
        case TKind::Arc: {
            const QPointF c = e.box.center();
            const double rx = e.box.width() / 2 / s, ry = e.box.height() / 2 / s;
            const bool whole = e.kind == TKind::Ellipse || e.span >= 360;
            if (std::abs(rx - ry) < 1e-9) {
                if (whole)
                    dxf.writeCircle(*dw, DL_CircleData(X(c.x()), Y(c.y()), 0, rx), attributes);
                else
                    dxf.writeArc(*dw,
                                 DL_ArcData(X(c.x()), Y(c.y()), 0, rx, e.start, e.start + e.span),
                                 attributes);
                break;
            }
            // The major axis along x or y; the angles as parameters from it.
            const bool wide = rx > ry;
            const double turn = wide ? 0 : 90;
            const double a1 = whole ? 0 : (e.start - turn) * std::numbers::pi / 180;
            const double a2 = whole ? 2 * std::numbers::pi : a1 + e.span * std::numbers::pi / 180;
            dxf.writeEllipse(*dw,
                             DL_EllipseData(X(c.x()), Y(c.y()), 0, wide ? rx : 0, wide ? 0 : ry, 0,
                                            wide ? ry / rx : rx / ry, a1, a2),
                             attributes);
            break;
        }
        case TKind::Hatch: {
            const bool solid = e.style == TBrushStyle::Solid;
            const DL_HatchData hatch(
                static_cast<int>(e.loops.size()), solid, solid ? 1.0 : patternScale,
                e.style == TBrushStyle::FDiagonal ? 90.0 : 0.0, solid ? "SOLID" : "ANSI31");
            dxf.writeHatch1(*dw, hatch, attributes);
            for (const std::vector<QPointF>& loop : e.loops) {
                const DL_HatchLoopData loopData(static_cast<int>(loop.size()));
                dxf.writeHatchLoop1(*dw, loopData);
                for (std::size_t i = 0; i < loop.size(); ++i) {
                    const QPointF& a = loop[i];
                    const QPointF& b = loop[(i + 1) % loop.size()];
                    dxf.writeHatchEdge(*dw,
                                       DL_HatchEdgeData(X(a.x()), Y(a.y()), X(b.x()), Y(b.y())));
                }
                dxf.writeHatchLoop2(*dw, loopData);
            }
            dxf.writeHatch2(*dw, hatch, attributes);
            break;
        }
        case TKind::Text: {
            const QPointF p = e.points[0];
            dxf.writeText(*dw,
                          DL_TextData(X(p.x()), Y(p.y()), 0, X(p.x()), Y(p.y()), 0, e.height / s,
                                      1.0, 0, 0, 0, e.text, "Standard",
                                      e.rotated ? std::numbers::pi / 2 : 0.0),
                          attributes);
            break;
        }
        }
    }
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    dw->close();
    dw.reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace tw::drawing
