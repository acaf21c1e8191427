#include "FrmCoverageModel.h"

#include "MapSitesTools.h"

#include "ProgramCoverage.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;
using Field = FrmCoverageModel::Field;
using coverage::MapQuantity;

class CoverageWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QCoreApplication>(); }

    void SetUp() override {
        radio.frequencyMHz = 450;
        radio.h1M = 30;
        radio.h2M = 2;
        radio.horizontal = true;
        radio.climateText = QStringLiteral("Maritime Temperate, Over Sea");
        test::setPathCoords(state.path, {"51", "30", "0", "N", "0", "7", "30", "W", "51", "31",
                                         "0", "N", "0", "6", "0", "W"});
        state.path.TerrainSource = QStringLiteral("GLOBE");
    }

    std::unique_ptr<FrmCoverageModel> open() {
        CoverageServices services;
        services.engine = [this](const coverage::CoverageInputs& in,
                                 const terrain::TerrainSource& terrain,
                                 coverage::RunControl& control) {
            ran = in;
            return engine(in, terrain, control);
        };
        services.terrain = [this](const PathState&, QString& error) {
            error = terrainError;
            return terrainError.isEmpty() ? std::make_shared<test::SlopeTerrain>() : nullptr;
        };
        services.write = [this](MapFileFormat format, const MapResult&, const QString& path,
                                QStringList& written, QString& error) {
            writes.push_back({format, path});
            written = {path};
            error = writeError;
            return writeError.isEmpty();
        };
        services.linkBudget = linkBudget;
        auto model = std::make_unique<FrmCoverageModel>(
            state, store, prompter, info, std::move(services), [this] { return radio; }, QString());
        model->Form_Load();
        return model;
    }

    bool runToEnd(FrmCoverageModel& model) {
        return model.cmdRun_Click() &&
               test::processUntil([&] { return model.run().state() != RunState::Running; });
    }

    QString logText() const { return state.log ? state.log->document().plainText() : QString(); }

    ProgramState state;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    AppInfo info;
    PointToPointInputs radio;
    CoverageEngine engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                               coverage::RunControl&) { return test::syntheticRun(in); };
    std::function<bool(coverage::CoverageInputs&)> linkBudget;
    std::optional<coverage::CoverageInputs> ran;
    QString terrainError;
    QString writeError;
    std::vector<std::pair<MapFileFormat, QString>> writes;
};

TEST_F(CoverageWindow, RunTakesTheFormsRadioParametersThePathsTransmitterAndTheNewInputs) {
    auto model = open();
    EXPECT_EQ(model->text(FrmCoverageModel::txtRxHt), "2");
    for (const auto& [field, text] : {std::pair{Field::txtRadius, "12.5"}, {Field::txtResolution, "3"},
                                      {Field::txtRel, "90"}, {Field::txtConf, "10"},
                                      {Field::txtERP, "50"}})
        model->setText(field, QLatin1String(text));
    model->setCmbERPUnit(1);
    ASSERT_TRUE(runToEnd(*model));
    ASSERT_TRUE(ran && ran->erpDbw);
    EXPECT_EQ(std::vector<double>({ran->tx.latDeg, ran->tx.lonDeg, ran->txHeightM, ran->rxHeightM,
                                   ran->freqMHz, double(ran->polarization), double(ran->climate),
                                   ran->reliabilityPct, ran->confidencePct, ran->radiusKm,
                                   ran->resolutionSec, *ran->erpDbw}),
              std::vector<double>({51.5, -0.125, 30, 2, 450, 0, 7, 90, 10, 12.5, 3, 20}));
    EXPECT_EQ(model->quantity(), MapQuantity::PowerDbm);
    // Decimal degrees, signed by the hemisphere boxes; no ERP gives a loss map.
    state.path.CoordsInDD = true;
    state.path.TxLatDD = QStringLiteral(" 33.25");
    state.path.coords[PathState::TxLatH_NS] = QStringLiteral("S");
    state.path.TxLonDD = QStringLiteral("-151.5");
    state.path.coords[PathState::TxLonH_EW] = QStringLiteral("E");
    model->setText(Field::txtERP, "");
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(std::make_pair(ran->tx.latDeg, ran->tx.lonDeg), std::make_pair(-33.25, 151.5));
    EXPECT_EQ(model->quantity(), MapQuantity::LossDb);
}

