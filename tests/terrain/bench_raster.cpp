// Speed of the raster source on a folder of four 1-arc-second SRTM tiles around 46 N 8 E:
// an 800-point profile across the corner where the tiles meet, warm (handles open, blocks
// cached) and cold (the folder opened and mosaicked first), and the warm cost per point of
// a 50,000-point profile.
#include "raster_builders.h"

#include <verdan/terrain/RasterSource.h>

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace verdan::terrain;

const GeoPoint From{45.935, 7.93};
const GeoPoint To{46.065, 8.07};

// The four tiles, written once per run.
const std::string& tileFolder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/raster-bench-srtm/";
        std::filesystem::create_directories(path);
        for (const auto& [lat, lon] : {std::pair{45, 7}, {45, 8}, {46, 7}, {46, 8}}) {
            const std::string file = path + srtmTileName(lat, lon);
            if (std::filesystem::exists(file))
                continue;
            std::string error;
            if (!writeRaster(
                    file, srtmTileLayout(lat, lon),
                    [](double x, double y) {
                        return 800 + 300 * std::sin(x * 90) * std::cos(y * 70);
                    },
                    &error))
                return std::string();
        }
        return path;
    }();
    return folder;
}

std::unique_ptr<TerrainSource> openTiles(benchmark::State& bench) {
    Status status;
    auto source = openRaster(tileFolder(), {}, status);
    if (!source)
        bench.SkipWithError(status.message.c_str());
    return source;
}

void sampleOnce(benchmark::State& bench, const TerrainSource& source, int points) {
    Profile profile;
    const Status status = source.profile(From, To, points, profile);
    if (!status.ok || profile.filledPoints != 0)
        bench.SkipWithError(status.ok ? "points without data" : status.message.c_str());
    benchmark::DoNotOptimize(profile.elevationsM.data());
}

void BM_Profile800Warm(benchmark::State& bench) {
    const auto source = openTiles(bench);
    if (!source)
        return;
    sampleOnce(bench, *source, 800);
    for (auto _ : bench)
        sampleOnce(bench, *source, 800);
}
BENCHMARK(BM_Profile800Warm)->Unit(benchmark::kMicrosecond);

void BM_Profile800ColdOpen(benchmark::State& bench) {
    for (auto _ : bench) {
        const auto source = openTiles(bench);
        if (!source)
            return;
        sampleOnce(bench, *source, 800);
    }
}
BENCHMARK(BM_Profile800ColdOpen)->Unit(benchmark::kMillisecond);

void BM_Profile50000WarmPerPoint(benchmark::State& bench) {
    const auto source = openTiles(bench);
    if (!source)
        return;
    sampleOnce(bench, *source, RasterMaxPoints);
    for (auto _ : bench)
        sampleOnce(bench, *source, RasterMaxPoints);
    bench.SetItemsProcessed(bench.iterations() * RasterMaxPoints);
}
BENCHMARK(BM_Profile50000WarmPerPoint)->Unit(benchmark::kMillisecond);

} // namespace
