// The drawings as SVG and PDF: drawn by the raster's code without changing the raster, read
// back as XML and through poppler, of vectors and texts only.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QPicture>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "DrawingWalls.h"
#include "drawing/DiagramDraw.h"

using namespace tw;
using namespace tw::drawing;

namespace {

constexpr TDiagramKind kKinds[] = {TDiagramKind::dkCrossSection, TDiagramKind::dkPlanView,
                                   TDiagramKind::dkGuardrail};

QString Output(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct TSvgCounts
{
    int paths = 0, texts = 0, images = 0;
    QString text; // every text, one a line
};

TSvgCounts ReadSvg(const QByteArray& svg)
{
    TSvgCounts counts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("path") || name == QLatin1String("polyline") ||
            name == QLatin1String("polygon") || name == QLatin1String("line"))
            ++counts.paths;
        else if (name == QLatin1String("image"))
            ++counts.images;
        else if (name == QLatin1String("text")) {
            ++counts.texts;
            counts.text += xml.readElementText(QXmlStreamReader::IncludeChildElements) + '\n';
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return counts;
}

} // namespace

// Drawing the vectors beside the raster leaves the raster as it is, pixel for pixel.
TEST(VectorOutput, TheRasterIsTheSameWithAMirror)
{
    for (bool si : {false, true}) {
        const test::TOpenWall wall = test::OpenWall(si);
        for (TDiagramKind kind : kKinds) {
            const QImage plain = wall.Render(kind, 1200, 900);
            QPicture recording;
            QPainter mirror(&recording);
            TPainterSink sink(mirror);
            TDiagramDraw draw(*wall.form);
            draw.SetVectorSink(&sink);
            draw.Draw(kind, 1200, 900);
            mirror.end();
            EXPECT_EQ(draw.TakePicture(), plain) << static_cast<int>(kind) << " si " << si;
        }
    }
}

TEST(VectorOutput, SvgHoldsVectorsAndTheDimensionTexts)
{
    const test::TOpenWall wall = test::OpenWall(false);
    struct Case
    {
        TDiagramKind kind;
        int leastPaths;
        std::vector<const char*> texts;
    } cases[] = {
        {TDiagramKind::dkCrossSection, 60, {"15 ft", "18.81 ft", "30 in", "Backfill Soils"}},
        {TDiagramKind::dkPlanView, 25, {"30 in", "18.4 in", "8 ft", "pier spacing"}},
        {TDiagramKind::dkGuardrail, 10, {}},
    };
    for (const Case& c : cases) {
        const TSvgCounts svg =
            ReadSvg(RenderDiagramVector(*wall.form, c.kind, QSize(1200, 900), TVectorFormat::Svg));
        EXPECT_GE(svg.paths, c.leastPaths) << static_cast<int>(c.kind);
        EXPECT_GT(svg.texts, 0);
        EXPECT_EQ(svg.images, 0) << "a vector file holds no bitmap of the drawing";
        for (const char* text : c.texts)
            EXPECT_TRUE(svg.text.contains(QString::fromUtf8(text))) << text;
    }
}

TEST(VectorOutput, PdfHoldsTheTextsAndNoPicture)
{
    const test::TOpenWall wall = test::OpenWall(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("section.pdf"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(RenderDiagramVector(*wall.form, TDiagramKind::dkCrossSection, QSize(1600, 1000),
                                       TVectorFormat::Pdf));
    }
    const QString text = Output(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    // The dimensions (shored height, embedment, pier and section widths) and the soils' column.
    for (const char* expected : {"4.5 m", "5.65 m", "75 cm", "46.7 cm", "Backfill Soils"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    const QStringList images = Output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                   .split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << "the header only:\n" << images.join('\n').toStdString();
    // One page the size of the drawing's raster (in points), cut to the width it used.
    const QString info = Output(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           1"))) << info.toStdString();
}

TEST(VectorOutput, NothingToDrawGivesNoFile)
{
    const test::TOpenWall wall = test::OpenWall(false);
    for (TVectorFormat format : {TVectorFormat::Svg, TVectorFormat::Pdf})
        EXPECT_TRUE(
            RenderDiagramVector(*wall.form, TDiagramKind::dkPlanView, QSize(100, 80), format)
                .isEmpty());
}