struct CheckCase {
    Field field;
    const char* text;
    const char* message; ///< empty: accepted
    const char* after;   ///< the field's text afterwards
    int erpUnit = 0;     ///< 1: the ERP is given in dBm
};

class CoverageChecks : public CoverageWindow, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CoverageChecks, OutOfRangeIsToldAndReplacedAndStopsTheRun) {
    const CheckCase& c = GetParam();
    auto model = open();
    if (c.erpUnit != 0)
        model->setCmbERPUnit(c.erpUnit);
    model->setText(c.field, QLatin1String(c.text));
    model->lostFocus(c.field);
    EXPECT_EQ(model->text(c.field), QLatin1String(c.after));
    if (*c.message == 0) {
        EXPECT_TRUE(prompter.messages.empty());
        return;
    }
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, QLatin1String(c.message));
    model->setText(c.field, QLatin1String(c.text));
    EXPECT_FALSE(model->cmdRun_Click());
    EXPECT_FALSE(ran);
    EXPECT_EQ(prompter.messages.size(), 2U);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CoverageChecks,
    ::testing::Values(
        CheckCase{FrmCoverageModel::txtRadius, "0.5", "Warning: Valid Range is 1 <= Radius <= 500",
                  "30"},
        CheckCase{FrmCoverageModel::txtResolution, "601",
                  "Warning: Valid Range is 1 <= Resolution <= 600", "30"},
        CheckCase{FrmCoverageModel::txtRxHt, "0.4",
                  "Warning: Valid Range is 0.5 <= Antenna Height <= 3000", "10"},
        CheckCase{FrmCoverageModel::txtRel, "99.95",
                  "Warning: Valid Range is 0.1 <= Reliability <= 99.9", "50"},
        CheckCase{FrmCoverageModel::txtConf, "abc",
                  "Warning: Valid Range is 0.1 <= Confidence <= 99.9", "50"},
        CheckCase{FrmCoverageModel::txtERP, "91", "Warning: Valid Range is -60 <= ERP <= 90", ""},
        CheckCase{FrmCoverageModel::txtERP, "-31", "Warning: Valid Range is -30 <= ERP <= 120", "",
                  1},
        CheckCase{FrmCoverageModel::txtLossLevels, "150, 110,130,110", "", "110,130,150"},
        CheckCase{FrmCoverageModel::txtLossLevels, "110,,120",
                  "Warning: Loss Levels are 1 to 8 numbers from -500 to 500, separated by commas",
                  "110,120,130,140,150,160"},
        CheckCase{FrmCoverageModel::txtFieldLevels, "1,2,3,4,5,6,7,8,9",
                  "Warning: Field Levels are 1 to 8 numbers from -500 to 500, separated by "
                  "commas",
                  "80,70,60,50,40,30"}));

TEST_F(CoverageWindow, InputsAreRememberedInTheSettings) {
    {
        auto model = open();
        model->setText(FrmCoverageModel::txtRadius, "75");
        model->setText(FrmCoverageModel::txtERP, "33");
        model->setCmbERPUnit(1);
        model->setText(FrmCoverageModel::txtLossLevels, "120,140");
        model->Form_Unload();
    }
    radio.h2M = 9;
    auto again = open();
    EXPECT_EQ(again->text(FrmCoverageModel::txtRadius), "75");
    EXPECT_EQ(again->text(FrmCoverageModel::txtERP), "33");
    EXPECT_EQ(again->cmbERPUnit(), 1);
    EXPECT_EQ(again->text(FrmCoverageModel::txtLossLevels), "120,140");
    EXPECT_EQ(again->text(FrmCoverageModel::txtRxHt), "2");
}

