// One full panel frame on one core: an update of all seventeen gauges in the
// emulated module, then the labelled sheet drawn. Target: under 5 ms.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include "gaugehost.h"
#include "render/host_panel.h"

namespace {

using namespace gaugehost;

// A cruise state with every gauge showing something.
void SetCruise(Host& host) {
    const std::pair<uint32_t, double> cruise[] = {
        {61, 120}, {74, 4500}, {75, 1013}, {81, 90},  {855, 120}, {20, 300},   {39, 35},
        {49, 300}, {40, -40},  {44, 1},    {41, 30},  {80, 10},   {77, 3},     {390, 400},
        {558, 0.95}, {421, 192}, {567, 560}, {45, 45}, {614, 107}, {556, 8.33}, {557, 36042},
    };
    for (auto [token, value] : cruise) host.set(token, value);
}

void BM_PanelFrame(benchmark::State& state) {
    Host host(KEL_GAU_PATH);
    SetCruise(host);
    render::HostPanel panel(host);
    const auto [w, h] = panel.sheet_size();
    render::Surface canvas = render::MakeCanvas(w, h);
    cairo_t* cr = cairo_create(canvas.get());
    double t = 36042;
    for (auto _ : state) {
        host.set(557, t += 0.05);  // time moves, so the clock hands turn every frame
        panel.UpdateAll();
        panel.DrawSheetOn(cr);
        cairo_surface_flush(canvas.get());
    }
    cairo_destroy(cr);
    state.SetItemsProcessed(state.iterations() * 17);
}
BENCHMARK(BM_PanelFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The two halves on their own: the emulated updates, and the drawing.
void BM_PanelUpdateOnly(benchmark::State& state) {
    Host host(KEL_GAU_PATH);
    SetCruise(host);
    render::HostPanel panel(host);
    for (auto _ : state) panel.UpdateAll();
}
BENCHMARK(BM_PanelUpdateOnly)->Unit(benchmark::kMillisecond);

void BM_PanelDrawOnly(benchmark::State& state) {
    Host host(KEL_GAU_PATH);
    SetCruise(host);
    render::HostPanel panel(host);
    panel.UpdateAll();
    const auto [w, h] = panel.sheet_size();
    render::Surface canvas = render::MakeCanvas(w, h);
    cairo_t* cr = cairo_create(canvas.get());
    for (auto _ : state) {
        panel.DrawSheetOn(cr);
        cairo_surface_flush(canvas.get());
    }
    cairo_destroy(cr);
}
BENCHMARK(BM_PanelDrawOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
