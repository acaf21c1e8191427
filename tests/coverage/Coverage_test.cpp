#include "SyntheticTerrain.h"

#include "RadialPlan.h"

#include "pmverdan.h"

#include <verdan/coverage/Coverage.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

using namespace verdan;
using namespace verdan::coverage;
using verdan::test::SyntheticTerrain;

namespace {

double hills(terrain::GeoPoint at) {
    return 200 + 80 * std::sin(at.latDeg * 260) * std::cos(at.lonDeg * 190) +
           30 * std::sin(at.lonDeg * 900);
}

CoverageInputs smallRun() {
    CoverageInputs in;
    in.tx = {0.013, -0.021};
    in.txHeightM = 30;
    in.freqMHz = 450;
    in.radiusKm = 6;
    in.resolutionSec = 10;
    return in;
}

CoverageResult run(const CoverageInputs& in, const terrain::TerrainSource& terrain,
                   unsigned threads) {
    RunControl control;
    control.threads = threads;
    return runCoverage(in, terrain, control);
}

float lossAt(const CoverageGrid& grid, int row, int column) {
    return grid.lossDb[static_cast<std::size_t>(row) * grid.columns + column];
}

TEST(Coverage, IdenticalForAnyThreadCountAndFillsTheDisk) {
    const SyntheticTerrain terrain(hills, 30);
    const CoverageInputs in = smallRun();
    const CoverageResult one = run(in, terrain, 1);
    ASSERT_TRUE(one.ok) << one.message;
    for (unsigned threads : {2U, 5U}) {
        const CoverageResult many = run(in, terrain, threads);
        ASSERT_TRUE(many.ok) << many.message;
        ASSERT_EQ(many.grid.lossDb.size(), one.grid.lossDb.size());
        EXPECT_TRUE(std::memcmp(many.grid.lossDb.data(), one.grid.lossDb.data(),
                                one.grid.lossDb.size() * sizeof(float)) == 0)
            << threads << " threads";
        EXPECT_EQ(many.grid.warning, one.grid.warning);
    }
    // Every cell of the disk has a loss, and only those: the count is the disk's area.
    long long finite = 0;
    for (float lossDb : one.grid.lossDb)
        finite += std::isfinite(lossDb) ? 1 : 0;
    const double cellKm = in.resolutionSec / 3600 * 111.195;
    const double diskCells =
        M_PI * in.radiusKm * in.radiusKm / (cellKm * cellKm * std::cos(in.tx.latDeg * M_PI / 180));
    EXPECT_NEAR(static_cast<double>(finite), diskCells, 0.02 * diskCells);
    EXPECT_TRUE(std::isfinite(lossAt(one.grid, one.grid.txRow, one.grid.txColumn)));
}

TEST(Coverage, EveryCellTakesTheNearestRadialSample) {
    const SyntheticTerrain terrain(hills, 45);
    CoverageInputs in = smallRun();
    in.tx = {47.3, 8.1};
    in.radiusKm = 3;
    in.resolutionSec = 12;
    const CoverageGrid grid = gridLayout(in);
    detail::RadialPlan plan;
    const std::atomic<bool> cancel{false};
    ASSERT_TRUE(detail::planRadials(in, grid, terrain, 2, cancel, plan));
    std::vector<terrain::GeoPoint> samples;                        // every sample of every radial
    std::vector<terrain::GeoPoint> taken(plan.sampleIndex.size()); // the plan's samples
    for (std::size_t r = 0; r < plan.radials.size(); ++r) {
        const detail::Radial& radial = plan.radials[r];
        const auto at = [&](std::uint32_t i) {
            return detail::destination(in.tx, radial.bearingRad,
                                       in.radiusKm * 1000 * i / (radial.points - 1));
        };
        for (int i = 1; i < radial.points; ++i)
            samples.push_back(at(static_cast<std::uint32_t>(i)));
        for (std::uint32_t k = plan.firstSample[r]; k < plan.firstSample[r + 1]; ++k)
            taken[k] = at(plan.sampleIndex[k]);
    }
    int cells = 0;
    int farther = 0;
    for (std::size_t cell = 0; cell < plan.cellSample.size(); ++cell) {
        if (plan.cellSample[cell] < 0)
            continue;
        const auto row = static_cast<int>(cell) / grid.columns;
        const terrain::GeoPoint centre{grid.centreLatDeg(row),
                                       grid.centreLonDeg(static_cast<int>(cell) % grid.columns)};
        double nearestM = 1e300;
        for (const terrain::GeoPoint sample : samples)
            nearestM = std::min(nearestM, detail::polarOf(centre, sample).distM);
        ++cells;
        const terrain::GeoPoint chosen = taken[static_cast<std::size_t>(plan.cellSample[cell])];
        farther += detail::polarOf(centre, chosen).distM > nearestM + 1.0 ? 1 : 0;
    }
    EXPECT_GT(cells, 250);
    EXPECT_LE(farther, cells / 200) << "of " << cells;
}

struct Sample {
    float lossDb;
    int warning;
};

// Every sample of the plan, each computed on its own through the model's published
// point-to-point routines over a copy of the path's profile.
std::vector<Sample> samplesOneByOne(const CoverageInputs& in, const detail::RadialPlan& plan,
                                    const terrain::TerrainSource& terrain) {
    std::vector<Sample> samples(plan.sampleIndex.size());
    for (std::size_t r = 0; r < plan.radials.size(); ++r) {
        terrain::Profile profile;
        EXPECT_TRUE(
            terrain.profile(in.tx, plan.radials[r].end, plan.radials[r].points, profile).ok);
        for (std::uint32_t k = plan.firstSample[r]; k < plan.firstSample[r + 1]; ++k) {
            const int np = static_cast<int>(plan.sampleIndex[k]);
            std::vector<double> pfl{static_cast<double>(np), profile.spacingM};
            pfl.insert(pfl.end(), profile.elevationsM.begin(),
                       profile.elevationsM.begin() + np + 1);
            // The system elevation: the mean of the points from about a tenth of the path to
            // about nine tenths.
            const auto ja = static_cast<int>(std::nearbyint(3.0 + 0.1 * np));
            double sumM = 0;
            for (int j = ja; j <= np - ja + 6; ++j)
                sumM += pfl[static_cast<std::size_t>(j) - 1];
            PropRecord prop{};
            PropvRecord propv{};
            PropaRecord propa{};
            prop.hg[0] = in.txHeightM;
            prop.hg[1] = in.rxHeightM;
            propv.lvar = 5;
            prop.mdp = -1;
            qlrps(in.freqMHz, sumM / (np - 2 * ja + 7), in.surfRefN, in.polarization, in.epsRel,
                  in.sgmSPerM, &prop);
            qlrpfl(pfl.data(), in.climate, 12, &prop, &propa, &propv);
            const double lossDb = avar(qerfi(in.reliabilityPct / 100), 0,
                                       qerfi(in.confidencePct / 100), &prop, &propv) +
                                  20 * std::log10(in.freqMHz) + 32.45 +
                                  20 * std::log10(prop.dist / 1000);
            samples[k] = {static_cast<float>(lossDb), prop.kwx};
        }
    }
    return samples;
}

TEST(Coverage, EveryCellWithinOneHundredthDbOfItsPathComputedAlone) {
    struct Case {
        const char* name;
        double (*elevationM)(terrain::GeoPoint);
        double txHeightM;
        double freqMHz;
    };
    const Case cases[] = {
        {"hills", hills, 30, 450},
        {"mountains", // 500 to 3100 m: the system elevation, and so the curvature, varies
         [](terrain::GeoPoint at) {
             return 1800 + 1100 * std::sin(at.latDeg * 90 + 0.3) * std::cos(at.lonDeg * 70) +
                    200 * std::sin(at.lonDeg * 700) * std::sin(at.latDeg * 500);
         },
         10, 1800},
        {"plain with a ridge and a pit", // line of sight and shadow side by side
         [](terrain::GeoPoint at) {
             const double ridge = std::fabs(at.latDeg - at.lonDeg * 0.5 - 0.03) < 0.004 ? 250 : 0;
             const double pit = std::hypot(at.latDeg + 0.02, at.lonDeg - 0.01) < 0.01 ? -60 : 0;
             return 120 + ridge + pit;
         },
         60, 150},
    };
    for (const Case& c : cases) {
        const SyntheticTerrain terrain(c.elevationM, 30);
        CoverageInputs in = smallRun();
        in.tx = {0.001, 0.002};
        in.radiusKm = 8;
        in.txHeightM = c.txHeightM;
        in.freqMHz = c.freqMHz;
        const CoverageResult result = run(in, terrain, 2);
        ASSERT_TRUE(result.ok) << result.message;
        detail::RadialPlan plan;
        const std::atomic<bool> cancel{false};
        ASSERT_TRUE(detail::planRadials(in, result.grid, terrain, 2, cancel, plan));
        const std::vector<Sample> alone = samplesOneByOne(in, plan, terrain);
        int cells = 0;
        int otherWarning = 0;
        float worstDb = 0;
        for (std::size_t cell = 0; cell < plan.cellSample.size(); ++cell) {
            if (plan.cellSample[cell] < 0)
                continue;
            ++cells;
            const Sample& sample = alone[static_cast<std::size_t>(plan.cellSample[cell])];
            worstDb = std::max(worstDb, std::fabs(result.grid.lossDb[cell] - sample.lossDb));
            otherWarning += result.grid.warning[cell] == sample.warning ? 0 : 1;
        }
        EXPECT_GT(cells, 2000) << c.name;
        EXPECT_LE(worstDb, 0.01F) << c.name;
        EXPECT_EQ(otherWarning, 0) << c.name;
    }
}

TEST(Coverage, RidgeCastsAShadow) {
    // A 300 m ridge 4.5 to 5.5 km north of the transmitter, across the whole map.
    const SyntheticTerrain terrain(
        [](terrain::GeoPoint at) {
            return at.latDeg > 0.0405 && at.latDeg < 0.0495 ? 400.0 : 100.0;
        },
        30);
    CoverageInputs in = smallRun();
    in.tx = {0, 0};
    in.radiusKm = 9;
    const CoverageResult result = run(in, terrain, 2);
    ASSERT_TRUE(result.ok) << result.message;
    const CoverageGrid& g = result.grid;
    const int rowsFor8Km = static_cast<int>(8.0 / (in.resolutionSec / 3600 * 111.195));
    for (int dc : {-5, 0, 5}) {
        const float north = lossAt(g, g.txRow - rowsFor8Km, g.txColumn + dc);
        const float south = lossAt(g, g.txRow + rowsFor8Km, g.txColumn + dc);
        EXPECT_GT(north, south + 15) << "column offset " << dc;
    }
}

TEST(Coverage, CancelStopsWithin100Milliseconds) {
    const SyntheticTerrain terrain(hills, 10);
    CoverageInputs in = smallRun();
    in.radiusKm = 20;
    RunControl control;
    control.threads = 2;
    std::chrono::steady_clock::time_point cancelledAt;
    control.progress = [&](double fraction) {
        if (fraction > 0.2 && !control.cancel.exchange(true))
            cancelledAt = std::chrono::steady_clock::now();
    };
    const CoverageResult result = runCoverage(in, terrain, control);
    const auto stoppedAfter = std::chrono::steady_clock::now() - cancelledAt;
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.grid.lossDb.empty());
    EXPECT_LT(stoppedAfter, std::chrono::milliseconds(100));
}