TEST_F(CoverageWindow, CancelStopsTheRunWritesNoReportAndLeavesTheShownMap) {
    engine = test::endlessRun;
    auto model = open();
    ASSERT_TRUE(model->cmdRun_Click());
    EXPECT_FALSE(model->cmdRun_Click());
    ASSERT_TRUE(test::processUntil([&] { return model->prgRun() > 0; }));
    model->cmdCancel_Click();
    EXPECT_FALSE(model->cmdCancelEnabled());
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Idle; }));
    EXPECT_EQ(model->lblStatus(), "Cancelled.");
    EXPECT_EQ(model->prgRun(), 0);
    EXPECT_FALSE(logText().contains("Coverage map"));
    model->mnuFileSaveMap_Click();
    EXPECT_EQ(prompter.messageTexts(), QStringList{"No coverage map is shown."});
    // A map computed before stays, shown and saved, through a cancelled run.
    engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                coverage::RunControl&) { return test::syntheticRun(in); };
    ASSERT_TRUE(runToEnd(*model));
    engine = test::endlessRun;
    model->setText(FrmCoverageModel::txtRadius, "40");
    ASSERT_TRUE(model->cmdRun_Click());
    model->cmdCancel_Click();
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Idle; }));
    ASSERT_TRUE(model->currentResult());
    EXPECT_EQ(model->currentResult()->inputs->radiusKm, 30);
    prompter.queueSaveFile("/tmp/out/kept.tif");
    model->mnuFileSaveMap_Click();
    EXPECT_EQ(writes.size(), 1U);
    // Closing the window during a run cancels it.
    ASSERT_TRUE(model->cmdRun_Click());
    model->closeBoxClicked();
    EXPECT_TRUE(model->closeRequested());
    EXPECT_EQ(model->run().state(), RunState::Idle);
}

TEST_F(CoverageWindow, ProgressReachesTheWindowAtMostTenTimesASecond) {
    engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                coverage::RunControl& control) {
        for (int i = 0; i < 400; ++i) {
            control.progress(i / 400.0);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return test::syntheticRun(in);
    };
    auto model = open();
    int updates = 0;
    QObject::connect(model.get(), &FrmCoverageModel::progressChanged, [&] { ++updates; });
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(model->cmdRun_Click());
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Done; }));
    // One update per 100 ms of the run, the first at once, and the final 100 %.
    EXPECT_LE(updates, timer.elapsed() / 100 + 2) << timer.elapsed() << " ms";
    EXPECT_GE(updates, 2);
    EXPECT_EQ(model->prgRun(), 100);
}

// A failed run leaves the map shown before, resets the progress and adds nothing to the report.
TEST_F(CoverageWindow, FailuresAreToldAndLeaveTheShownMap) {
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    const QString report = logText();
    prompter.messages.clear();
    terrainError = QStringLiteral("cannot open /x/globe.dat");
    EXPECT_FALSE(model->cmdRun_Click());
    terrainError.clear();
    engine = [](const coverage::CoverageInputs&, const terrain::TerrainSource&,
                coverage::RunControl& control) {
        control.progress(0.57);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        coverage::CoverageResult result;
        result.message = "The radius reaches outside the terrain data.";
        return result;
    };
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(model->run().state(), RunState::Failed);
    EXPECT_EQ(model->prgRun(), 0);
    EXPECT_TRUE(model->run().hasMap());
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{"The terrain cannot be read: cannot open /x/globe.dat",
                           "The coverage map was not computed. The radius reaches outside the "
                           "terrain data."}));
    EXPECT_EQ(prompter.messages[1].icon, MsgIcon::Critical);
    EXPECT_EQ(logText(), report);
}

// The names of the result layers, top first.
QStringList resultNames(const LayerStack& layers) {
    QStringList names;
    for (const MapLayer& layer : layers.layers())
        if (layer.kind == LayerKind::Result)
            names << layer.name.section(u',', 0, 0) + u' ' + layer.legendTitle;
    return names;
}

