// The drawings as DXF files, read back by ezdxf (Debian's python3-ezdxf, under the system's
// interpreter): named layers, the unit of the file, the texts, the true scale, and the
// AutoCAD colours.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "DrawingWalls.h"
#include "drawing/DiagramDraw.h"
#include "drawing/Dxf.h"

using namespace tw;
using namespace tw::drawing;

namespace {

// For each file on the command line, what ezdxf reads from it; then the ACI palette.
constexpr const char* kReadBack = R"(
import json, sys, collections, ezdxf
from ezdxf.colors import aci2rgb
files = []
for path in sys.argv[1:]:
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    counts = collections.Counter(e.dxftype() + "@" + e.dxf.layer for e in msp)
    texts = {}
    for t in msp.query("TEXT"):
        texts.setdefault(t.dxf.text, [t.dxf.insert.x, t.dxf.insert.y, t.dxf.rotation])
    lines = [[l.dxf.start.x, l.dxf.start.y, l.dxf.end.x, l.dxf.end.y]
             for l in msp.query('LINE[layer=="DIMENSIONS"]')]
    circles = [[c.dxf.center.x, c.dxf.center.y, c.dxf.radius] for c in msp.query("CIRCLE")]
    files.append({"layers": [l.dxf.name for l in doc.layers], "circles": circles,
                  "insunits": doc.header.get("$INSUNITS", 0),
                  "counts": counts, "texts": texts, "dimensionLines": lines})
print(json.dumps({"files": files, "aci": [[0, 0, 0]] + [list(aci2rgb(i)) for i in range(1, 256)]}))
)";

struct TDxfFile
{
    QStringList layers;
    int insunits = 0;
    std::map<QString, int> counts; // "TYPE@LAYER"
    QJsonObject texts;             // text: [x, y, rotation]
    QJsonArray dimensionLines;     // [x1, y1, x2, y2]
    QJsonArray circles;            // [x, y, radius]

    int OnLayer(const QString& layer) const
    {
        int n = 0;
        for (const auto& [key, count] : counts)
            n += key.endsWith('@' + layer) ? count : 0;
        return n;
    }
    int OfType(const QString& type) const
    {
        int n = 0;
        for (const auto& [key, count] : counts)
            n += key.startsWith(type + '@') ? count : 0;
        return n;
    }
};

struct TReadBack
{
    std::vector<TDxfFile> files;
    QJsonArray aci;
};

TReadBack ReadBack(const QStringList& paths)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral("-c"), QString::fromUtf8(kReadBack)} + paths);
    python.waitForFinished(120000);
    const QByteArray out = python.readAllStandardOutput();
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    EXPECT_FALSE(root.isEmpty()) << "ezdxf could not read the files:\n"
                                 << python.readAllStandardError().toStdString();
    TReadBack back;
    back.aci = root[QStringLiteral("aci")].toArray();
    for (const QJsonValue f : root[QStringLiteral("files")].toArray()) {
        const QJsonObject o = f.toObject();
        TDxfFile file;
        for (const QJsonValue l : o[QStringLiteral("layers")].toArray())
            file.layers << l.toString();
        file.insunits = o[QStringLiteral("insunits")].toInt();
        const QJsonObject counts = o[QStringLiteral("counts")].toObject();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            file.counts[it.key()] = it.value().toInt();
        file.texts = o[QStringLiteral("texts")].toObject();
        file.dimensionLines = o[QStringLiteral("dimensionLines")].toArray();
        file.circles = o[QStringLiteral("circles")].toArray();
        back.files.push_back(std::move(file));
    }
    return back;
}

constexpr TDiagramKind kKinds[] = {TDiagramKind::dkCrossSection, TDiagramKind::dkPlanView,
                                   TDiagramKind::dkGuardrail};

