#include "PropagationModel.h"
#include "ScriptedPrompter.h"

#include <QDir>
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
    EXPECT_EQ(records.msgText, std::string(200, 'x')) << "the message text comes back";
    EXPECT_EQ(records.prop.msgText, nullptr) << "no pointer to a dead copy is left behind";
    EXPECT_NEAR(model.qerfi(0.5).value_or(99), 0.0, 1e-6);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(MissingLibrary, IsNamedInAMessageAndTheRecordsStayAsTheyWere) {
    QTemporaryDir empty(QDir::tempPath() + "/nolib-XXXXXX");
    ASSERT_TRUE(empty.isValid());
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

    EXPECT_DOUBLE_EQ(model.qerfi(0.25).value_or(99), 0.25);
    EXPECT_TRUE(model.lrprop(records, 1234.0));
    EXPECT_EQ(records.msgText.substr(0, 6), "seen  ") << "the library's writes come back";
    EXPECT_EQ(records.msgText.size(), 200u);
}

// Each indicator has its own two lines; one out of the known range is never hidden.
TEST(ModelWarningLines, FollowTheErrorIndicatorAndNeverHideOne) {
    EXPECT_TRUE(modelWarningLines(0).isEmpty());
    const QStringList outOfRange = modelWarningLines(4);
    ASSERT_EQ(outOfRange.size(), 2);
    EXPECT_TRUE(outOfRange[0].contains("out of range")) << outOfRange[0].toStdString();
    for (const int kwx : {1, 2, 3}) {
        EXPECT_EQ(modelWarningLines(kwx).size(), 2) << kwx;
        EXPECT_NE(modelWarningLines(kwx), modelWarningLines(kwx % 3 + 1)) << kwx;
        EXPECT_NE(modelWarningLines(kwx), outOfRange) << kwx;
    }
    for (const int kwx : {5, -1})
        EXPECT_EQ(modelWarningLines(kwx), outOfRange) << kwx;
}

} // namespace