TEST_F(CoverageWindow, EachRunIsReportedALayerOfItsOwnReadUnderThePointerAndARerunReplacesIt) {
    auto model = open();
    model->setText(FrmCoverageModel::txtERP, "10");
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(model->prgRun(), 100);
    EXPECT_TRUE(logText().contains(
        "Coverage map: Tx 51.50000 N 0.12500 W 30 m, Rx 2 m, 450 MHz, horizontal, eps 15, "
        "sgm 0.001 S/m, Ns 301, Maritime Temperate, Over Sea, reliability 50 %, confidence 50 "
        "%, radius 30 km, resolution 30 sec, terrain Slope, ERP 10 dBW: 64 cells in"))
        << logText().toStdString();
    ASSERT_TRUE(model->receiver()); // 1.97 km away, inside the radius
    EXPECT_EQ(model->receiver()->latDeg, 51.0 + 31.0 / 60);
    const std::weak_ptr<const coverage::CoverageGrid> first = model->run().sharedGrid();
    model->setText(FrmCoverageModel::txtERP, "");
    ASSERT_TRUE(runToEnd(*model));
    ASSERT_TRUE(runToEnd(*model)); // the same inputs: the loss layer is replaced
    const QStringList both{"Tx 51.50000 N 0.12500 W Basic transmission loss (dB)",
                           "Tx 51.50000 N 0.12500 W Received power (dBm)"};
    EXPECT_EQ(resultNames(model->layers()), both);
    EXPECT_EQ(model->quantity(), MapQuantity::LossDb);
    // Each layer keeps its own colours: the palette goes to the top one alone.
    model->setPalette(coverage::Palette::Greys);
    const int power = model->layers().find(LayerKind::Result, model->layers().at(1).source);
    EXPECT_EQ(model->result(model->layers().at(power).source)->style.palette(),
              coverage::Palette::Viridis);

    // Column 6, row 1 of the synthetic grid, then the south-east cell with its warning.
    const double cell = 30.0 / 3600;
    model->mapHover(51.5 + 2.5 * cell, -0.125 + 2.5 * cell);
    const QStringList lines = model->lblHover().split(u'\n');
    ASSERT_EQ(lines.size(), 3) << model->lblHover().toStdString();
    EXPECT_EQ(lines[0], "51.52083 N 0.10417 W   2.7 km   terrain -4 m");
    EXPECT_TRUE(lines[1].startsWith("Tx 51.50000 N 0.12500 W, ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(": loss 165.0 dB")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(": power -110.0 dBm")) << lines[2].toStdString();
    model->mapHover(51.5 - 3.5 * cell, -0.125 + 3.5 * cell);
    EXPECT_TRUE(model->lblHover().endsWith("(model warning 3: parameters out of the model's range)"))
        << model->lblHover().toStdString();
    model->mapHover(51.5 + 3.5 * cell, -0.125 - 3.5 * cell);
    EXPECT_TRUE(model->lblHover().endsWith(": no data")) << model->lblHover().toStdString();

    // A hidden layer is not read and gives the legend to the next; a removed one frees its map.
    model->layers().setVisible(0, false);
    EXPECT_EQ(model->quantity(), MapQuantity::PowerDbm);
    model->mapHover(51.5 + 2.5 * cell, -0.125 + 2.5 * cell);
    EXPECT_EQ(model->lblHover().count(u'\n'), 1);
    model->layers().remove(power);
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(resultNames(model->layers()).size(), 1);
}

TEST_F(CoverageWindow, SavingWritesByTheChosenFormatAndReportsTheFiles) {
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    prompter.queueSaveFile("/tmp/out/map", 2);
    prompter.queueSaveFile("/tmp/out/map.TIFF", 2);
    model->mnuFileSaveMap_Click();
    model->mnuFileSaveMap_Click();
    ASSERT_EQ(writes.size(), 2U);
    EXPECT_EQ(writes[0], std::make_pair(MapFileFormat::Kml, QStringLiteral("/tmp/out/map.kml")));
    EXPECT_EQ(writes[1],
              std::make_pair(MapFileFormat::GeoTiff, QStringLiteral("/tmp/out/map.TIFF")));
    EXPECT_TRUE(logText().contains("Coverage map saved: /tmp/out/map.kml"));
    writeError = QStringLiteral("the disk is full");
    prompter.queueSaveFile("/tmp/out/b.tif");
    model->mnuFileSaveMap_Click();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"The map was not saved to /tmp/out/b.tif: the disk is full"});
    EXPECT_FALSE(logText().contains("b.tif"));
}