// The six drawings of the two examples, written and read back once for all the tests.
class DxfOutput : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        QStringList paths;
        for (bool si : {false, true}) {
            const test::TOpenWall wall = test::OpenWall(si);
            for (TDiagramKind kind : kKinds) {
                const QString path = dir_->filePath(
                    QStringLiteral("%1-%2.dxf").arg(si ? "si" : "en").arg(static_cast<int>(kind)));
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write(
                        RenderDiagramVector(*wall.form, kind, DxfRasterSize(), TVectorFormat::Dxf));
                paths << path;
            }
        }
        back_ = new TReadBack(ReadBack(paths));
    }
    static void TearDownTestSuite()
    {
        delete back_;
        delete dir_;
    }
    static const TDxfFile& File(bool si, TDiagramKind kind)
    {
        static const TDxfFile none;
        const std::size_t i = (si ? 3 : 0) + static_cast<std::size_t>(kind);
        return i < back_->files.size() ? back_->files[i] : none;
    }

    static QTemporaryDir* dir_;
    static TReadBack* back_;
};

QTemporaryDir* DxfOutput::dir_ = nullptr;
TReadBack* DxfOutput::back_ = nullptr;

} // namespace

TEST_F(DxfOutput, EveryDrawingHasTheLayersTheUnitAndNoPicture)
{
    ASSERT_EQ(back_->files.size(), 6u);
    for (bool si : {false, true})
        for (TDiagramKind kind : kKinds) {
            const TDxfFile& f = File(si, kind);
            for (const char* layer : {"STRUCTURE", "SOIL", "LOADS", "DIMENSIONS", "TEXT"})
                EXPECT_TRUE(f.layers.contains(QString::fromUtf8(layer)))
                    << layer << " kind " << static_cast<int>(kind) << " si " << si;
            EXPECT_EQ(f.insunits, si ? 6 : 2) << "metres or feet";
            EXPECT_EQ(f.OfType(QStringLiteral("IMAGE")), 0) << "a vector file holds no bitmap";
            EXPECT_GT(f.OfType(QStringLiteral("TEXT")), 0);
        }
}

TEST_F(DxfOutput, TheCrossSectionPutsEachPartOnItsLayer)
{
    for (bool si : {false, true}) {
        const TDxfFile& f = File(si, TDiagramKind::dkCrossSection);
        for (const char* layer : {"STRUCTURE", "SOIL", "DIMENSIONS", "TEXT"})
            EXPECT_GT(f.OnLayer(QString::fromUtf8(layer)), 0) << layer << " si " << si;
        // The soils' hatching is a pattern hatch, not lines; every text is on TEXT.
        EXPECT_GT(f.counts.count(QStringLiteral("HATCH@SOIL")), 0u);
        EXPECT_EQ(f.OfType(QStringLiteral("TEXT")), f.counts.at(QStringLiteral("TEXT@TEXT")));
    }
    const TDxfFile& english = File(false, TDiagramKind::dkCrossSection);
    for (const char* text : {"15 ft", "18.81 ft", "Backfill Soils"})
        EXPECT_TRUE(english.texts.contains(QString::fromUtf8(text))) << text;
    // The dimension's texts read upward beside their lines.
    EXPECT_EQ(english.texts[QStringLiteral("15 ft")].toArray()[2].toDouble(), 90.0);
}

// The shored height measured in the file, between the extension lines at the ends of its
// dimension, is the wall's within one pixel of the raster the file was drawn on.
TEST_F(DxfOutput, TheShoredHeightIsTrueToScale)
{
    for (bool si : {false, true}) {
        const test::TOpenWall wall = test::OpenWall(si);
        TDiagramDraw draw(*wall.form);
        const QSize size = DxfRasterSize();
        draw.Draw(TDiagramKind::dkCrossSection, size.width(), size.height());
        const double pixel = 1 / draw.TrueScale();
        const double H = static_cast<double>(wall.form->Project().ShoredHeight);

        // The dimension line nearest its label, and the horizontal lines its ends lie on.
        const TDxfFile& f = File(si, TDiagramKind::dkCrossSection);
        const QString label = QString::fromStdString(draw.FormatLength(H, 2, si ? "m" : "ft"));
        ASSERT_TRUE(f.texts.contains(label)) << label.toStdString();
        const double labelX = f.texts[label].toArray()[0].toDouble();
        double lineX = 0, bestGap = 1e9;
        for (const QJsonValue v : f.dimensionLines) {
            const QJsonArray l = v.toArray();
            if (l[0].toDouble() == l[2].toDouble() &&
                std::abs(l[0].toDouble() - labelX) < bestGap) {
                bestGap = std::abs(l[0].toDouble() - labelX);
                lineX = l[0].toDouble();
            }
        }
        double top = -1e9, bottom = 1e9;
        for (const QJsonValue v : f.dimensionLines) {
            const QJsonArray l = v.toArray();
            const double x1 = std::min(l[0].toDouble(), l[2].toDouble());
            const double x2 = std::max(l[0].toDouble(), l[2].toDouble());
            if (l[1].toDouble() == l[3].toDouble() && x1 < lineX && x2 > lineX) {
                top = std::max(top, l[1].toDouble());
                bottom = std::min(bottom, l[1].toDouble());
            }
        }
        EXPECT_NEAR(top - bottom, H, pixel) << "si " << si;
    }
}

