// The Noise Analysis window's refresh on an hour's run at 400 samples a
// second of three axes and the temperature (1.44 M samples each): three
// seconds of new samples, the analysis, the table and both charts drawn.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>

#include "bench/core/LoadAverage.h"
#include "tests/ui/UiRig.h"
#include "ui/noise/NoiseAnalysisWindow.h"
#include "ui/noise/NoiseChart.h"

namespace quenlor {
namespace {

constexpr double kRate = 400.0;
constexpr std::int64_t kHour = 1'440'000;

struct Source {
    std::mt19937_64 random{9};
    std::normal_distribution<double> noise{0.0, 350e-6};
    std::int64_t next = 0;
    void Add(NoiseRun& run, std::int64_t samples) {
        std::array<float, 4> v{};
        for (std::int64_t i = 0; i < samples; ++i, ++next) {
            for (int c = 0; c < 3; ++c)
                v[static_cast<std::size_t>(c)] = static_cast<float>((c == 2) + noise(random));
            v[3] = static_cast<float>(25.0 + 1e-6 * static_cast<double>(next));
            run.Add(static_cast<double>(next) / kRate, v);
        }
    }
};

void Draw(NoiseChart& chart) {
    QImage image(chart.size(), QImage::Format_RGB32);
    QPainter p(&image);
    chart.paint(p, image.rect());
}

void NoiseWindowRefresh(benchmark::State& state) {
    UiRig rig;
    NoiseAnalysisContext context{
        rig.registers(), rig.stack().registerTable(), rig.clock(), rig.ctx().engine, rig.messages(),
        rig.dir(),       [] { return true; }};
    NoiseAnalysisWindow window(std::move(context));
    window.show();
    QApplication::processEvents();
    Source source;
    auto run = std::make_unique<NoiseRun>(
        std::vector<std::string>{"XACCL_OUT", "YACCL_OUT", "ZACCL_OUT", "TEMP_OUT"}, 3600.0);
    source.Add(*run, kHour);
    window.showRun(std::move(run), {2, 3, 4, 5});
    for (auto _ : state) {
        source.Add(*window.run(), 3 * static_cast<std::int64_t>(kRate));
        window.refresh();
        Draw(window.allanChart());
        Draw(window.densityChart());
    }
    state.counters["samples_per_channel"] = static_cast<double>(window.run()->Samples());
    state.counters["load"] = LoadAverage();
}
BENCHMARK(NoiseWindowRefresh)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace quenlor

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