TEST_F(CoverageWindow, EngineWritersTakeTheMapsColoursAndReportTheirFiles) {
    auto model = open();
    model->setText(FrmCoverageModel::txtERP, "10");
    model->setText(FrmCoverageModel::txtFieldLevels, "80,70");
    ASSERT_TRUE(runToEnd(*model));
    model->setQuantity(MapQuantity::FieldDbuvm);
    // The files colour what the window colours: field strength, 80 and 70 dBµV/m and above.
    const coverage::ColourScale scale = model->mapStyle().colourScale();
    EXPECT_EQ(scale.quantity(), MapQuantity::FieldDbuvm);
    EXPECT_EQ(scale.colourFor(69).alpha, 0);
    model->setChkHatch(false);
    EXPECT_FALSE(model->mapStyle().colourScale().hatches(4));

    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(writeMapFiles(MapFileFormat::Kml, *model->currentResult(), dir.filePath("site.kml"),
                              written, error))
        << error.toStdString();
    EXPECT_EQ(written, (QStringList{dir.filePath("site.kml"), dir.filePath("site-overlay.png"),
                                    dir.filePath("site-legend.png")}));
    QFile kml(written[0]);
    ASSERT_TRUE(kml.open(QIODevice::ReadOnly));
    const QString kmlText = QString::fromUtf8(kml.readAll());
    EXPECT_TRUE(kmlText.contains(QString::fromStdString(model->mapStyle().title())));
    EXPECT_FALSE(writeMapFiles(MapFileFormat::GeoTiff, *model->currentResult(),
                               dir.filePath("missing/site.tif"), written, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(CoverageWindow, SavingAKmlAsksBeforeReplacingAPictureTheUserDidNotName) {
    // Regression: saving map.kml replaced the picture map.png without a word.
    QTemporaryDir dir;
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    QFile overlay(dir.filePath("map-overlay.png"));
    ASSERT_TRUE(overlay.open(QIODevice::WriteOnly));
    overlay.close();
    prompter.queueSaveFile(dir.filePath("map.kml"));
    prompter.queueMessage(MsgAnswer::No);
    model->mnuFileSaveMap_Click();
    EXPECT_TRUE(writes.empty());
    ASSERT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_TRUE(prompter.messageTexts()[0].contains("map-overlay.png already exists."));
    prompter.queueSaveFile(dir.filePath("map.kml"));
    prompter.queueMessage(MsgAnswer::Yes);
    model->mnuFileSaveMap_Click();
    ASSERT_EQ(writes.size(), 1U);
    // A suffix the window adds to the name typed asks the same way.
    prompter.queueSaveFile(dir.filePath("map-overlay"), 1);
    prompter.queueMessage(MsgAnswer::No);
    model->mnuFileSaveMap_Click();
    EXPECT_EQ(writes.size(), 1U);
    // Regression: the KML's legend picture replaced other-legend.png without a word.
    QFile legend(dir.filePath("other-legend.png"));
    ASSERT_TRUE(legend.open(QIODevice::WriteOnly));
    legend.close();
    prompter.queueSaveFile(dir.filePath("other.kml"));
    prompter.queueMessage(MsgAnswer::No);
    model->mnuFileSaveMap_Click();
    EXPECT_EQ(writes.size(), 1U);
    EXPECT_TRUE(prompter.messageTexts().back().contains("other-legend.png already exists."));
}

TEST_F(CoverageWindow, WarnedCellsAreCountedInWordsOnceInTheWindowAndTheReport) {
    engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                coverage::RunControl&) {
        coverage::CoverageResult result = test::syntheticRun(in);
        result.grid.warningCause.assign(64, coverage::WarningCause::None);
        result.grid.warningCause[63] = coverage::WarningCause::RefractivityLow;
        return result;
    };
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    const QString words = "1 cell with model warning 3: surface refractivity at the path "
                          "elevation below 250 N-units";
    EXPECT_EQ(model->lblWarnings(), words);
    EXPECT_EQ(logText().count(words), 1) << logText().toStdString();
    EXPECT_TRUE(model->chkHatch());
    model->setChkHatch(false);
    model->Form_Unload();
    auto reopened = open();
    EXPECT_FALSE(reopened->chkHatch());
}

TEST_F(CoverageWindow, ANewPathOrRadioParameterOfTheFormIsShownAndTakenByTheNextRun) {
    auto model = open();
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(model->lblInputsChanged(), "");
    state.path.coords[PathState::TxLatDeg_DD] = QStringLiteral("52");
    radio.frequencyMHz = 900;
    model->formChanged();
    EXPECT_TRUE(model->lblSource().startsWith("Transmitter 52.50000 N 0.12500 W"));
    EXPECT_TRUE(model->lblSource().contains("900 MHz"));
    EXPECT_TRUE(model->lblInputsChanged().contains("changed"));
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(std::make_pair(ran->tx.latDeg, ran->freqMHz), std::make_pair(52.5, 900.0));
    EXPECT_EQ(model->lblInputsChanged(), "");
}

TEST_F(CoverageWindow, AfterAFailedExtractionTheMapFollowsTheNewPathAndTerrain) {
    // Regression: the map kept a stale transmitter with the raster of the failed extraction.
    auto model = open();
    state.path.coords[PathState::TxLatDeg_DD] = QStringLiteral("47");
    state.path.TerrainSource = QStringLiteral("Raster");
    state.path.RasterPath = QStringLiteral("/data/missing-tiles/");
    state.path.ProfileReady = false;
    EXPECT_TRUE(model->lblSource().startsWith("Transmitter 47.50000 N"));
    EXPECT_TRUE(model->lblSource().contains("terrain Raster (missing-tiles)"));
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_EQ(ran->tx.latDeg, 47.5);
}

TEST_F(CoverageWindow, AProfileReadFromAFileHasNoPositionSoTheMapAsksForOne) {
    // Regression: after File > Load Profile the map ran at the old path's transmitter.
    auto model = open();
    state.path.ProfileReady = true;
    state.path.ProfileFile = QStringLiteral("/home/u/ridge.pfl");
    EXPECT_TRUE(model->lblSource().startsWith(
        "Transmitter not known (the profile comes from ridge.pfl, which has no position: Run "
        "asks for one)"))
        << model->lblSource().toStdString();
    EXPECT_FALSE(model->receiver());
    prompter.queueInputCancel();
    EXPECT_FALSE(model->cmdRun_Click());
    prompter.queueInput("91, 7");
    EXPECT_FALSE(model->cmdRun_Click());
    EXPECT_EQ(prompter.messages.size(), 1U);
    EXPECT_FALSE(ran);
    prompter.queueInput(" 45.5, -7.25 ");
    ASSERT_TRUE(runToEnd(*model)) << prompter.messageTexts().join('|').toStdString();
    EXPECT_EQ(ran->tx.latDeg, 45.5);
    EXPECT_EQ(ran->tx.lonDeg, -7.25);
    EXPECT_TRUE(
        model->lblSource().contains("45.50000 N 7.25000 W (the profile comes from ridge.pfl, "
                                    "position entered)"));
    // The next run keeps the position entered while the form holds that file.
    ASSERT_TRUE(runToEnd(*model));
    EXPECT_TRUE(prompter.inputAnswers.empty());
    state.path.ProfileFile.clear();
    EXPECT_TRUE(model->lblSource().startsWith("Transmitter 51.50000 N"));
}

class NetworkRun : public CoverageWindow {
protected:
    void SetUp() override {
        CoverageWindow::SetUp();
        linkBudget = [](coverage::CoverageInputs& in) {
            in.transmitter.powerDbm = 40;
            in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -65};
            return true;
        };
        engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                    coverage::RunControl&) { return test::columnFalloff(in); };
        model = open();
        model->setSitesTools(&tools);
    }
    MapSitesTools tools{state, store, prompter, QStringLiteral("Verdan"), PathProfileServices{}};
    std::unique_ptr<FrmCoverageModel> model;
};

