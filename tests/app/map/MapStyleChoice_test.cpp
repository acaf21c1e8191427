#include "FrmCoverageModel.h"

#include "CoverageFakes.h"
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
    static void SetUpTestSuite() { test::makeApplication<QCoreApplication>(); }

    void SetUp() override {
        test::setPathCoords(state.path, {"51", "30", "0", "N", "0", "7", "30", "W", "51", "31", "0",
                                         "N", "0", "6", "0", "W"});
    }

    std::unique_ptr<FrmCoverageModel> open() {
        CoverageServices services = test::syntheticServices();
        services.engine = [this](const coverage::CoverageInputs& in,
                                 const terrain::TerrainSource&, coverage::RunControl&) {
            ++runs;
            return computedRun(in);
        };
        services.linkBudget = [this](coverage::CoverageInputs& in) {
            in.transmitter.powerDbm = budget.powerDbm;
            if (budget.thresholdDbm)
                in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm,
                                                         *budget.thresholdDbm};
            return true;
        };
        auto model = std::make_unique<FrmCoverageModel>(
            state, store, prompter, info, std::move(services), [] { return PointToPointInputs{}; },
            QString());
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

TEST_F(MapStyleChoice, QuantityLevelsAndColourScaleReColourTheMapWithoutANewRunAndAreRemembered) {
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

    // Every quantity's levels and the colour scale are remembered; a scale the window does not
    // know gives the usual one.
    model->setText(FrmCoverageModel::txtPowerLevels, "-70,-110");
    model->Form_Unload();
    EXPECT_EQ(store.get("Verdan", "Verdan", "CovPalette"), "greys");
    auto again = open();
    EXPECT_EQ(again->palette(), Palette::Greys);
    EXPECT_EQ(again->text(FrmCoverageModel::txtLossLevels), "120");
    EXPECT_EQ(again->text(FrmCoverageModel::txtPowerLevels), "-70,-110");
    store.save("Verdan", "Verdan", "CovPalette", "rainbow");
    EXPECT_EQ(open()->palette(), coverage::DefaultPalette);
}

} // namespace
} // namespace verdan
