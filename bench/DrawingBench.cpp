// The three drawings of the English example at 1920 x 1080 (a full-screen enlargement), one
// after the other: the target is one frame, 16 ms, for the three together.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "drawing/DiagramDraw.h"
#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"

using namespace tw;

namespace {

void BM_ThreeDrawingsFullHD(benchmark::State& state)
{
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/resources/examples/ENGLISH UNITS EXAMPLE.json");
    std::ostringstream json;
    json << in.rdbuf();
    TTWData project;
    ProjectFromJson(json.str(), project);
    form::TMainForm form(project);
    form.AfterOpen();
    // As the window's views do: each drawing drawn again on its own picture's memory.
    QImage pictures[3];
    for (auto _ : state) {
        for (int kind = 0; kind < 3; ++kind) {
            if (pictures[kind].isNull())
                pictures[kind] = QImage(1920, 1080, QImage::Format_RGB32);
            drawing::DrawDiagramOnImage(pictures[kind], form,
                                        static_cast<drawing::TDiagramKind>(kind));
            benchmark::DoNotOptimize(pictures[kind].constBits());
        }
    }
}

} // namespace

// Each drawing of the English example as an SVG document and as a PDF page at 1200 x 900, and
// as a DXF file on its 4000 x 3000 raster (target 50 ms a file).
void VectorFile(benchmark::State& state, drawing::TVectorFormat format)
{
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/resources/examples/ENGLISH UNITS EXAMPLE.json");
    std::ostringstream json;
    json << in.rdbuf();
    TTWData project;
    ProjectFromJson(json.str(), project);
    form::TMainForm form(project);
    form.AfterOpen();
    const auto kind = static_cast<drawing::TDiagramKind>(state.range(0));
    const QSize size =
        format == drawing::TVectorFormat::Dxf ? drawing::DxfRasterSize() : QSize(1200, 900);
    for (auto _ : state)
        benchmark::DoNotOptimize(drawing::RenderDiagramVector(form, kind, size, format).size());
}
void BM_DrawingSvg(benchmark::State& state)
{
    VectorFile(state, drawing::TVectorFormat::Svg);
}
void BM_DrawingPdf(benchmark::State& state)
{
    VectorFile(state, drawing::TVectorFormat::Pdf);
}
void BM_DrawingDxf(benchmark::State& state)
{
    VectorFile(state, drawing::TVectorFormat::Dxf);
}

BENCHMARK(BM_ThreeDrawingsFullHD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawingSvg)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawingPdf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawingDxf)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
