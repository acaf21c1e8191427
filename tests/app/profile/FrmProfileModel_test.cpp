#include "FrmProfileModel.h"

#include "FrmDriveSelectModel.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

const QStringList DefaultCoords{"39", "4",  "48", "N", "76", "42", "0",  "W",
                                "38", "55", "12", "N", "76", "58", "48", "W"};

class FrmProfile : public ::testing::Test {
protected:
    FrmProfile() {
        for (int i = 0; i < PathState::CoordCount; ++i)
            state.path.coords.at(static_cast<std::size_t>(i)) = DefaultCoords.at(i);
    }
    void load() { form.Form_Load(); }
    ProgramState state;
    ScriptedPrompter prompter;
    TerrainLibrary terrain{prompter};
    AppInfo info;
    FrmProfileModel form{state, prompter, terrain, info};
};

TEST_F(FrmProfile, DecimalViewAndBackTruncateTheSeconds) {
    load();
    form.mnuEditDD_Click();
    EXPECT_EQ(form.txtTLat(), QStringLiteral("39.0800"));
    EXPECT_EQ(form.txtRLat(), QStringLiteral("38.9200"));
    form.mnuEditDMS_Click();
    EXPECT_TRUE(form.dmsVisible());
    EXPECT_EQ(form.txtTransLat(1), QStringLiteral("4"));
    EXPECT_EQ(form.txtTransLat(2), QStringLiteral("47"));
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("N")) << "the hemisphere stays";
}

// Regression: the decimal-degree path was not kept, so the form opened on the old degree
// boxes. It opens on the view and the decimal texts the point-to-point form restored.
TEST_F(FrmProfile, RegressionOpensOnTheRestoredDecimalPath) {
    state.path.TxLatDD = QStringLiteral(" 40.015");
    state.path.TxLonDD = QStringLiteral(" 105.2705");
    state.path.RxLatDD = QStringLiteral(" 39.9");
    state.path.RxLonDD = QStringLiteral(" 105.5");
    state.path.CoordsInDD = true;
    state.path.coords[PathState::TxLonH_EW] = QStringLiteral("W");
    load();
    EXPECT_TRUE(form.ddVisible());
    EXPECT_EQ(form.txtTLat(), QStringLiteral(" 40.015"));
    EXPECT_EQ(form.txtRLon(), QStringLiteral(" 105.5"));
    EXPECT_DOUBLE_EQ(form.currentEnds().txLonDeg, -105.2705);
}

// Regression: choosing a raster file or folder left the source on "Quarn", and every dialog
// started in the home folder. A choice selects "Raster"; a dialog starts where the last
// choice of its kind was, at first in the program's data folder (the demo terrain).
TEST_F(FrmProfile, RegressionChoosingARasterSelectsTheRasterSource) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    info.dataFolder = data.path();
    ASSERT_TRUE(QDir(data.path()).mkpath("tiles"));
    const QString raster = data.filePath("tiles/n39w077.hgt");
    QFile file(raster);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    load();
    ASSERT_EQ(form.optDorvex(), 0);
    prompter.queueOpenFile(raster);
    form.cmdRasterFile_Click();
    EXPECT_EQ(prompter.openRequests.back().startFolder, data.path());
    EXPECT_EQ(form.optDorvex(), 2);
    EXPECT_EQ(state.path.TerrainSource, "Raster");
    EXPECT_EQ(form.lblRaster(), raster);

    form.optDorvex_Click(0);
    prompter.queueOpenFile(data.filePath("tiles"));
    form.cmdRasterFolder_Click();
    EXPECT_EQ(prompter.openRequests.back().startFolder, data.filePath("tiles"))
        << "the folder of the last raster";
    EXPECT_EQ(form.optDorvex(), 2);

    form.optDorvex_Click(0);
    form.cmdRasterFile_Click(); // cancelled
    EXPECT_EQ(form.optDorvex(), 0) << "a cancelled dialog chooses nothing";
}

TEST_F(FrmProfile, RegressionDecimalBoxesHoldUnsignedValues) {
    load();
    form.mnuEditDD_Click();
    form.setTxtTLon(QStringLiteral("-76.7"));
    EXPECT_DOUBLE_EQ(form.currentEnds().txLonDeg, -76.7) << "the hemisphere W gives the sign";
    form.txtTLon_LostFocus();
    EXPECT_EQ(form.txtTLon(), QStringLiteral(" 76.7"));
    form.setTxtTLat(QStringLiteral("-39.08"));
    EXPECT_DOUBLE_EQ(form.currentEnds().txLatDeg, 39.08) << "the hemisphere N gives the sign";
    form.mnuEditDMS_Click();
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("39"));
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("N"));
}

TEST_F(FrmProfile, RasterFolderGivesOnePointPerCellAndFailuresNameTheRaster) {
    const QString tiles = QStringLiteral(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic");
    load();
    prompter.queueOpenFile(QString());
    form.optDorvex_Click(2);
    ASSERT_EQ(prompter.openRequests.size(), 1u) << "no raster yet: a file is asked for";
    EXPECT_EQ(state.path.TerrainSource, QStringLiteral("Raster"));
    prompter.queueOpenFile(tiles);
    form.cmdRasterFolder_Click();
    EXPECT_TRUE(prompter.openRequests.back().folder);
    EXPECT_EQ(form.lblRaster(), tiles);
    form.cmdCalc_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'|').toStdString();
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.ProfilePoints, 1162);
    ASSERT_EQ(state.path.pfl.size(), 1164u);
    EXPECT_NEAR(state.path.pfl[1], 25.9, 0.1);
    EXPECT_EQ(state.path.RasterName, QStringLiteral("Raster (demo-tiles-synthetic)"));
    EXPECT_EQ(state.path.FilledPoints, 0);

    state.path.RasterPath = tiles + QStringLiteral("/missing.tif");
    form.cmdCalc_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("missing.tif")));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(state.path.ProfileReady);
}

} // namespace