class BrokenTerrain : public SyntheticTerrain {
public:
    BrokenTerrain() : SyntheticTerrain(hills, 30) {}
    terrain::Status profile(terrain::GeoPoint, terrain::GeoPoint, int,
                            terrain::Profile&) const override {
        return terrain::Status::failure("tile n00e000.tif is damaged");
    }
};

// Over flat ground, 20 km around the transmitter at 301 N-units: 301 exp(-2000 / 9460) =
// 243.6 N-units at 2000 m, below the model's 250, so every cell warns of it; 256.9 N-units at
// 1500 m, within range.
TEST(Coverage, WarnsOfLowRefractivityOverHighGround) {
    for (const auto& [elevationM, warned] : {std::pair{2000.0, true}, std::pair{1500.0, false}}) {
        const SyntheticTerrain flat([elevationM](terrain::GeoPoint) { return elevationM; }, 90);
        CoverageInputs in;
        in.radiusKm = 20;
        in.resolutionSec = 60;
        in.surfRefN = 301;
        const CoverageResult result = run(in, flat, 2);
        ASSERT_TRUE(result.ok) << result.message;
        long cells = 0;
        long low = 0;
        for (std::size_t i = 0; i < result.grid.warningCause.size(); ++i) {
            const bool inDisk = !std::isnan(result.grid.lossDb[i]);
            cells += inDisk ? 1 : 0;
            low += inDisk && result.grid.warningCause[i] == WarningCause::RefractivityLow ? 1 : 0;
        }
        EXPECT_GT(cells, 0);
        EXPECT_EQ(low, warned ? cells : 0) << elevationM;
    }
}

