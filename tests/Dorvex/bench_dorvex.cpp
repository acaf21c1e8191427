// Speed of the two samplers from a cold start of the library: every iteration starts
// with a fresh state (no index, no open tile or database) and samples 800 points.
#include "profile.h"
#include "state.h"
#include "terrain_builders.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr float kDeg = 3.14159265358979323846f / 180.0f;

std::string scratchFolder(const std::string& name) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/dorvex-bench-" + name + "/";
}

double hills(double lat, double lon) {
    return 300.0 + 200.0 * std::sin(lat * 40.0) * std::cos(lon * 30.0) + 100.0 * (lat - 39.0);
}

// 800 points along the form's default path, within GLOBE tile f.
void BM_GlobeProfile800PointsColdStart(benchmark::State& bench) {
    const std::string folder = scratchFolder("globe");
    std::string error;
    if (!verdan::terrain::writeGlobeFolder(folder, hills, {{38.5, -77.5, 39.5, -76.0}}, &error)) {
        bench.SkipWithError(error.c_str());
        return;
    }
    std::string path = folder;
    path.resize(150, ' ');
    std::vector<float> profile(802);
    for (auto _ : bench) {
        dorvex::resetLibraryState();
        const int result =
            dorvex::NGET_GLOBE_PFL(39.08f, -76.70f, 38.92f, -76.98f, 800, profile.data(),
                                   static_cast<int>(folder.size()), path.c_str());
        benchmark::DoNotOptimize(result);
        if (result != 1) {
            bench.SkipWithError("GLOBE profile failed");
            break;
        }
    }
    dorvex::resetLibraryState();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GlobeProfile800PointsColdStart)->Unit(benchmark::kMillisecond);

// 800 points over 360 km of a 3-arc-second Quarn database (about 130 blocks read).
void BM_QuarnProfile800PointsColdStart(benchmark::State& bench) {
    const std::string folder = scratchFolder("quarn");
    verdan::terrain::QuarnDatabaseLayout layout;
    layout.name = "BENCH";
    layout.spacingSec = 3;
    layout.southMin = 39 * 60;
    layout.westMin = -80 * 60;
    layout.northMin = 40 * 60;
    layout.eastMin = -75 * 60;
    layout.scale = 4;
    std::string error;
    verdan::terrain::QuarnIndexEntry entry{
        "BENCH", layout.southMin, layout.westMin, layout.northMin, layout.eastMin, 3, 'D', 1};
    if (!verdan::terrain::writeQuarnDatabase(folder, layout, hills, &error) ||
        !verdan::terrain::writeQuarnIndex(folder + "TOPO.INF", {entry}, &error)) {
        bench.SkipWithError(error.c_str());
        return;
    }
    ::setenv("TOPOINFPATH", folder.c_str(), 1);
    ::setenv("TOPODATPATH", folder.c_str(), 1);
    std::vector<float> distances(800);
    std::vector<float> elevations(800);
    for (auto _ : bench) {
        dorvex::resetLibraryState();
        char name[dorvex::kQuarnNameWidth];
        std::fill(name, name + dorvex::kQuarnNameWidth, ' ');
        int points = 0, status = 0, errorNumber = 0;
        dorvex::PRFILE(39.5f * kDeg, -79.9f * kDeg, 39.45f * kDeg, -75.7f * kDeg, 450.0f,
                       6378137.0f, 0.0033528110943734646f, 0, name, 4, "D   ", 0.0f, 800,
                       distances.data(), elevations.data(), points, status, errorNumber);
        benchmark::DoNotOptimize(elevations.data());
        if (status != 0 || points != 800 || errorNumber != 0) {
            bench.SkipWithError("Quarn profile failed");
            break;
        }
    }
    dorvex::resetLibraryState();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_QuarnProfile800PointsColdStart)->Unit(benchmark::kMillisecond);

} // namespace