TEST_F(DxfOutput, ThePlanSaysHowMuchItsDetailIsEnlarged)
{
    for (bool si : {false, true}) {
        const test::TOpenWall wall = test::OpenWall(si);
        TDiagramDraw draw(*wall.form);
        draw.Draw(TDiagramKind::dkPlanView, DxfRasterSize().width(), DxfRasterSize().height());
        ASSERT_GT(draw.Scale(), draw.TrueScale()) << "the detail is drawn larger than the strip";
        const QString note = QString::fromStdString(
            "Detail: " + draw.FormatLength(draw.Scale() / draw.TrueScale(), 1, "") +
            " x true scale");
        EXPECT_TRUE(File(si, TDiagramKind::dkPlanView).texts.contains(note)) << note.toStdString();
    }
}

// The piers of the strip are circles of the pier's diameter, their centres the pile spacing
// apart: the outline drawn outside the hole on the raster is the hole's edge in the file (it
// was half a pen width larger).
TEST_F(DxfOutput, ThePiersOfTheStripAreTrueToScale)
{
    for (bool si : {false, true}) {
        const test::TOpenWall wall = test::OpenWall(si);
        TDiagramDraw draw(*wall.form);
        draw.Draw(TDiagramKind::dkPlanView, DxfRasterSize().width(), DxfRasterSize().height());
        const double pixel = 1 / draw.TrueScale();
        const TTWData& p = wall.form->Project();
        std::vector<std::array<double, 3>> piers;
        for (const QJsonValue v : File(si, TDiagramKind::dkPlanView).circles) {
            const QJsonArray c = v.toArray();
            if (std::abs(2 * c[2].toDouble() - static_cast<double>(p.PileWidth)) < 0.2)
                piers.push_back({c[0].toDouble(), c[1].toDouble(), c[2].toDouble()});
        }
        ASSERT_EQ(piers.size(), 2u) << "si " << si;
        // The radius is a whole number of pixels on the raster.
        for (const auto& c : piers)
            EXPECT_NEAR(2 * c[2], static_cast<double>(p.PileWidth), 2 * pixel) << "si " << si;
        EXPECT_NEAR(std::abs(piers[1][0] - piers[0][0]), static_cast<double>(p.PileSpacing), pixel);
    }
}

// Every colour of the palette (as ezdxf knows it) is found again as itself.
TEST_F(DxfOutput, ColoursTakeTheNearestAutoCadColour)
{
    ASSERT_EQ(back_->aci.size(), 256);
    auto rgb = [&](int i) {
        const QJsonArray c = back_->aci[i].toArray();
        return std::array{c[0].toInt(), c[1].toInt(), c[2].toInt()};
    };
    for (int i = 1; i <= 255; ++i) {
        if (i == 7 || rgb(i) == std::array{0, 0, 0})
            continue; // black is 7: white on a dark ground, black on paper
        const auto [r, g, b] = rgb(i);
        const TColor colour = static_cast<TColor>(r | g << 8 | b << 16);
        EXPECT_EQ(rgb(NearestAci(colour)), rgb(i)) << "ACI " << i;
    }
    EXPECT_EQ(NearestAci(clBlack), 7);
}
