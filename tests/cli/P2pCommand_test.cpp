#include "P2pCommand.h"

#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

// The table of the short reference profile in the run's mode of variability 12, as the
// point-to-point run's own test cites it: the command's JSON is the second route to it.
TEST(P2pCommand, JsonTableOfTheReferenceProfile) {
    const Outcome json =
        runCommand(p2pCommand, {"--profile", ReferenceProfile, "--freq", "3500", "--h1", "15",
                                "--h2", "3", "--sgm", "0.005", "--format", "json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    EXPECT_EQ(json.out, "{\"distance_km\":3.635,\"free_space_db\":114.5,\"path\":\"Line-Of-Sight "
                        "Path\",\"dominant_mode\":\"\",\"kwx\":0,\"reliability_pct\":[1,10,50,"
                        "90,99],\"confidence_pct\":[50,90,10],\"loss_db\":[[114.3,124.1,111.5],"
                        "[114.4,124.3,111.5],[114.5,124.4,111.5],[114.6,124.5,111.6],[114.7,124.5,"
                        "111.6]]}\n");
}

// A small profile in a new folder, for cases that must not touch the reference data.
QString writeProfile(const QTemporaryDir& dir) {
    EXPECT_TRUE(test::writeContent(dir.filePath("path.pfl"),
                                   "10 1000 100 110 120 130 140 150 140 130 120 110 100\n"));
    return dir.filePath("path.pfl");
}

// Regression: a permittivity of 1e6 gave NaN losses without any warning, and JSON with NaN;
// the text report ran the NaN columns together as "NaNNaNNaN".
TEST(P2pCommand, LossesThatAreNotNumbersComeWithTheWarning) {
    QTemporaryDir dir;
    const QStringList args{"--profile", writeProfile(dir), "--eps", "1e6"};
    const Outcome json = runCommand(p2pCommand, args + QStringList{"--format", "json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    QJsonParseError parsed{};
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &parsed).object();
    EXPECT_EQ(parsed.error, QJsonParseError::NoError) << json.out;
    EXPECT_EQ(root["kwx"].toInt(), 4);
    EXPECT_TRUE(root["loss_db"].toArray()[0].toArray()[0].isNull());
    const Outcome csv = runCommand(p2pCommand, args + QStringList{"--format", "csv"});
    EXPECT_NE(csv.err.find("warning: "), std::string::npos) << csv.err;
    const Outcome text = runCommand(p2pCommand, args);
    EXPECT_EQ(text.out.find("NaNNaN"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("     NaN"), std::string::npos) << text.out;
}

TEST(P2pCommand, PictureOntoTheProfileOrWithoutANameIsRefused) {
    QTemporaryDir dir;
    const QString profile = writeProfile(dir);
    for (const QString& picture : {profile, dir.path() + "/./path.pfl", QString()}) {
        const Outcome o = runCommand(p2pCommand, {"--profile", profile, "--picture=" + picture});
        EXPECT_EQ(o.status, ExitUsage) << picture.toStdString();
        EXPECT_NE(o.err.find("--picture"), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
    EXPECT_EQ(test::fileContent(profile), "10 1000 100 110 120 130 140 150 140 130 120 110 100\n");
}

} // namespace
