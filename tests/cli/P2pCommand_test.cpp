#include "P2pCommand.h"

#include "CliPrompter.h"
#include "CliRun.h"

#include <QFile>
#include <QJsonParseError>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

const QString ReferenceProfile =
    QStringLiteral(VERDAN_TEST_DATA_DIR "/reference/p2p_profile_short.pfl");

QString lineStarting(const std::string& text, const QString& prefix) {
    for (const QString& line : QString::fromStdString(text).split(u'\n')) {
        if (line.startsWith(prefix))
            return line;
    }
    return {};
}

TEST(P2pCommand, ReferenceCaseAgreesWithThePublishedFigures) {
    const Outcome o = runCommand(p2pCommand, {"--profile", ReferenceProfile, "--freq", "3500",
                                              "--h1", "15", "--h2", "3", "--sgm", "0.005"});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_EQ(lineStarting(o.out, "Free Space Value"), "Free Space Value   114.5 dB");
    EXPECT_EQ(lineStarting(o.out, "Terrain, Delta H"), "Terrain, Delta H 3.2 m");
    EXPECT_EQ(lineStarting(o.out, "Effective Heights"), "Effective Heights 15.0, 3.0 m");
    // Ns is printed with two decimals; the reference rounds it to 251.5.
    const QString ns = lineStarting(o.out, "Continental Temperate, Ns ").section(u' ', 3, 3);
    EXPECT_NEAR(ns.chopped(1).toDouble(), 251.5, 0.05 + 0.005) << ns.toStdString();
    EXPECT_EQ(lineStarting(o.out, "Line-Of-Sight"), "Line-Of-Sight Path");
    EXPECT_TRUE(lineStarting(o.out, "Terrain Handler").isEmpty());
}

TEST(P2pCommand, DefaultsAreThoseOfTheForm) {
    const Outcome o = runCommand(p2pCommand, {"--profile", ReferenceProfile});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_EQ(lineStarting(o.out, "Frequency"), "Frequency 20.0 MHz");
    EXPECT_EQ(lineStarting(o.out, "Antenna Heights"), "Antenna Heights  3.3,  1.3 m");
    EXPECT_EQ(lineStarting(o.out, "Polarity"), "Polarity - Vertical, Eps= 15.00, SGM = .0010");
    EXPECT_EQ(lineStarting(o.out, "         bility"), "         bility     50.0    90.0    10.0");
}

TEST(P2pCommand, CsvAndJsonTables) {
    const Outcome csv = runCommand(p2pCommand, {"--profile", ReferenceProfile, "--rel", "10,90",
                                                "--conf", "50", "--format", "csv"});
    ASSERT_EQ(csv.status, ExitOk) << csv.err;
    const QStringList lines = QString::fromStdString(csv.out).trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "reliability_pct,conf_50");
    EXPECT_TRUE(lines[1].startsWith("10,"));

    const Outcome json = runCommand(p2pCommand, {"--profile", ReferenceProfile, "--freq", "3500",
                                                 "--h1", "15", "--h2", "3", "--format", "json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["path"].toString(), "Line-Of-Sight Path");
    EXPECT_EQ(root["loss_db"].toArray().size(), 5);
    EXPECT_EQ(root["loss_db"].toArray()[0].toArray().size(), 3);
}

TEST(P2pCommand, PictureIsWrittenAsPng) {
    QTemporaryDir dir;
    const QString png = dir.filePath("profile.png");
    const Outcome o = runCommand(p2pCommand, {"--profile", ReferenceProfile, "--picture", png});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    QFile file(png);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\x89PNG"));
}

struct BadCase {
    const char* name;
    QStringList args;
    const char* expected;
};

class P2pBadOptions : public ::testing::TestWithParam<BadCase> {};

TEST_P(P2pBadOptions, OneLineOnStderrStatusTwoNothingOnStdout) {
    const Outcome o = runCommand(p2pCommand, GetParam().args);
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_NE(o.err.find(GetParam().expected), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    P2pCommand, P2pBadOptions,
    ::testing::Values(
        BadCase{"no_profile", {"--freq", "100"}, "--profile"},
        BadCase{"frequency", {"--profile", ReferenceProfile, "--freq", "5"}, "--freq"},
        BadCase{"height", {"--profile", ReferenceProfile, "--h1", "0.1"}, "--h1"},
        BadCase{
            "eight_values", {"--profile", ReferenceProfile, "--rel", "1,2,3,4,5,6,7,8"}, "--rel"},
        BadCase{"percentage", {"--profile", ReferenceProfile, "--conf", "99.5"}, "--conf"},
        BadCase{"format", {"--profile", ReferenceProfile, "--format", "xml"}, "--format"},
        BadCase{"coordinates", {"--tx", "39,-76"}, "--tx"},
        BadCase{"missing_file", {"--profile", "/nonexistent/p.pfl"}, "cannot be read"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return info.param.name; });

// A small profile in a new folder, for cases that must not touch the reference data.
QString writeProfile(const QTemporaryDir& dir) {
    QFile file(dir.filePath("path.pfl"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("10 1000 100 110 120 130 140 150 140 130 120 110 100\n");
    return file.fileName();
}

// Regression: a permittivity of 1e6 gave NaN losses without any warning, and JSON with NaN.
TEST(P2pCommand, LossesThatAreNotNumbersComeWithTheWarning) {
    QTemporaryDir dir;
    const QString profile = writeProfile(dir);
    const Outcome json =
        runCommand(p2pCommand, {"--profile", profile, "--eps", "1e6", "--format", "json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    QJsonParseError parsed{};
    const QJsonObject root =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &parsed).object();
    EXPECT_EQ(parsed.error, QJsonParseError::NoError) << json.out;
    EXPECT_EQ(root["kwx"].toInt(), 4);
    EXPECT_TRUE(root["loss_db"].toArray()[0].toArray()[0].isNull());
    const Outcome csv =
        runCommand(p2pCommand, {"--profile", profile, "--eps", "1e6", "--format", "csv"});
    EXPECT_NE(csv.err.find("warning: "), std::string::npos) << csv.err;
}

TEST(P2pCommand, PictureOntoTheProfileOrWithoutANameIsRefused) {
    QTemporaryDir dir;
    const QString profile = writeProfile(dir);
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    for (const QString& picture : {QStringLiteral("--picture=") + profile,
                                   QStringLiteral("--picture=") + dir.path() + "/./path.pfl",
                                   QStringLiteral("--picture=")}) {
        const Outcome o = runCommand(p2pCommand, {"--profile", profile, picture});
        EXPECT_EQ(o.status, ExitUsage) << picture.toStdString();
        EXPECT_NE(o.err.find("--picture"), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(file.readAll(), before);
}

TEST(P2pCommand, MalformedProfileIsRefused) {
    QTemporaryDir dir;
    QFile file(dir.filePath("bad.pfl"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("2,0,1,2,3");
    file.close();
    const Outcome o = runCommand(p2pCommand, {"--profile", file.fileName()});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_NE(o.err.find("spacing"), std::string::npos) << o.err;
}

} // namespace
