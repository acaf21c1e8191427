#include "PathProfileModel.h"
#include "ProfileGeometry.h"

#include "ScriptedPrompter.h"
#include "TableTerrain.h"

#include <cmath>
#include <gtest/gtest.h>

namespace verdan {
namespace {

// At 299.792458 MHz the wavelength is 1 m: the first Fresnel zone's radius over a 10 km path
// is sqrt(x (10000 - x) / 10000), 50 m at the middle and 30 m at 1 km from an end.
constexpr double OneMetreWaveMHz = 299.792458;
const std::vector<double> FlatGround(11, 0.0);

TEST(ProfileGeometryTest, ClearanceAndFresnelRadiusOnAFlatAndACurvedEarth) {
    const struct {
        const char* what;
        double k;
        double bulgeMidM;   // 5000 x 5000 / 2kR by hand
        double worstRatio;  // (40 - bulge) / 50
    } cases[] = {
        {"flat earth", 1e12, 0, 0.8},
        {"k 4/3", 4.0 / 3.0, 1.471743, (40 - 1.471743) / 50},
        {"k 1", 1.0, 1.962323, (40 - 1.962323) / 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProfileGeometry g = profileGeometry(FlatGround, 1000, 40, 40, OneMetreWaveMHz, c.k);
        ASSERT_EQ(g.points.size(), 11u);
        EXPECT_EQ(g.pathM, 10000);
        EXPECT_NEAR(g.points[5].fresnelRadiusM, 50, 1e-9);
        EXPECT_NEAR(g.points[1].fresnelRadiusM, 30, 1e-9);
        EXPECT_EQ(g.points[0].fresnelRadiusM, 0);
        EXPECT_NEAR(g.points[5].bulgeM, c.bulgeMidM, 1e-6);
        EXPECT_NEAR(g.points[1].bulgeM, c.bulgeMidM * 9 / 25, 1e-6); // 1000 x 9000 over 5000 x 5000
        EXPECT_NEAR(g.points[5].clearanceM(), 40 - c.bulgeMidM, 1e-6);
        ASSERT_TRUE(g.worst);
        EXPECT_TRUE(g.worst->lineOfSight);
        EXPECT_NEAR(g.worst->clearanceRatio, c.worstRatio, 1e-6);
        EXPECT_EQ(g.worst->atDistanceM, 5000);
        for (const ProfilePoint& p : g.points)
            EXPECT_EQ(p.obstruction, Obstruction::None);
    }
}

TEST(ProfileGeometryTest, ObstructionsAreMarked) {
    // Unequal antennas: the line of sight climbs from 10 m to 50 m, 4 m a kilometre. At
    // 3 km it stands at 22 m over a 15 m hill: 7 m of clearance under 0.6 x sqrt(2100)
    // = 27.5 m of planned zone. At 6 km it is at 34 m and meets a 34 m hill. At 8 km,
    // 42 m over 10 m: 32 m clear of 0.6 x 40 = 24 m.
    std::vector<double> ground = FlatGround;
    ground[3] = 15;
    ground[6] = 34;
    ground[8] = 10;
    const ProfileGeometry g = profileGeometry(ground, 1000, 10, 50, OneMetreWaveMHz, 1e12);
    EXPECT_NEAR(g.points[3].rayM, 22, 1e-9);
    EXPECT_EQ(g.points[3].obstruction, Obstruction::FresnelZone);
    EXPECT_EQ(g.points[6].obstruction, Obstruction::LineOfSight);
    EXPECT_EQ(g.points[8].obstruction, Obstruction::None);
    ASSERT_TRUE(g.worst);
    EXPECT_FALSE(g.worst->lineOfSight);
    EXPECT_EQ(g.worst->atDistanceM, 6000);
}

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
        PathProfileModel::Field restore = c.field;
        const QString before = model.text(restore);
        model.setText(c.field, QString::fromLatin1(c.text));
        terrainError = QString::fromLatin1(c.terrainError);
        prompter.messages.clear();
        EXPECT_FALSE(model.cmdProfile_Click());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String(c.message)))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(model.revision(), 1);
        model.setText(restore, before);
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
    const std::array<const char*, PathState::CoordCount> coords = {
        "0", "0", "45", "N", "0", "15", "0", "W", "0", "0", "45", "S", "0", "30", "0", "E"};
    for (int c = 0; c < PathState::CoordCount; ++c)
        EXPECT_EQ(state.path.coords[c], QLatin1String(coords[c])) << c;
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
