#include <verdan/radio/LinkBudget.h>
#include <verdan/radio/PathLinkReport.h>

#include <cmath>

#include <gtest/gtest.h>

using namespace verdan::radio;

namespace {

// Free-space basic transmission loss, dB, from the textbook 20 log10(4 pi d / lambda).
double freeSpaceLossDb(double freqMHz, double distanceKm) {
    const double lambdaM = 299.792458 / freqMHz;
    return 20.0 * std::log10(4.0 * 3.14159265358979 * distanceKm * 1000.0 / lambdaM);
}

} // namespace

// 1 kW ERP gives 106.9 dBuV/m at 1 km in free space, whatever the frequency (ITU-R P.525).
TEST(LinkBudget, OneKilowattErpGives106Point9DbuvmAtOneKilometre) {
    TransmitterSide tx;
    tx.erpDbm = 60;
    for (double freqMHz : {30.0, 100.0, 900.0, 5000.0}) {
        const LinkBudget budget = linkBudget(tx, {}, {}, freeSpaceLossDb(freqMHz, 1), freqMHz);
        EXPECT_NEAR(budget.fieldDbuvm, 106.92, 0.005) << freqMHz;
        EXPECT_NEAR(budget.eirpDbm, 62.15, 1e-9);
    }
}

TEST(LinkBudget, ReceivedPowerIsEirpLessLossPlusReceiverGainLessLoss) {
    TransmitterSide tx;
    tx.powerDbm = 46.9897; // 50 W
    tx.lineLossDb = 2;
    tx.gainDbi = 9;
    ReceiverSide rx{5, 1.5, Threshold{ThresholdKind::PowerDbm, -100}};
    const LinkBudget budget = linkBudget(tx, rx, {}, 140, 450);
    EXPECT_NEAR(budget.eirpDbm, 53.9897, 1e-9);
    EXPECT_NEAR(budget.erpDbm, 51.8397, 1e-9);
    EXPECT_NEAR(budget.powerDbm, 53.9897 - 140 + 5 - 1.5, 1e-9);
    EXPECT_NEAR(*budget.marginDb, 53.9897 - 140 + 5 - 1.5 + 100, 1e-9);
    // The field strength is at the antenna: the receiver's gain and loss do not enter it.
    rx.threshold = Threshold{ThresholdKind::FieldDbuvm, 30};
    const LinkBudget field = linkBudget(tx, rx, {}, 140, 450);
    EXPECT_NEAR(*field.marginDb, field.fieldDbuvm - 30, 1e-9);
    rx.gainDbi = 20;
    EXPECT_DOUBLE_EQ(linkBudget(tx, rx, {}, 140, 450).fieldDbuvm, field.fieldDbuvm);
}

// E = sqrt(30 P_EIRP) / d, the plane wave of an isotropic radiator, at 10 km from 100 W; an
// isotropic antenna's received power from the field strength: P(dBm) = E - 20 log f - 77.2.
TEST(LinkBudget, FieldAndIsotropicPowerAgreeWithTheTextbookFormulas) {
    TransmitterSide tx;
    tx.powerDbm = 50; // 100 W
    const LinkBudget budget = linkBudget(tx, {}, {}, freeSpaceLossDb(600, 10), 600);
    EXPECT_NEAR(budget.fieldDbuvm, 20.0 * std::log10(std::sqrt(30.0 * 100.0) / 10'000.0 * 1e6),
                0.005);
    EXPECT_NEAR(budget.powerDbm, budget.fieldDbuvm - 20.0 * std::log10(600.0) - 77.22, 0.005);
}

// --erp is the ERP in the main beam: off the beam the pattern lowers it.
TEST(LinkBudget, ErpWithAPatternIsThePeakAndFallsOffTheBeam) {
    AntennaPattern pattern;
    pattern.gainDbi = 15;
    pattern.horizontalDb[90] = 10;
    pattern.verticalDb[0] = 0;
    TransmitterSide tx;
    tx.erpDbm = 50;
    tx.pattern = pattern;
    tx.pointing.azimuthDeg = 30;
    EXPECT_NEAR(linkBudget(tx, {}, {30, 0}, 100, 100).erpDbm, 50, 1e-9);
    EXPECT_NEAR(linkBudget(tx, {}, {120, 0}, 100, 100).erpDbm, 40, 1e-9);
    tx.erpDbm.reset();
    tx.powerDbm = 40;
    tx.lineLossDb = 3;
    EXPECT_NEAR(linkBudget(tx, {}, {120, 0}, 100, 100).eirpDbm, 40 - 3 + 15 - 10, 1e-9);
}

// Regression: the program's point-to-point form allows an empty value list, and the block read
// the first budget of a table without columns. It now leaves the budget lines out.
TEST(PathLinkReport, RegressionATableWithoutColumnsPrintsNoBudget) {
    TransmitterSide tx;
    tx.powerDbm = 40;
    const PathProfile path{std::nullopt, {100, 100, 100}, 500, 10, 10, 300, 4.0 / 3.0};
    const PathLink link = computePathLink(tx, {}, path, {{50}, {}, {{}}});
    const std::string text = pathLinkReportText(link);
    EXPECT_EQ(text.find("EIRP"), std::string::npos) << text;
    EXPECT_NE(text.find("Line of sight (k = 1.333): clear"), std::string::npos) << text;
    EXPECT_EQ(pathLinkCsvColumns(link, false, 0), "");
}