constexpr double Cell = 30.0 / 3600;

TEST_F(NetworkRun, EverySiteRunsWithItsOwnColumnsAndTheMergeGivesTheNetworksLayers) {
    // B lies three cells east of A, with 5 dB more power.
    tools.sites().addSite(51.5, -0.125);
    tools.sites().addSite(51.5, -0.125 + 3 * Cell);
    ASSERT_TRUE(tools.sites().setCell(1, int(coverage::SiteColumn::Power), "45dBm"));
    ASSERT_TRUE(model->mnuRunNetwork_Click());
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() != RunState::Running; }));
    ASSERT_EQ(model->run().state(), RunState::Done) << model->run().message().toStdString();
    ASSERT_TRUE(ran && ran->transmitter.powerDbm);
    EXPECT_EQ(*ran->transmitter.powerDbm, 45);
    EXPECT_EQ(ran->tx.lonDeg, -0.125 + 3 * Cell);
    EXPECT_EQ(resultNames(model->layers()).join(u'|').toStdString(),
              "Network of 2 sites Best server|Network of 2 sites Sites at or above the threshold|"
              "Network of 2 sites SINR (dB)|Network of 2 sites Strongest received power (dBm)");
    // Merged column 5: A -60 dBm, B -65 dBm; column 6: A -70, B -55, and by hand
    // SINR = -55 - 10 log10(10^-7 + 10^-10.9) = 14.9995 dB (noise -109 dBm in 1 MHz, NF 5 dB).
    model->mapHover(51.5 + 3.5 * Cell, -0.125 + 1.5 * Cell);
    EXPECT_TRUE(model->lblHover().contains(": 1 Site_1\n")) << model->lblHover().toStdString();
    model->mapHover(51.5 + 3.5 * Cell, -0.125 + 2.5 * Cell);
    const QStringList lines = model->lblHover().split(u'\n');
    ASSERT_EQ(lines.size(), 5) << model->lblHover().toStdString();
    EXPECT_TRUE(lines[1].endsWith(": 2 Site_2")) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].endsWith(": 15.0 dB")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].endsWith(": power -55.0 dBm")) << lines[4].toStdString();
    EXPECT_TRUE(logText().contains("Network map: 2 sites (Site_1, Site_2)")) << logText().toStdString();
    // Saved as KML: the best server's picture with the sites named in the legend.
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(writeMapFiles(MapFileFormat::Kml, *model->currentResult(), dir.filePath("net.kml"),
                              written, error))
        << error.toStdString();
    EXPECT_EQ(written, (QStringList{dir.filePath("net.kml"), dir.filePath("net-overlay.png")}));
    // Regression: saving it as KML asked whether to replace a legend picture it does not write.
    ASSERT_TRUE(test::writeContent(dir.filePath("other-legend.png"), "other"));
    prompter.queueSaveFile(dir.filePath("other.kml"));
    model->mnuFileSaveMap_Click();
    EXPECT_TRUE(prompter.messageTexts().isEmpty()) << prompter.messageTexts().join('|').toStdString();
    // The same network again replaces its layers.
    ASSERT_TRUE(model->mnuRunNetwork_Click());
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Done; }));
    EXPECT_EQ(resultNames(model->layers()).size(), 4);
}

