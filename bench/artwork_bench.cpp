// The artwork generator's run time, and what KEL.gau weighs besides its bitmaps.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "pe.h"

namespace {

// One whole run of the generator: draw, quantise and write all 58 bitmaps.
void BM_GenerateArtwork(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / ("kel-artwork-bench-" + std::to_string(::getpid()));
    const std::string command = std::string("\"") + KEL_ARTWORK_EXE + "\" \"" + dir.string() + "\" >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("kel-artwork failed");
            break;
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_GenerateArtwork)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reports the module's size, the sum of its bitmap resources, and the rest, which is
// meant to stay under 32 KiB.
void BM_ModuleSizeBesidesBitmaps(benchmark::State& state) {
    const auto pe = gaugehost::read_pe_file(KEL_GAU_PATH);
    double bitmaps = 0;
    for (const auto& r : pe.resources)
        if (r.type == 2) bitmaps += r.size;
    const double file = double(std::filesystem::file_size(KEL_GAU_PATH));
    for (auto _ : state) benchmark::DoNotOptimize(file);
    state.counters["file_bytes"] = file;
    state.counters["bitmap_bytes"] = bitmaps;
    state.counters["rest_bytes"] = file - bitmaps;
    state.counters["rest_target_bytes"] = 32 * 1024;
}
BENCHMARK(BM_ModuleSizeBesidesBitmaps)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
