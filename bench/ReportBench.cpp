// The printed report of the English example written as PDF into memory, all six pages: the
// target is under one second (the whole "tarnwick-cli report" process too).
#include <cstdlib>

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include "report/Report.h"
#include "support/OpenWall.h"

using namespace tw;

namespace {

void BM_EnglishExampleReportPdf(benchmark::State& state)
{
    const auto wall = test::OpenWallAs(false);
    const form::TMainForm& form = *wall.form;
    qint64 bytes = 0;
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::Letter));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            writer.setResolution(1200);
            report::GenerateReport(form, writer);
        }
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["PDF_KB"] = static_cast<double>(bytes) / 1024;
}

} // namespace

BENCHMARK(BM_EnglishExampleReportPdf)->Unit(benchmark::kMillisecond);

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
