// gaugehost speed: loading KEL.gau, one value callback, one gauge update.
// Each callback benchmark reports the instructions the emulator executed per call.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "gaugehost.h"

namespace {

using namespace gaugehost;

bool have_kel(benchmark::State& state) {
    if (std::filesystem::exists(KEL_GAU)) return true;
    state.SkipWithError("KEL.gau is not built");
    return false;
}

// Parse, map, relocate (when moved), entry point attach, ModuleInit; then teardown.
void BM_LoadKel(benchmark::State& state) {
    if (!have_kel(state)) return;
    HostOptions options;
    if (state.range(0)) options.base = 0x30000000;
    for (auto _ : state) {
        Host host(KEL_GAU, options);
        benchmark::DoNotOptimize(host.model().gauges.size());
    }
}
BENCHMARK(BM_LoadKel)->Arg(0)->Arg(1)->ArgName("moved")->Unit(benchmark::kMillisecond);

// The AIRSPEED needle's value callback: refresh its variable, call, read ST0.
void BM_AirspeedCallback(benchmark::State& state) {
    if (!have_kel(state)) return;
    Host host(KEL_GAU);
    host.set(61, 123.0);
    uint64_t instructions = 0;
    for (auto _ : state) {
        CallResult r = host.call_callback("AIRSPEED", 1);
        benchmark::DoNotOptimize(r.value);
        instructions = r.instructions;
    }
    state.counters["instructions_per_call"] = double(instructions);
}
BENCHMARK(BM_AirspeedCallback)->Unit(benchmark::kMicrosecond);

// A whole update of a gauge with several callbacks, one of them formatting text.
void BM_UpdateGauge(benchmark::State& state, const char* gauge) {
    if (!have_kel(state)) return;
    Host host(KEL_GAU);
    for (auto [token, value] : {std::pair{74u, 12345.0}, {75u, 1013.25}, {557u, 43210.0}, {81u, 90.0}, {855u, 45.0}})
        host.set(token, value);
    uint64_t instructions = 0;
    for (auto _ : state) {
        auto results = host.update(gauge);
        instructions = 0;
        for (const ElementResult& r : results) instructions += r.instructions;
        benchmark::DoNotOptimize(results.data());
    }
    state.counters["instructions_per_update"] = double(instructions);
}
BENCHMARK_CAPTURE(BM_UpdateGauge, ALTIMETER, "ALTIMETER")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_UpdateGauge, COMPASS, "COMPASS")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