TEST(Coverage, RefusesWithAClearMessage) {
    const SyntheticTerrain small(hills, 30, 0.03);
    const SyntheticTerrain wide(hills, 30);
    const BrokenTerrain broken;
    using Change = void (*)(CoverageInputs&);
    const struct {
        const terrain::TerrainSource& terrain;
        Change change;
        const char* expected;
    } cases[] = {
        {small, [](CoverageInputs&) {}, "do not cover the radius of 6.0 km"},
        {broken, [](CoverageInputs&) {}, "tile n00e000.tif is damaged"},
        {wide,
         [](CoverageInputs& in) {
             in.radiusKm = 400;
             in.resolutionSec = 1;
         },
         "at most 50000000"},
        {wide, [](CoverageInputs& in) { in.tx.lonDeg = 179.99; }, "180th meridian"},
        {wide, [](CoverageInputs& in) { in.radiusKm = std::nan(""); }, "radius: 1..2000 km"},
        {wide, [](CoverageInputs& in) { in.receiver.threshold = verdan::radio::Threshold{}; },
         "a threshold needs a transmitter power or an ERP"},
        {wide,
         [](CoverageInputs& in) {
             in.erpDbw = 10;
             in.transmitter.powerDbm = 40;
         },
         "an ERP or a transmitter power, not both"},
    };
    for (const auto& c : cases) {
        CoverageInputs in = smallRun();
        c.change(in);
        const CoverageResult result = run(in, c.terrain, 2);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_NE(result.message.find(c.expected), std::string::npos) << result.message;
    }
}

} // namespace
