#include "FrmCoverageModel.h"

#include "CoverageFakes.h"
#include "MapTiles.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using coverage::MapQuantity;
using coverage::Palette;

// A run that computes what the engine would: the loss always, power and field strength with a
// power or an ERP, the margin (power + 90 dB) with a threshold.
coverage::CoverageResult computedRun(const coverage::CoverageInputs& in) {
    coverage::CoverageResult result = test::syntheticRun(in);
    coverage::CoverageGrid& grid = result.grid;
    if (in.receiver.threshold) {
        for (float power : grid.powerDbm)
            grid.marginDb.push_back(power + 90);
    }
    if (!in.hasLinkBudget()) {
        grid.powerDbm.clear();
        grid.fieldDbuvm.clear();
    }
    return result;
}

// What the window's link budget group gives a run.
struct Budget {
    std::optional<double> powerDbm;
    std::optional<double> thresholdDbm;
};

class MapStyleChoice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "MapStyleChoice_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    void SetUp() override {
        radio.frequencyMHz = 450;
        radio.h1M = 30;
        radio.h2M = 2;
        radio.climateText = QStringLiteral("Continental Temperate");
        const std::array<const char*, PathState::CoordCount> coords = {
            "51", "30", "0", "N", "0", "7", "30", "W", "51", "31", "0", "N", "0", "6", "0", "W"};
        for (int c = 0; c < PathState::CoordCount; ++c)
            state.path.coords[static_cast<std::size_t>(c)] = QLatin1String(coords[c]);
    }

    std::unique_ptr<FrmCoverageModel> open() {
        CoverageServices services;
        services.engine = [this](const coverage::CoverageInputs& in,
                                 const terrain::TerrainSource&, coverage::RunControl&) {
            ++runs;
            return computedRun(in);
        };
        services.terrain = [](const PathState&, QString&) {
            return std::make_shared<test::SlopeTerrain>();
        };
        services.linkBudget = [this](coverage::CoverageInputs& in) {
            in.transmitter.powerDbm = budget.powerDbm;
            if (budget.thresholdDbm)
                in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm,
                                                         *budget.thresholdDbm};
            return true;
        };
        auto model = std::make_unique<FrmCoverageModel>(
            state, store, prompter, info, std::move(services), [this] { return radio; }, QString());
        model->Form_Load();
        return model;
    }

    bool runToEnd(FrmCoverageModel& model) {
        return model.cmdRun_Click() &&
               test::processUntil([&] { return model.run().state() != RunState::Running; });
    }

    // The colour the map gives the cell in row 2, column `column`.
    static coverage::Rgba cellColour(const FrmCoverageModel& model, int column) {
        const coverage::MapStyle style = model.mapStyle();
        const auto& values = coverage::quantityValues(model.run().grid(), style.quantity());
        return style.colourOf(values.at(static_cast<std::size_t>(2 * 8 + column)));
    }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    PointToPointInputs radio;
    Budget budget;
    int runs = 0;
};

TEST_F(MapStyleChoice, TheMapOffersWhatTheRunComputedAndStartsOnTheMostTellingQuantity) {
    struct Case {
        const char* erp;
        Budget budget;
        std::vector<MapQuantity> offered;
        MapQuantity shown;
    };
    const MapQuantity loss = MapQuantity::LossDb, power = MapQuantity::PowerDbm,
                      field = MapQuantity::FieldDbuvm, margin = MapQuantity::MarginDb;
    const Case cases[] = {
        {"", {}, {loss}, loss},
        {"10", {}, {loss, power, field}, power},
        {"", {40, std::nullopt}, {loss, power, field}, power},
        {"", {40, -100}, {loss, power, field, margin}, margin},
    };
    for (const Case& c : cases) {
        budget = c.budget;
        auto model = open();
        EXPECT_EQ(model->quantities(), std::vector<MapQuantity>{loss}) << "before a run";
        model->setText(FrmCoverageModel::txtERP, QString::fromLatin1(c.erp));
        ASSERT_TRUE(runToEnd(*model));
        EXPECT_EQ(model->quantities(), c.offered) << c.erp;
        EXPECT_EQ(model->quantity(), c.shown) << c.erp;
        // A quantity the run did not compute cannot be chosen.
        model->setQuantity(margin);
        EXPECT_EQ(model->quantity(), c.shown);
    }
}

TEST_F(MapStyleChoice, RegressionPowerLevelsBelowMinus100DbmAreAccepted) {
    // The levels were once refused below -100, which ruled out a power map's -110 dBm.
    auto model = open();
    model->setText(FrmCoverageModel::txtPowerLevels, "-110, -90,-100");
    model->lostFocus(FrmCoverageModel::txtPowerLevels);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(model->text(FrmCoverageModel::txtPowerLevels), "-90,-100,-110");
    model->setText(FrmCoverageModel::txtMarginLevels, "501");
    model->lostFocus(FrmCoverageModel::txtMarginLevels);
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"Warning: Margin Levels are 1 to 8 numbers from -500 to 500, separated "
                          "by commas"});
    EXPECT_EQ(model->text(FrmCoverageModel::txtMarginLevels), "30,20,10,0");
}

