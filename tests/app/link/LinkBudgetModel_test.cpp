#include "LinkBudgetModel.h"
#include "PolarTrace.h"

#include "ScriptedPrompter.h"
#include "pattern_builders.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using LB = LinkBudgetModel;

class LinkBudget : public ::testing::Test {
protected:
    QString writePattern(const std::string& name, const std::string& text) {
        const QString path = dir.filePath(QString::fromStdString(name));
        std::string error;
        EXPECT_TRUE(tools::writeTextFile(path.toStdString(), text, error)) << error;
        return path;
    }

    QTemporaryDir dir;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    LB model{store, prompter, QStringLiteral("Verdan")};
};

TEST_F(LinkBudget, UnitsGiveTheBudgetInDbmAndDbi) {
    const struct {
        const char* power;
        int powerUnit;
        const char* gain;
        int gainUnit;
        const char* threshold;
        int thresholdUnit;
        double powerDbm;
        double gainDbi;
        radio::ThresholdKind kind;
        double thresholdValue;
    } cases[] = {
        {"50", LB::UnitW, "10", LB::UnitDbd, "-100", LB::UnitThresholdDbm, 46.9897, 12.15,
         radio::ThresholdKind::PowerDbm, -100},
        {"47", LB::UnitDbm, "12", LB::UnitDbi, "40", LB::UnitThresholdDbuvm, 47, 12,
         radio::ThresholdKind::FieldDbuvm, 40},
        {"17", LB::UnitDbw, "0", LB::UnitDbd, "-90.5", LB::UnitThresholdDbm, 47, 2.15,
         radio::ThresholdKind::PowerDbm, -90.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.power);
        model.setText(LB::txtPower, QString::fromLatin1(c.power));
        model.setCmbPowerUnit(c.powerUnit);
        model.setText(LB::txtGain, QString::fromLatin1(c.gain));
        model.setCmbGainUnit(c.gainUnit);
        model.setText(LB::txtThreshold, QString::fromLatin1(c.threshold));
        model.setCmbThresholdUnit(c.thresholdUnit);
        model.setText(LB::txtTxLoss, QStringLiteral("2.5"));
        model.setText(LB::txtRxLoss, QStringLiteral("1"));
        const std::optional<LinkBudgetInputs> in = model.inputs();
        ASSERT_TRUE(in);
        EXPECT_NEAR(*in->tx.powerDbm, c.powerDbm, 1e-4);
        EXPECT_NEAR(in->tx.gainDbi, c.gainDbi, 1e-9);
        EXPECT_EQ(in->tx.lineLossDb, 2.5);
        EXPECT_EQ(in->rx.lineLossDb, 1);
        ASSERT_TRUE(in->rx.threshold);
        EXPECT_EQ(in->rx.threshold->kind, c.kind);
        EXPECT_NEAR(in->rx.threshold->value, c.thresholdValue, 1e-9);
    }
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(LinkBudget, BadFieldsAreToldByNameAndNothingIsRemembered) {
    const struct {
        LB::Field field;
        const char* text;
        const char* message;
    } cases[] = {
        {LB::txtPower, "0", "Transmitter power: a power in watts must be above 0"},
        {LB::txtPower, "1,5", "Transmitter power: not a power"},
        {LB::txtTxLoss, "-1", "Transmitter line loss: a loss is a number of dB from 0 to 100"},
        {LB::txtGain, "70", "Antenna gain: gain out of range"},
        {LB::txtRxGain, "abc", "Receiver antenna gain: not a gain"},
        {LB::txtRxLoss, "1e9", "Receiver line loss: a loss is"},
        {LB::txtThreshold, "-300", "Threshold: power threshold out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LB fresh(store, prompter, QStringLiteral("Verdan"));
        fresh.setText(c.field, QString::fromLatin1(c.text));
        prompter.messages.clear();
        EXPECT_FALSE(fresh.lostFocus(c.field));
        EXPECT_FALSE(fresh.inputs());
        ASSERT_EQ(prompter.messages.size(), 2u);
        EXPECT_TRUE(prompter.messages[1].text.startsWith(QLatin1String(c.message)))
            << prompter.messages[1].text.toStdString();
        EXPECT_EQ(fresh.text(c.field), QLatin1String(c.text)); // the user's text stays
    }
    EXPECT_EQ(store.size(), 0);

    LB angles(store, prompter, QStringLiteral("Verdan"));
    angles.setOptAntennaFile(true);
    EXPECT_EQ(angles.fieldError(LB::txtAntennaFile),
              "Antenna file: choose a pattern file, or use a fixed gain");
    angles.setText(LB::txtAzimuth, QStringLiteral("361"));
    angles.setText(LB::txtTilt, QStringLiteral("-91"));
    EXPECT_EQ(angles.fieldError(LB::txtAzimuth), "Antenna azimuth: degrees from 0 to 360");
    EXPECT_EQ(angles.fieldError(LB::txtTilt), "Antenna downtilt: degrees from -90 to 90");
}

TEST_F(LinkBudget, InputsAreRememberedBetweenRuns) {
    const QString panel = writePattern("panel.msi", tools::msiText(tools::panelPattern()));
    prompter.queueOpenFile(panel);
    model.cmdBrowseAntenna_Click();
    model.setText(LB::txtPower, QStringLiteral("20"));
    model.setCmbPowerUnit(LB::UnitW);
    model.setText(LB::txtAzimuth, QStringLiteral("120"));
    model.setText(LB::txtTilt, QStringLiteral("3"));
    model.setText(LB::txtThreshold, QStringLiteral("35"));
    model.setCmbThresholdUnit(LB::UnitThresholdDbuvm);
    ASSERT_TRUE(model.inputs());

    LB next(store, prompter, QStringLiteral("Verdan"));
    next.Form_Load();
    for (int f = 0; f < LB::FieldCount; ++f)
        EXPECT_EQ(next.text(LB::Field(f)), model.text(LB::Field(f))) << f;
    EXPECT_TRUE(next.optAntennaFile());
    EXPECT_EQ(next.cmbThresholdUnit(), LB::UnitThresholdDbuvm);
    const std::optional<LinkBudgetInputs> in = next.inputs();
    ASSERT_TRUE(in);
    ASSERT_TRUE(in->tx.pattern);
    EXPECT_EQ(in->tx.gainDbi, 18);
    EXPECT_EQ(in->tx.pointing.azimuthDeg, 120);
    EXPECT_EQ(in->tx.pointing.downtiltDeg, 3);
    EXPECT_EQ(in->antennaFile, panel);
    EXPECT_TRUE(next.lblAntenna().contains(QString::fromUtf8("18.00 dBi, electrical tilt 2°")))
        << next.lblAntenna().toStdString();
}

TEST_F(LinkBudget, ABadPatternFileIsToldWithItsLineAndRefused) {
    std::string text = tools::msiText(tools::yagiPattern());
    text.replace(text.find("\n45 "), 4, "\n45 x");
    const QString bad = writePattern("bad.msi", text);
    prompter.queueOpenFile(bad);
    model.cmdBrowseAntenna_Click();
    EXPECT_FALSE(model.pattern());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QLatin1String("bad.msi:"))) << prompter.messages[0].text.toStdString();
    EXPECT_FALSE(model.inputs());
    EXPECT_EQ(store.size(), 0);
}

