#include "PropagationModel.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

bool sameBytes(const ModelRecords& a, const ModelRecords& b) {
    return std::memcmp(&a.prop, &b.prop, sizeof a.prop) == 0 &&
           std::memcmp(&a.propv, &b.propv, sizeof a.propv) == 0 &&
           std::memcmp(&a.propa, &b.propa, sizeof a.propa) == 0 && a.msgText == b.msgText;
}

TEST(PropagationModel, CallsTheLibraryBesideTheExecutable) {
    ScriptedPrompter prompter;
    PropagationModel model(prompter);
    ModelRecords records;
    records.msgText = std::string(200, 'x');
    ASSERT_TRUE(model.qlrps(records, 100.0, 0.0, 301.0, 1, 15.0, 0.005));
    EXPECT_EQ(model.binding().loadedPath(), executableFolder() + "/libpmverdan.so");
    EXPECT_NEAR(records.prop.wn, 100.0 / 47.7, 1e-12);
    EXPECT_GT(records.prop.gme, 0.0);
    EXPECT_EQ(records.msgText, std::string(200, 'x')) << "the message text comes back";
    EXPECT_EQ(records.prop.msgText, nullptr) << "no pointer to a dead copy is left behind";
    ASSERT_TRUE(model.qerfi(0.5).has_value());
    EXPECT_NEAR(*model.qerfi(0.5), 0.0, 1e-6);
    EXPECT_TRUE(prompter.messages.empty());
}

class MissingLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(empty.isValid()); }
    QTemporaryDir empty{QDir::tempPath() + "/nolib-XXXXXX"};
};

TEST_F(MissingLibrary, IsNamedInAMessageAndTheRecordsStayAsTheyWere) {
    ScriptedPrompter prompter;
    LibraryBinding binding("libverdan-absent.so", "propagation model library", prompter,
                           empty.path());
    EXPECT_EQ(binding.resolve<double(double)>("qerfi"), nullptr);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains("libverdan-absent.so"))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
}

TEST(MissingRoutine, IsNamedAndNothingIsCalled) {
    ScriptedPrompter prompter;
    // A library with qerfi and lrprop only, installed as libpmverdan.so in its own folder.
    QTemporaryDir dir(QDir::tempPath() + "/fakelib-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(
        QFile::copy(executableFolder() + "/libfake_pmverdan.so", dir.path() + "/libpmverdan.so"));
    PropagationModel model(prompter, dir.path());
    ModelRecords records;
    records.prop.hg[0] = 12.5;
    records.prop.kwx = 0;
    const ModelRecords before = records;

    EXPECT_FALSE(model.qlrps(records, 100, 0, 301, 1, 15, 0.005));
    EXPECT_FALSE(model.avar(records, 0, 0, 0).has_value());
    EXPECT_TRUE(sameBytes(records, before));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_TRUE(prompter.messages[0].text.contains("qlrps"));
    EXPECT_TRUE(prompter.messages[1].text.contains("avar"));

    ASSERT_TRUE(model.qerfi(0.25).has_value());
    EXPECT_DOUBLE_EQ(*model.qerfi(0.25), 0.25);
    EXPECT_TRUE(model.lrprop(records, 1234.0));
    EXPECT_EQ(records.msgText.substr(0, 6), "seen  ") << "the library's writes come back";
    EXPECT_EQ(records.msgText.size(), 200u);
}

TEST(ModelWarningLines, FollowTheErrorIndicatorAndNeverHideOne) {
    const QStringList outOfRange{"   !Warning! Some parameters are out of range ...",
                                 "      Results are probably invalid."};
    const std::pair<int, QStringList> cases[] = {
        {0, {}},
        {1,
         {"   !Warning! Some parameters are nearly out of range ...",
          "     Results should be used with caution."}},
        {2, {"   !Note- Default perameters have been substituted", "      for impossible ones."}},
        {3,
         {"   !Warning! A combination of parameters is out of range.",
          "      Results are probably invalid."}},
        {4, outOfRange},
        {5, outOfRange},
        {-1, outOfRange}};
    for (const auto& [kwx, lines] : cases)
        EXPECT_EQ(modelWarningLines(kwx), lines) << "kwx " << kwx;
}

} // namespace
