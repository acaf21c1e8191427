#pragma once

#include "CoverageRun.h"
#include "FrmCoverageModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace verdan::test {

/// Terrain rising 1 m per 0.001 degree of longitude east of 0 E, from 100 m.
class SlopeTerrain : public terrain::TerrainSource {
public:
    std::string displayName() const override { return "Slope"; }
    int pointCountFor(terrain::GeoPoint, terrain::GeoPoint) const override { return 100; }
    terrain::Status profile(terrain::GeoPoint from, terrain::GeoPoint to, int count,
                            terrain::Profile& out) const override {
        out.elevationsM.clear();
        for (int i = 0; i < count; ++i)
            out.elevationsM.push_back(
                height(from.lonDeg + (to.lonDeg - from.lonDeg) * i / (count - 1)));
        return terrain::Status::success();
    }
    terrain::Status elevationAt(terrain::GeoPoint at, double& elevationM) const override {
        elevationM = height(at.lonDeg);
        return terrain::Status::success();
    }
    static double height(double lonDeg) { return 100 + lonDeg * 1000; }
};

/// A run of 8 x 8 cells around the transmitter: column c has a loss of 105 + 10 c dB (field
/// 85 - 10 c dBµV/m), the north-west cell has no value and the south-east cell a model
/// warning.
inline coverage::CoverageResult syntheticRun(const coverage::CoverageInputs& in) {
    coverage::CoverageResult result;
    result.ok = true;
    coverage::CoverageGrid& grid = result.grid;
    grid.columns = grid.rows = 8;
    grid.cellDeg = in.resolutionSec / 3600;
    grid.westLonDeg = in.tx.lonDeg - 4 * grid.cellDeg;
    grid.northLatDeg = in.tx.latDeg + 4 * grid.cellDeg;
    grid.txColumn = grid.txRow = 4;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            grid.lossDb.push_back(static_cast<float>(105 + 10 * c));
            grid.fieldDbuvm.push_back(static_cast<float>(85 - 10 * c));
            grid.powerDbm.push_back(static_cast<float>(-50 - 10 * c));
            grid.warning.push_back(r == 7 && c == 7 ? 3 : 0);
        }
    }
    grid.lossDb[0] = grid.fieldDbuvm[0] = grid.powerDbm[0] =
        std::numeric_limits<float>::quiet_NaN();
    return result;
}

/// Received power of the transmitter's output less 90 dB in its own column, 10 dB less per
/// column away, on the grid of `syntheticRun`; margin over a -65 dBm threshold.
inline coverage::CoverageResult columnFalloff(const coverage::CoverageInputs& in) {
    coverage::CoverageResult result = syntheticRun(in);
    coverage::CoverageGrid& grid = result.grid;
    grid.marginDb.clear();
    for (std::size_t cell = 0; cell < 64; ++cell) {
        grid.powerDbm[cell] = float(*in.transmitter.powerDbm - 90 - 10 * std::abs(int(cell % 8) - 4));
        grid.marginDb.push_back(grid.powerDbm[cell] + 65);
    }
    return result;
}

/// The window's services running `syntheticRun` over `SlopeTerrain`.
inline CoverageServices syntheticServices() {
    CoverageServices services;
    services.engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                         coverage::RunControl&) { return syntheticRun(in); };
    services.terrain = [](const PathState&, QString&) { return std::make_shared<SlopeTerrain>(); };
    return services;
}

/// Fills the path's coordinate fields in their order (Tx latitude first).
inline void setPathCoords(PathState& path,
                          const std::array<const char*, PathState::CoordCount>& coords) {
    for (int c = 0; c < PathState::CoordCount; ++c)
        path.coords[static_cast<std::size_t>(c)] = QLatin1String(coords[static_cast<std::size_t>(c)]);
}

/// Makes the test program's application object, of class `App`, the first time it is asked.
template <class App>
void makeApplication() {
    static int argc = 1;
    static char name[] = "verdan-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new App(argc, argv);
}

/// An engine that works until it is cancelled, reporting progress.
inline coverage::CoverageResult endlessRun(const coverage::CoverageInputs&,
                                           const terrain::TerrainSource&,
                                           coverage::RunControl& control) {
    for (int i = 0; !control.cancel; ++i) {
        control.progress((i % 100) / 100.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    coverage::CoverageResult result;
    result.cancelled = true;
    return result;
}

/// Processes events until `done` holds or 10 s have passed; false on the timeout.
template <class Predicate>
bool processUntil(Predicate done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace verdan::test