TEST(PolarTraces, TheBeamPointsWhereTheAntennaIsMounted) {
    // The panel's peak is on its boresight, 2 degrees down by its electrical tilt. Mounted
    // at azimuth 90, the horizontal plot's rim is due east and 25 dB of front to back puts
    // the west at 1 - 25/40 or nearer the centre; 5 degrees of mechanical downtilt put the
    // vertical plot's rim 7 degrees below the horizon in front.
    radio::AntennaPattern panel = *radio::parsePattern(tools::msiText(tools::panelPattern()), "p").pattern;
    const auto length = [](const QPointF& p) { return std::hypot(p.x(), p.y()); };
    const auto peakAt = [&](const std::array<QPointF, 360>& trace, int at) {
        return std::all_of(trace.begin(), trace.end(),
                           [&](const QPointF& p) { return length(p) <= length(trace[at]) + 1e-9; });
    };
    const PolarTraces level = polarTraces(panel, {90, 0}, 40);
    EXPECT_TRUE(peakAt(level.horizontal, 90));
    EXPECT_NEAR(level.horizontal[90].y(), 0, 1e-9);
    EXPECT_LE(length(level.horizontal[270]), 0.375 + 1e-9);
    EXPECT_TRUE(peakAt(level.vertical, 2));
    EXPECT_NEAR(length(level.vertical[2]), 1, 1e-9);
    const PolarTraces tilted = polarTraces(panel, {90, 5}, 40);
    EXPECT_TRUE(peakAt(tilted.vertical, 7));
    EXPECT_NEAR(tilted.vertical[7].x(), std::cos(7 * M_PI / 180), 1e-6);
    EXPECT_NEAR(tilted.vertical[7].y(), -std::sin(7 * M_PI / 180), 1e-6);
    EXPECT_EQ(polarRadius(50, 40), 0);
}

} // namespace
} // namespace verdan
