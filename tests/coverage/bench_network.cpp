// A network of 20 sites, each a 30 km map at 3 arc-seconds over a synthetic 3-arc-second
// GeoTIFF of hills, on 2 threads, each map written as a GeoTIFF and all merged (strongest
// power, best server, overlap, SINR over four channels) into GeoTIFF, PNG and KML. Goal on 2
// cores: 20 s.
#include "raster_builders.h"

#include <verdan/coverage/Network.h>
#include <verdan/terrain/RasterSource.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

namespace {

using namespace verdan;

// Hills 1.6 by 1.44 degrees around 45.4 N 7.5 E, 3 arc-seconds a cell.
std::string hillsRaster(const std::filesystem::path& dir) {
    const std::string path = (dir / "hills.tif").string();
    terrain::RasterLayout layout;
    layout.width = 1920;
    layout.height = 1728;
    layout.geoTransform = {6.7, 3 / 3600.0, 0, 46.1, 0, -3 / 3600.0};
    std::string error;
    terrain::writeRaster(
        path, layout,
        [](double x, double y) {
            return 600 + 300 * std::sin(x * 40) * std::cos(y * 35) + 40 * std::sin(x * 400);
        },
        &error);
    return path;
}

// Site `i` of 20: a grid of 5 by 4 sites 0.2 degrees of longitude and 0.25 of latitude apart,
// on four channels 200 kHz apart.
coverage::CoverageInputs siteInputs(int i) {
    coverage::CoverageInputs in;
    in.tx = {45.0 + 0.25 * (i / 5), 7.1 + 0.2 * (i % 5)};
    in.txHeightM = 30;
    in.freqMHz = 900 + 0.2 * (i % 4);
    in.radiusKm = 30;
    in.resolutionSec = 3;
    in.transmitter.powerDbm = 43;
    in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -95};
    return in;
}

void BM_Network20Sites30Km3Sec(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "verdan-bench-network";
    std::filesystem::create_directories(dir);
    terrain::Status status;
    const auto raster = terrain::openRaster(hillsRaster(dir), {}, status);
    if (!raster) {
        state.SkipWithError(status.message.c_str());
        return;
    }
    for (auto _ : state) {
        std::vector<coverage::NetworkSite> sites;
        for (int i = 0; i < 20; ++i) {
            coverage::RunControl control;
            control.threads = 2;
            const coverage::CoverageInputs in = siteInputs(i);
            const coverage::CoverageResult result = coverage::runCoverage(in, *raster, control);
            const std::string prefix = (dir / ("site-" + std::to_string(i))).string();
            if (!result.ok ||
                !coverage::writeCoverageFiles(
                     result.grid, prefix, {true, false, false, {}, false},
                     coverage::MapStyle(coverage::MapQuantity::LossDb).colourScale(), "")
                     .ok) {
                state.SkipWithError("a site's map failed");
                return;
            }
            sites.push_back({std::to_string(i), prefix + ".tif", in.freqMHz});
        }
        coverage::ChannelSettings channel;
        channel.bandwidthHz = 200e3;
        coverage::NetworkGrid merged;
        if (!coverage::mergeNetwork(sites, channel, merged).ok ||
            !coverage::writeNetworkFiles(merged, sites, (dir / "net").string(), {}, "net").ok) {
            state.SkipWithError("the merge failed");
            return;
        }
        state.counters["merged_cells"] = static_cast<double>(merged.layout.cellCount());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Network20Sites30Km3Sec)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
