// The desktop window's share of the work: one committed input change with every widget of the
// window brought up to date, and the start-up to a shown window filled with a new project.
// Runs on the offscreen platform unless another one is chosen.
#include <cstdlib>
#include <filesystem>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "ui/Graphs.h"
#include "ui/TWMain.h"

using namespace tw;

namespace {

// The example projects are made by the command-line tool's build.
std::filesystem::path ExampleFolder()
{
    return std::filesystem::path(TW_BINARY_DIR) / "cli";
}

// A shown main window filled with a new project.
void ShowNewProject(TfrmTWMain& window)
{
    window.resize(1400, 900);
    window.show();
    window.NewProject();
    QApplication::processEvents();
}

TTWData ProjectBesideTheExamples()
{
    TTWData project;
    project.ExampleFolder = ExampleFolder();
    return project;
}

void BM_WindowCommit(benchmark::State& state)
{
    TTWData project = ProjectBesideTheExamples();
    TfrmTWMain window(project);
    window.runUpdateCheck = {}; // no network here
    ShowNewProject(window);
    bool flip = false;
    for (auto _ : state) {
        // What leaving the box does: the text into the form, the commit, the widgets again.
        window.form().EditBox(form::Box::ShoredHeight, flip ? "15" : "14");
        flip = !flip;
        const form::TCommitResult r = window.form().Commit();
        window.Refresh();
        benchmark::DoNotOptimize(r);
    }
}

// The same commit with the drawing on view drawn again, as the next paint does: one frame's
// work (16 ms) at most. The window is laid out at 1920 x 1080, the drawings in their column.
void BM_WindowCommitWithDrawing(benchmark::State& state)
{
    TTWData project = ProjectBesideTheExamples();
    TfrmTWMain window(project);
    window.runUpdateCheck = {}; // no network here
    ShowNewProject(window);
    window.resize(1920, 1080);
    QApplication::processEvents();
    ui::TDiagramView* view = window.drawingPage(TfrmTWMain::DrawingPage::CrossSection);
    bool flip = false;
    for (auto _ : state) {
        window.form().EditBox(form::Box::ShoredHeight, flip ? "15" : "14");
        flip = !flip;
        const form::TCommitResult r = window.form().Commit();
        window.Refresh();
        view->EnsureDrawn();
        benchmark::DoNotOptimize(view->Picture());
        benchmark::DoNotOptimize(r);
    }
    state.counters["drawing px"] = view->width() * view->height();
}

// "View All Graphs" on the English example: the graphs built, rendered and the window painted.
// Target: 100 ms from the click.
void BM_OpenAllGraphs(benchmark::State& state)
{
    TTWData project = ProjectBesideTheExamples();
    TfrmTWMain window(project);
    window.runUpdateCheck = {}; // no network here
    ShowNewProject(window);
    for (auto _ : state) {
        ui::TfrmGraphs graphs(window.form(), form::TGraphKind::All, &window);
        graphs.show();
        graphs.repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(graphs.isVisible());
    }
}

void BM_StartupToFilledWindow(benchmark::State& state)
{
    for (auto _ : state) {
        TTWData project = ProjectBesideTheExamples();
        TfrmTWMain window(project);
        ShowNewProject(window);
        benchmark::DoNotOptimize(window.isVisible());
    }
}

} // namespace

BENCHMARK(BM_WindowCommit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowCommitWithDrawing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAllGraphs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupToFilledWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