TEST_F(MapStyleChoice, QuantityLevelsAndColourScaleReColourTheMapWithoutANewRun) {
    budget = {40, -100};
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    ASSERT_EQ(model->quantity(), MapQuantity::MarginDb);
    // Column 1: power -60 dBm, margin 30 dB, loss 115 dB.
    const coverage::Rgba marginViridis = cellColour(*model, 1);
    int revision = model->mapRevision();
    const auto recoloured = [&] {
        const bool moved = model->mapRevision() > revision;
        revision = model->mapRevision();
        return moved;
    };

    model->setPalette(Palette::Greys);
    EXPECT_TRUE(recoloured());
    const coverage::Rgba marginGreys = cellColour(*model, 1);
    EXPECT_NE(marginGreys, marginViridis);
    EXPECT_EQ(marginGreys.red, marginGreys.green);

    model->setQuantity(MapQuantity::LossDb);
    EXPECT_TRUE(recoloured());
    EXPECT_EQ(model->mapStyle().quantity(), MapQuantity::LossDb);
    EXPECT_NE(cellColour(*model, 1), marginGreys) << "115 dB is the second loss band";

    model->setText(FrmCoverageModel::txtLossLevels, "120");
    model->lostFocus(FrmCoverageModel::txtLossLevels);
    EXPECT_TRUE(recoloured());
    EXPECT_EQ(cellColour(*model, 1), coverage::paletteColour(Palette::Greys, 1));
    EXPECT_EQ(cellColour(*model, 2).alpha, 0) << "125 dB lies beyond the only level";
    EXPECT_EQ(runs, 1);
}

TEST_F(MapStyleChoice, TheColourScaleAndEveryQuantitysLevelsAreRemembered) {
    store.save("Verdan", "Verdan", "CovLossLevels_dB", "115,125");
    {
        auto model = open();
        EXPECT_EQ(model->text(FrmCoverageModel::txtLossLevels), "115,125");
        model->setPalette(Palette::Cividis);
        model->setText(FrmCoverageModel::txtPowerLevels, "-70,-110");
        model->Form_Unload();
    }
    EXPECT_EQ(store.get("Verdan", "Verdan", "CovPalette"), "cividis");
    auto again = open();
    EXPECT_EQ(again->palette(), Palette::Cividis);
    EXPECT_EQ(again->text(FrmCoverageModel::txtPowerLevels), "-70,-110");
    store.save("Verdan", "Verdan", "CovPalette", "rainbow");
    EXPECT_EQ(open()->palette(), coverage::DefaultPalette);
}

TEST(CoveredArea, TheCellsAtOrAboveTheThresholdAreOutlined) {
    // 4 x 2 cells of 0.01 degree from 45.02 N, 7.00 E; the western two columns are covered.
    auto grid = std::make_shared<coverage::CoverageGrid>();
    grid->columns = 4;
    grid->rows = 2;
    grid->westLonDeg = 7;
    grid->northLatDeg = 45.02;
    grid->cellDeg = 0.01;
    grid->marginDb = {5, 0, -5, NAN, 5, 0, -0.5f, -5};
    const ValueColour green = [](float) { return qRgb(0, 200, 0); };
    const CellInside covered = [grid](std::size_t cell) { return grid->marginDb[cell] >= 0; };
    constexpr int Zoom = 12;
    const double pixelM = geodata::metresPerPixel(Zoom);
    // The black pixels along the parallel `latDeg`, from west of the grid to east of it.
    const auto outlinePixels = [&](const std::shared_ptr<const TileLayer>& layer, double latDeg) {
        const geodata::MercatorPoint west = geodata::toMercator({latDeg, 6.99});
        const geodata::MercatorPoint east = geodata::toMercator({latDeg, 7.05});
        int black = 0;
        for (double xM = west.xM; xM < east.xM; xM += pixelM) {
            const geodata::TileId tile =
                geodata::tilesCovering({xM, west.yM, xM + 1, west.yM + 1}, Zoom).front();
            const QImage image = layer->render(tile, std::atomic<bool>(false));
            const geodata::Extent box = geodata::tileExtent(tile);
            if (!image.isNull() &&
                image.pixel(int((xM - box.minXM) / pixelM), int((box.maxYM - west.yM) / pixelM)) ==
                    qRgb(0, 0, 0))
                ++black;
        }
        return black;
    };
    const auto outlined = resultTiles(grid, grid->marginDb, green, {}, covered);
    // The western edge of the grid and the edge between the second and third columns.
    EXPECT_EQ(outlinePixels(outlined, 45.015), 2);
    EXPECT_EQ(outlinePixels(outlined, 45.005), 2);
    EXPECT_EQ(outlinePixels(resultTiles(grid, grid->marginDb, green), 45.015), 0);
}

} // namespace
} // namespace verdan
