#include "SitesTableModel.h"

#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace verdan {
namespace {

const char* const Network = "name,lat,lon,height_m,power,antenna,azimuth\n"
                            "North,45.5,7.25,30,50W,panel.msi,120\n"
                            "south,45.25,7.5,,47dBm,,\n";

class SitesTable : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("net.csv"));
        ASSERT_TRUE(test::writeContent(path, Network));
        std::string error;
        ASSERT_TRUE(tools::writeTextFile(dir.filePath(QStringLiteral("panel.msi")).toStdString(),
                                         tools::msiText(tools::panelPattern()), error));
        ASSERT_TRUE(model.openFile(path));
        QObject::connect(&model, &SitesTableModel::sitesChanged, [this] { ++changes; });
    }

    QTemporaryDir dir;
    QString path;
    test::ScriptedPrompter prompter;
    SitesTableModel model{prompter};
    int changes = 0;
};

TEST_F(SitesTable, EditsAreCheckedByTheSitesFilesOwnRules) {
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.cell(0, 4), "46.99dBm");
    EXPECT_EQ(model.cell(1, 3), "");
    const struct {
        int row;
        int column;
        const char* text;
        const char* message; // empty: accepted
        const char* cell;
    } cases[] = {
        {1, 3, "25", "", "25"},
        {0, 4, "20", "Site 1: column power: give the power's unit", "46.99dBm"},
        {0, 1, "91", "Site 1: column lat: expected -90 to 90", "45.5"},
        {1, 0, "NORTH", "Site 2: column name: \"NORTH\" is given twice", "south"},
        {0, 6, "12", "Site 1: columns gain and antenna: both given", ""},
        {1, 6, "10dBd", "", "12.15dBi"},
        {1, 8, "400", "Site 2: column azimuth: expected 0 to 360", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.messages.clear();
        EXPECT_EQ(model.setCell(c.row, c.column, QString::fromLatin1(c.text)), *c.message == 0);
        if (*c.message) {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String(c.message)))
                << prompter.messages[0].text.toStdString();
        }
        EXPECT_EQ(model.cell(c.row, c.column), QLatin1String(c.cell));
    }
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(model.dirty());
}

TEST_F(SitesTable, SitesAddedMovedAndRemovedAreSavedAsTheSameCsv) {
    EXPECT_EQ(model.addSite(45.1, 7.1), 2);
    EXPECT_EQ(model.addSite(45.2, 7.2), 3);
    EXPECT_EQ(model.cell(3, 0), "Site_2");
    EXPECT_TRUE(model.moveSite(2, 45.3, 7.3));
    EXPECT_FALSE(model.moveSite(2, 95, 7.3));
    model.removeSite(0);
    ASSERT_TRUE(model.setCell(2, 10, QStringLiteral("900"))); // a column the file did not have
    EXPECT_EQ(changes, 5);
    ASSERT_TRUE(model.mnuSave_Click());
    EXPECT_FALSE(model.dirty());
    EXPECT_EQ(test::fileContent(path).toStdString(),
              "name,lat,lon,height_m,power,antenna,azimuth,freq_mhz\n"
              "south,45.25,7.5,,47dBm,,,\n"
              "Site_1,45.3,7.3,,,,,\n"
              "Site_2,45.2,7.2,,,,,900\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left
}

TEST_F(SitesTable, ClosingWithUnsavedChangesAsks) {
    const struct {
        const char* what;
        MsgAnswer answer;
        bool saveFails;
        bool closed;
        bool saved;
    } cases[] = {
        {"cancel", MsgAnswer::Cancel, false, false, false},
        {"no", MsgAnswer::No, false, true, false},
        {"yes", MsgAnswer::Yes, false, true, true},
        {"yes, but the file cannot be written", MsgAnswer::Yes, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(test::writeContent(path, Network));
        SitesTableModel table(prompter);
        ASSERT_TRUE(table.openFile(path));
        table.moveSite(1, 45, 7);
        if (c.saveFails) { // a folder where the file was: it cannot be replaced
            ASSERT_TRUE(QFile::remove(path));
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("net.csv")));
        }
        prompter.messages.clear();
        prompter.queueMessage(c.answer);
        table.closeBoxClicked();
        EXPECT_EQ(table.closeRequested(), c.closed);
        EXPECT_EQ(prompter.messages.at(0).text, "Save the changes to net.csv?");
        EXPECT_EQ(prompter.messages.at(0).buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(table.dirty(), !c.saved);
        if (c.saveFails) {
            ASSERT_EQ(prompter.messages.size(), 2u);
            EXPECT_TRUE(prompter.messages[1].text.startsWith(QLatin1String("The sites were not saved: ")));
            ASSERT_TRUE(QDir(path).removeRecursively());
        } else {
            EXPECT_EQ(test::fileContent(path).contains("south,45,7,"), c.saved);
        }
    }
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(SitesTable, TheSelectedSitesAntennaIsReadBesideTheFile) {
    model.setSelectedRow(0);
    ASSERT_TRUE(model.pattern());
    EXPECT_EQ(model.pattern()->gainDbi, 18);
    EXPECT_EQ(model.pointing().azimuthDeg, 120);
    model.setSelectedRow(1);
    EXPECT_FALSE(model.pattern());
    ASSERT_TRUE(model.setCell(1, 7, QStringLiteral("missing.msi")));
    EXPECT_FALSE(model.pattern());
    EXPECT_TRUE(model.lblAntenna().contains(QLatin1String("missing.msi"))) << model.lblAntenna().toStdString();

    ASSERT_TRUE(test::writeContent(dir.filePath(QStringLiteral("bad.csv")), "name,lat\nx,1\n"));
    prompter.messages.clear();
    EXPECT_FALSE(model.openFile(dir.filePath(QStringLiteral("bad.csv"))));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QLatin1String("bad.csv")));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.filePath(), path);
}

} // namespace
} // namespace verdan
