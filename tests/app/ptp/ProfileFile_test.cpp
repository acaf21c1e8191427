#include "ProfileFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;

namespace {

struct MalformedCase {
    const char* name;
    QString text;
    const char* expectedWords;
};

class MalformedProfile : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedProfile, IsRefusedNamingTheProblemAndKeepsTheProfile) {
    std::vector<double> pfl{1, 10, 5, 6};
    QString error;
    EXPECT_FALSE(parseProfileText(GetParam().text, pfl, error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().expectedWords))) << error.toStdString();
    EXPECT_EQ(pfl, (std::vector<double>{1, 10, 5, 6}));
}

QString tooManyPoints() {
    QString text = QStringLiteral("50000,10");
    for (int k = 0; k <= 50000; ++k)
        text += QStringLiteral(",1");
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    ProfileFile, MalformedProfile,
    ::testing::Values(MalformedCase{"empty", "", "too few numbers"},
                      MalformedCase{"three_numbers", "1,10,5", "too few numbers"},
                      MalformedCase{"not_a_number", "2,10,5,abc,7", "not a number"},
                      MalformedCase{"nan", "2,10,5,nan,7", "not a number"},
                      MalformedCase{"empty_value", "2,10,5,,7", "empty"},
                      MalformedCase{"count_disagrees", "3,10,5,6,7", "holds 3 elevations"},
                      MalformedCase{"fractional_count", "1.5,10,5,6", "whole number"},
                      MalformedCase{"zero_spacing", "2,0,5,6,7", "must be at least 1 m"},
                      MalformedCase{"negative_spacing", "2,-25,5,6,7", "must be at least 1 m"},
                      // Regressions: absurd values gave losses far below free space.
                      MalformedCase{"tiny_spacing", "3 1e-300 10 10 20 30", "(1E-300 m, line 1)"},
                      MalformedCase{"peak_above_9000_m", "2,10\n5,6\n29477", "(29477 m, line 3)"},
                      MalformedCase{"trench_below_500_m", "2 10\n-18842 6 7", "line 2"},
                      MalformedCase{"overflowing_elevation", "2,10,5,1e400,7", "line 1"},
                      MalformedCase{"too_many_points", tooManyPoints(), "at most 50000"}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

// Commas, blanks and any line end separate the numbers; what is written reads back the same.
TEST(ProfileFile, ReadsCommasBlanksAndLineEndsAndWhatItWrites) {
    std::vector<double> pfl;
    QString error;
    ASSERT_TRUE(parseProfileText(" 3, 25.6\n1692 1692.5,\r\n1693\t-4\n", pfl, error))
        << error.toStdString();
    EXPECT_EQ(pfl, (std::vector<double>{3, 25.6, 1692, 1692.5, 1693, -4}));
    QTemporaryDir dir;
    const QString path = dir.filePath("p.pfl");
    pfl = {11, 30.5};
    for (int k = 0; k < 12; ++k)
        pfl.push_back(100 + k * 0.25);
    ASSERT_TRUE(writeProfileFile(path, pfl, error)) << error.toStdString();
    std::vector<double> back;
    ASSERT_TRUE(readProfileFile(path, back, error)) << error.toStdString();
    EXPECT_EQ(back, pfl);
    EXPECT_EQ(profileText(pfl).section(u'\n', 0, 0), "11,30.5");
    EXPECT_EQ(profileText(pfl).section(u'\n', 1, 1),
              "100,100.25,100.5,100.75,101,101.25,101.5,101.75,102,102.25");
}

TEST(ProfileFile, MissingAndBinaryFilesAreRefused) {
    QTemporaryDir dir;
    std::vector<double> pfl{1, 10, 5, 6};
    QString error;
    EXPECT_FALSE(readProfileFile(dir.filePath("absent.pfl"), pfl, error));
    EXPECT_TRUE(error.contains("cannot be read"));
    ASSERT_TRUE(test::writeContent(dir.filePath("binary.pfl"), QByteArray("1,10,5\0,6", 9)));
    EXPECT_FALSE(readProfileFile(dir.filePath("binary.pfl"), pfl, error));
    EXPECT_TRUE(error.contains("not a text file"));
    // Regression: endless devices were read until memory ran out.
    for (const char* device : {"/dev/zero", "/dev/urandom"})
        EXPECT_FALSE(readProfileFile(device, pfl, error)) << device;
    EXPECT_EQ(pfl, (std::vector<double>{1, 10, 5, 6}));
    EXPECT_FALSE(writeProfileFile("/nonexistent-folder/p.pfl", {1, 10, 5, 6}, error));
}

} // namespace
