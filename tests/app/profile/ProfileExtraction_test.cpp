#include "ProfileExtraction.h"

#include "Coordinates.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

TEST(IdenticalEnds, RegressionPointsCloserThanAMetreCountAsIdentical) {
    const double halfMetreDeg = 0.5 / 111195.08;
    EXPECT_TRUE(identicalEnds(PathEnds{39.08, -76.7, 39.08, -76.7}));
    EXPECT_TRUE(identicalEnds(PathEnds{39.08, -76.7, 39.08 + halfMetreDeg, -76.7}));
    EXPECT_FALSE(identicalEnds(PathEnds{39.08, -76.7, 39.08 + 3 * halfMetreDeg, -76.7}));
    EXPECT_FALSE(identicalEnds(test::defaultPath()));
}

TEST(ExtractGlobeProfile, EightHundredPointsAlongThePath) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    const PathEnds ends = test::defaultPath();
    const ExtractionResult result = extractGlobeProfile(library, ends, globe.folder());
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'|').toStdString();
    ASSERT_TRUE(result.succeeded()) << result.errorNumber;
    ASSERT_EQ(result.pfl.size(), 802u);
    EXPECT_EQ(result.pfl[0], 799);
    const double lengthM =
        greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg);
    EXPECT_NEAR(result.pfl[1], lengthM / 799, lengthM / 799 * 0.005);
    EXPECT_NEAR(result.pfl[2], test::testElevationM(ends.txLatDeg, ends.txLonDeg), 10);
    EXPECT_NEAR(result.pfl[801], test::testElevationM(ends.rxLatDeg, ends.rxLonDeg), 10);
}

// Regression: paths of a few metres came out 5-25 % short.
TEST(ExtractGlobeProfile, ShortPathsKeepTheirLength) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    for (const double lengthM : {1.5, 2.0, 5.0, 11.0, 1000.0}) {
        const PathEnds ends{60.1, 10.1, 60.1 + lengthM / 111195.08, 10.1};
        const ExtractionResult result = extractGlobeProfile(library, ends, globe.folder());
        ASSERT_TRUE(result.succeeded()) << lengthM;
        EXPECT_NEAR(result.pfl[1] * result.pfl[0], lengthM, lengthM * 0.002) << lengthM;
    }
}

TEST(ExtractGlobeProfile, RegressionFolderLongerThanThePathWidthIsNotCutShort) {
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    const QString longFolder = QStringLiteral("/tmp/") + QString(160, u'x') + u'/';
    const ExtractionResult result = extractGlobeProfile(library, test::defaultPath(), longFolder);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.errorNumber, -1000);
    EXPECT_TRUE(library.binding().loadedPath().isEmpty()) << "the library was not called";
}

TEST(ExtractGlobeProfile, MissingAndShortTilesGiveTheirErrorNumbers) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    ASSERT_TRUE(globe.truncateTileC());
    EXPECT_EQ(extractGlobeProfile(library, test::tileCPath(), globe.folder()).errorNumber, -1103);
    ASSERT_TRUE(globe.removeTileC());
    EXPECT_EQ(extractGlobeProfile(library, test::tileCPath(), globe.folder()).errorNumber, -1003);
}

TEST(ExtractQuarnProfile, RegressionMissingDataIsCountedAndSetToZero) {
    // The block holding the transmitter end is missing from the database.
    const std::pair<int, int> block{39 * 60 + 30, -78 * 60 + 30};
    test::QuarnFixture quarn(true, block);
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    const ExtractionResult result = extractQuarnProfile(library, test::quarnPath(), 2);
    ASSERT_TRUE(result.succeeded()) << result.errorNumber;
    EXPECT_GT(result.filledPoints, 0);
    EXPECT_LT(result.filledPoints, result.pointsReturned);
    ASSERT_EQ(result.pfl.size(), static_cast<std::size_t>(result.pointsReturned) + 2);
    EXPECT_EQ(result.pfl[2], 0.0) << "the first point has no data";
    EXPECT_NEAR(result.pfl.back(), test::testElevationM(39.45, -76.5), 10);
    for (std::size_t i = 2; i < result.pfl.size(); ++i)
        ASSERT_FALSE(std::isnan(result.pfl[i])) << i;
}

TEST(TerrainLibrary, MissingLibraryIsNamedAndNothingIsCalled) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter, empty.path());
    const ExtractionResult result = extractGlobeProfile(library, test::defaultPath(), "/x/");
    EXPECT_TRUE(result.libraryMissing);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("libdorvex.so")));
}

} // namespace

TEST(ExtractQuarnProfile, RegressionAProfileWithoutAnyDataFails) {
    const std::pair<int, int> block{39 * 60 + 30, -78 * 60 + 30};
    test::QuarnFixture quarn(true, block);
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    ScriptedPrompter prompter;
    TerrainLibrary library(prompter);
    const ExtractionResult result =
        extractQuarnProfile(library, PathEnds{39.51, -77.499, 39.52, -77.49}, 2);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.errorNumber, QuarnMissingElevations);
    EXPECT_TRUE(result.pfl.empty());
}