// Regression: a power given in watts was told as "46.9897000433602 dBm".
TEST(CoverageCaption, APowerInWattsIsToldToAThousandthOfADecibel) {
    coverage::CoverageInputs in;
    in.transmitter.powerDbm = 10 * std::log10(50e3); // 50 W
    EXPECT_TRUE(inputsText(in, {}, {}).contains(", power 46.99 dBm, gain "))
        << inputsText(in, {}, {}).toStdString();
}

TEST_F(NetworkRun, RegressionSavingAMarginMapWritesOnlyTheFilesItNames) {
    // Regression: a covered-area outline file was written beside the map, unasked and untold.
    ASSERT_TRUE(runToEnd(*model));
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(writeMapFiles(MapFileFormat::GeoTiff, *model->currentResult(),
                              dir.filePath("m.tif"), written, error));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"m.tif"});
}

TEST_F(NetworkRun, ACancelKeepsNoNetworkLayerAndRefusalsNameTheirCause) {
    model->mnuRunNetwork_Click();
    tools.sites().addSite(51.5, -0.125);
    tools.sites().addSite(51.5, 14); // 980 km east: at 1" the merged map is too large
    ASSERT_TRUE(tools.sites().setCell(1, int(coverage::SiteColumn::Azimuth), "90"));
    model->mnuRunNetwork_Click();
    ASSERT_TRUE(tools.sites().setCell(1, int(coverage::SiteColumn::Azimuth), ""));
    model->setText(Field::txtResolution, "1");
    model->mnuRunNetwork_Click();
    const QStringList told = prompter.messageTexts();
    ASSERT_EQ(told.size(), 3) << told.join(u'|').toStdString();
    EXPECT_EQ(told[0].toStdString(), "The sites table has no site: open a sites file or add "
                                     "sites before running the network.");
    EXPECT_EQ(told[1].toStdString(), "Site Site_2 (row 2 of the sites table): column azimuth: it "
                                     "aims an antenna pattern; give the site's antenna");
    EXPECT_TRUE(told[2].startsWith("The network was not run: The merged map would span more than"))
        << told[2].toStdString();
    model->setText(Field::txtResolution, "30");
    engine = test::endlessRun;
    ASSERT_TRUE(model->mnuRunNetwork_Click());
    ASSERT_TRUE(test::processUntil([&] { return model->prgRun() > 0; }));
    model->cmdCancel_Click();
    ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Idle; }));
    EXPECT_TRUE(resultNames(model->layers()).isEmpty());
    EXPECT_EQ(model->lblStatus(), "Cancelled: no map of the network or its sites is kept.");
    EXPECT_FALSE(logText().contains("Network map"));
}

} // namespace
} // namespace verdan
