// The planning map window with several results: two sites' maps and a network's layers.
#include "FrmPlanningMapView.h"

#include "MapSitesTools.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>

namespace verdan {
namespace {

constexpr double CellDeg = 30.0 / 3600;

TEST(MapResultLayers, TwoSiteMapsAndANetworkAreDrawnAsLayersWithTheTopOnesLegend) {
    test::makeApplication<QApplication>();
    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    test::setPathCoords(state.path, {"45", "0", "0", "N", "7", "0", "0", "E", "45", "0", "30",
                                     "N", "7", "0", "30", "E"});
    CoverageServices services = test::syntheticServices();
    services.engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                         coverage::RunControl&) { return test::columnFalloff(in); };
    services.linkBudget = [](coverage::CoverageInputs& in) {
        in.transmitter.powerDbm = 40;
        in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -65};
        return true;
    };
    FrmCoverageModel model(state, store, prompter, info, std::move(services),
                           [] { return PointToPointInputs{}; }, QString());
    MapSitesTools tools(state, store, prompter, info.title, PathProfileServices{});
    model.setSitesTools(&tools);
    model.Form_Load();
    FrmPlanningMapView view(model);
    view.show();
    const auto done = [&] {
        return test::processUntil([&] { return model.run().state() != RunState::Running; }) &&
               model.run().state() == RunState::Done;
    };
    ASSERT_TRUE(model.cmdRun_Click() && done());
    model.setText(FrmCoverageModel::txtRadius, "40");
    ASSERT_TRUE(model.cmdRun_Click() && done());
    EXPECT_EQ(view.canvas().marks().size(), 1U); // the transmitter of a site's map
    tools.sites().addSite(45, 7);
    tools.sites().addSite(45, 7 + 3 * CellDeg);
    ASSERT_TRUE(model.mnuRunNetwork_Click() && done());
    EXPECT_EQ(model.layers().count(), 7); // four network layers, two maps, the hillshade
    // Regression: the last site run was also marked "Tx", written over the site's own name.
    EXPECT_TRUE(view.canvas().marks().empty());

    for (const QSize size : {QSize(1200, 780), QSize(820, 560)}) {
        view.resize(size);
        MapCanvas& canvas = view.canvas();
        canvas.grab();
        canvas.cache().waitForDone();
        const QImage map = canvas.grab().toImage();
        if (const QString folder = qEnvironmentVariable("VERDAN_PICTURES"); !folder.isEmpty())
            view.grab().save(QDir(folder).filePath(
                QStringLiteral("planning-map-network-%1.png").arg(size.width())));
        // On top, the best server: the first site west of the middle, the second east of it.
        const coverage::CoverageGrid& merged = *model.currentResult()->grid;
        for (const auto& [column, site] : {std::pair{2, 1}, {8, 2}}) {
            const geodata::ScreenPoint p = canvas.camera().toScreen(
                geodata::toMercator({merged.northLatDeg - 3.5 * CellDeg,
                                     merged.westLonDeg + (column + 0.5) * CellDeg}),
                map.width(), map.height());
            const coverage::Rgba colour = coverage::serverColour(site);
            EXPECT_EQ(map.pixelColor(int(p.xPx), int(p.yPx)),
                      QColor(colour.red, colour.green, colour.blue))
                << size.width() << " column " << column;
        }
        EXPECT_TRUE(static_cast<QLabel*>(view.control("lblLegend"))->text().contains("Site_2"));
    }
}

} // namespace
} // namespace verdan
