#include "PathProfileModel.h"

#include "ScriptedPrompter.h"
#include "TableTerrain.h"

#include <cmath>
#include <gtest/gtest.h>

namespace verdan {
namespace {

const std::vector<double> FlatGround(11, 0.0);

class PathProfile : public ::testing::Test {
protected:
    PathProfile() {
        services.terrain = [this](QString& error) -> std::shared_ptr<const terrain::TerrainSource> {
            if (!terrainError.isEmpty()) {
                error = terrainError;
                return nullptr;
            }
            return std::make_shared<test::TableTerrain>(ground);
        };
        services.terrainChoice = [] { return TerrainChoice{QStringLiteral("Raster"), QStringLiteral("/data/dem.tif")}; };
        services.model = [this](const std::vector<double>& pfl, double freqMHz, double, double, QString&) {
            modelPfl = pfl;
            modelFreqMHz = freqMHz;
            return std::optional<PathLossTable>(PathLossTable{1.25, QStringLiteral("Line-Of-Sight Path"), {50, 90}, {50}, {{120}, {130}}});
        };
        services.budget = [this] { return budget; };
    }

    ProgramState state;
    test::ScriptedPrompter prompter;
    std::vector<double> ground = FlatGround;
    QString terrainError;
    std::optional<LinkBudgetInputs> budget;
    std::vector<double> modelPfl;
    double modelFreqMHz = 0;
    PathProfileServices services;
};

TEST_F(PathProfile, TwoClicksDrawTheProfileWithTheModelsKAndTheBudget) {
    LinkBudgetInputs in;
    in.tx.powerDbm = 10 * std::log10(50e3); // 50 W
    in.tx.lineLossDb = 2;
    in.tx.gainDbi = 12;
    in.rx.lineLossDb = 1;
    in.rx.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -100};
    budget = in;
    PathProfileModel model(state, prompter, services);
    model.setText(PathProfileModel::txtFreq, QStringLiteral("299.792458"));
    model.mapClicked(45.0, 7.0);
    EXPECT_EQ(model.revision(), 0);
    model.mapClicked(45.0, 7.1);
    ASSERT_EQ(model.revision(), 1);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(modelPfl.size(), 13u);
    EXPECT_EQ(modelPfl[0], 10);
    EXPECT_EQ(modelFreqMHz, 299.792458);
    EXPECT_EQ(model.curvatureK(), 1.25);
    // The bulge at the middle over an earth of 1.25 x 6370 km: 5000^2 / (2 x 7962.5 km).
    EXPECT_NEAR(model.geometry().points[5].bulgeM, 25e6 / (2 * 7962.5e3), 1e-6);
    ASSERT_TRUE(model.budget());
    // 46.99 dBm - 2 dB + 12 dBi = 56.99 dBm EIRP; minus 120 dB of loss and 1 dB of line:
    // -64.01 dBm, 35.99 dB over -100 dBm.
    EXPECT_NEAR(model.budget()->eirpDbm, 56.9897, 1e-4);
    EXPECT_NEAR(model.budget()->powerDbm[0][0], -64.0103, 1e-4);
    EXPECT_NEAR(model.budget()->powerDbm[1][0], -74.0103, 1e-4);
    EXPECT_NEAR(model.budget()->marginDb[1][0], 25.9897, 1e-4);
    EXPECT_TRUE(model.lblTable().contains(QLatin1String("Received power (dBm)")));
    EXPECT_TRUE(model.lblTable().contains(QLatin1String("  -64.0")));
    EXPECT_TRUE(model.lblSummary().contains(QLatin1String("k 1.250 (Line-Of-Sight Path)")))
        << model.lblSummary().toStdString();
}

TEST_F(PathProfile, FaultsAreToldAndTheLastProfileStays) {
    const struct {
        const char* what;
        PathProfileModel::Field field;
        const char* text;
        const char* terrainError;
        const char* message;
    } cases[] = {
        {"latitude", PathProfileModel::txtLatB, "91", "", "Latitude of B: a number from -90 to 90 degrees"},
        {"height", PathProfileModel::txtHeightA, "0.2", "", "Antenna height at Hill: a number from 0.5 to 3000 m"},
        {"frequency", PathProfileModel::txtFreq, "1,5", "", "Frequency: a number from 20 to 20000 MHz"},
        {"same point", PathProfileModel::txtLonB, "7", "", "The path from Hill to B is 0.000 km long"},
        {"terrain", PathProfileModel::txtLonB, "7.1", "no tile at 45N 7E", "No profile: no tile at 45N 7E"},
    };
    PathProfileModel model(state, prompter, services);
    model.useSite(PathProfileModel::EndA, QStringLiteral("Hill"), 45, 7, 30);
    model.setText(PathProfileModel::txtLatB, QStringLiteral("45"));
    model.setText(PathProfileModel::txtLonB, QStringLiteral("7.2"));
    ASSERT_TRUE(model.cmdProfile_Click());
    EXPECT_TRUE(model.lblSummary().startsWith(QLatin1String("Hill to B:")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = model.text(c.field);
        model.setText(c.field, QString::fromLatin1(c.text));
        terrainError = QString::fromLatin1(c.terrainError);
        prompter.messages.clear();
        EXPECT_FALSE(model.cmdProfile_Click());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String(c.message)))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(model.revision(), 1);
        model.setText(c.field, before);
        terrainError.clear();
    }
}

TEST_F(PathProfile, SendingGivesThePointToPointFormThePathProfileAndTerrain) {
    PathProfileModel model(state, prompter, services);
    int sent = 0;
    QObject::connect(&model, &PathProfileModel::sentToPointToPoint, [&] { ++sent; });
    model.cmdSendToPtoP_Click();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_FALSE(state.path.ProfileReady);
    model.useSite(PathProfileModel::EndA, QStringLiteral("North"), 0.0125, -0.25, 30);
    model.useSite(PathProfileModel::EndB, QStringLiteral("South"), -0.0125, 0.499999, 10);
    ASSERT_TRUE(model.cmdProfile_Click());
    model.cmdSendToPtoP_Click();
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(QStringList(state.path.coords.begin(), state.path.coords.end()),
              QStringLiteral("0 0 45 N 0 15 0 W 0 0 45 S 0 30 0 E").split(u' '));
    EXPECT_EQ(state.path.TxLonDD, "0.250000");
    EXPECT_TRUE(state.path.CoordsInDD);
    EXPECT_EQ(state.path.TerrainSource, "Raster");
    EXPECT_EQ(state.path.RasterPath, "/data/dem.tif");
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.path.pfl.size(), 13u);
    EXPECT_EQ(state.ProfilePoints, 11);
}

} // namespace
} // namespace verdan
