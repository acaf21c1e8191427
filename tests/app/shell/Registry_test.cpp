#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using verdan::IniSettingsStore;
using verdan::MemorySettingsStore;
using verdan::Registry;

namespace {

TEST(Registry, FreshStoreHasTheDefaultsInCreationOrder) {
    MemorySettingsStore store;
    Registry reg(store);
    const auto& globals = reg.kethraGlobals();
    ASSERT_EQ(globals.size(), 37u);
    EXPECT_EQ(globals.front().ID, "TxLatDeg_DD");
    EXPECT_EQ(globals.back().ID, "CalledFromKethra");
    EXPECT_EQ(reg.kethraGlobal("TxLatDeg_DD").toString(), "  ");
    EXPECT_EQ(reg.kethraGlobal("TxLonDeg_DDD").toString(), "   ");
    EXPECT_EQ(reg.kethraGlobal("TxLonH_EW").toString(), "W");
    EXPECT_EQ(reg.kethraGlobal("TxFreq_MHz").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("TxFreq_MHz").toDouble(), 100.0);
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("GrndCond_Sm").toDouble(), 0.005);
    EXPECT_EQ(reg.kethraGlobal("Quarn_Drive").typeId(), QMetaType::Short);
    EXPECT_EQ(reg.kethraGlobal("Dorvex").toString(), "Quarn");
    EXPECT_FALSE(reg.KethraActive());
    EXPECT_EQ(store.size(), 0) << "creating a Registry must not write";
}

TEST(Registry, TextWrittenToADoubleIsConvertedAndSavedInGeneralFormat) {
    MemorySettingsStore store;
    Registry reg(store);
    reg.setKethraGlobal("TxHt_m", QStringLiteral("45.5"));
    EXPECT_EQ(reg.kethraGlobal("TxHt_m").typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("TxHt_m").toDouble(), 45.5);
    reg.SaveKethraGlobals();
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "TxHt_m"), "45.5");
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "GrndCond_Sm"), "0.005");
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "CalledFromKethra"), "False");
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "Quarn_Drive"), "1");
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "TxLatDeg_DD"), "  ");
    EXPECT_EQ(store.size(), 37);
}

struct Rejected {
    const char* name;
    QVariant value;
};

class UnconvertibleValue : public ::testing::TestWithParam<Rejected> {};

TEST_P(UnconvertibleValue, LeavesThePreviousValue) {
    MemorySettingsStore store;
    Registry reg(store);
    const Rejected c = GetParam();
    const QVariant before = reg.kethraGlobal(c.name);
    reg.setKethraGlobal(c.name, c.value);
    EXPECT_EQ(reg.kethraGlobal(c.name), before)
        << c.name << " <- " << c.value.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Values, UnconvertibleValue,
                         ::testing::Values(Rejected{"TxHt_m", QStringLiteral("abc")},
                                           Rejected{"TxHt_m", QStringLiteral("")},
                                           Rejected{"TxHt_m", QStringLiteral("45.5m")},
                                           Rejected{"Quarn_Drive", QStringLiteral("40000")},
                                           Rejected{"CalledFromKethra", QStringLiteral("maybe")}));

TEST(Registry, ConversionsFollowTheParameterType) {
    MemorySettingsStore store;
    Registry reg(store);
    reg.setKethraGlobal("Quarn_Drive", QStringLiteral("3"));
    EXPECT_EQ(reg.kethraGlobal("Quarn_Drive").toInt(), 3);
    reg.setKethraGlobal("Quarn_Drive", 2.5); // rounds half to even
    EXPECT_EQ(reg.kethraGlobal("Quarn_Drive").toInt(), 2);
    reg.setKethraGlobal("CalledFromKethra", QStringLiteral("true"));
    EXPECT_TRUE(reg.KethraActive());
    reg.setKethraGlobal("CalledFromKethra", 0);
    EXPECT_FALSE(reg.KethraActive());
    reg.setKethraGlobal("TxLatH_NS", 12.5);
    EXPECT_EQ(reg.kethraGlobal("TxLatH_NS").toString(), "12.5");
    reg.setKethraGlobal("TxFreq_MHz", QStringLiteral(" 1e3 "));
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("TxFreq_MHz").toDouble(), 1000.0);
}

TEST(Registry, UnknownNamesReadEmptyAndWritesChangeNothing) {
    MemorySettingsStore store;
    Registry reg(store);
    EXPECT_FALSE(reg.kethraGlobal("GlobePath").isValid());
    reg.setKethraGlobal("GlobePath", QStringLiteral("/data/globe/"));
    EXPECT_FALSE(reg.kethraGlobal("GlobePath").isValid());
    reg.SaveKethraGlobals();
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "GlobePath"), "");
}

TEST(Registry, StoredSharedValuesLoadAndBadOnesKeepTheirDefault) {
    MemorySettingsStore store;
    store.save("Ombrel_Kethra", "Global Parameters", "TxFreq_MHz", "915");
    store.save("Ombrel_Kethra", "Global Parameters", "RxHt_m", "tall");
    store.save("Ombrel_Kethra", "Global Parameters", "TxLatH_NS", "S");
    Registry reg(store);
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("TxFreq_MHz").toDouble(), 915.0);
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("RxHt_m").toDouble(), 0.0);
    EXPECT_EQ(reg.kethraGlobal("TxLatH_NS").toString(), "S");
}

TEST(Registry, ParamNeedsApplicationSectionAndKey) {
    MemorySettingsStore store;
    store.save("Verdan", "Verdan", "Freq", "915");
    Registry reg(store);
    reg.setAppname("Verdan");
    reg.setKey("before");
    reg.setSetting("kept");
    EXPECT_EQ(reg.Param("Freq"), "") << "empty section";
    EXPECT_EQ(reg.Key(), "before");
    EXPECT_EQ(reg.Setting(), "kept");
    reg.setParam("Freq", "100");
    EXPECT_EQ(store.get("Verdan", "Verdan", "Freq"), "915");

    reg.setSection("Verdan");
    EXPECT_EQ(reg.Param(""), "");
    EXPECT_EQ(reg.Param("Freq"), "915");
    EXPECT_EQ(reg.Key(), "Freq");
    EXPECT_EQ(reg.Setting(), "915");
    reg.setParam("TxHt", "10");
    EXPECT_EQ(store.get("Verdan", "Verdan", "TxHt"), "10");
    EXPECT_EQ(reg.Setting(), "10");
    reg.setKey("TxHt");
    reg.RegDel();
    reg.RegGet();
    EXPECT_EQ(reg.Setting(), "");
}

class IniStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir{QDir::tempPath() + "/registry-XXXXXX"};
};

TEST_F(IniStore, KethraLaunchIsSeenByANewRegistry) {
    IniSettingsStore store(dir.path());
    {
        Registry reg(store);
        reg.setKethraActive(true);
        reg.SaveKethraGlobals();
    }
    IniSettingsStore reopened(dir.path());
    Registry next(reopened);
    EXPECT_TRUE(next.KethraActive());
    EXPECT_TRUE(QFile::exists(dir.path() + "/Ombrel_Kethra/Ombrel_Kethra.ini"));
}

TEST_F(IniStore, TextsRoundTripExactly) {
    IniSettingsStore store(dir.path());
    const QStringList texts = {"301.0",
                               "  ",
                               "C:\\Projects\\Globe\\",
                               "/tmp/a, b/log.rtf",
                               "true",
                               "Maritime Temperate, Over Land",
                               "=x;y#z",
                               "\u00e9t\u00e9"};
    for (const QString& text : texts) {
        store.save("Verdan", "Verdan", "Key", text);
        EXPECT_EQ(IniSettingsStore(dir.path()).get("Verdan", "Verdan", "Key"), text)
            << text.toStdString();
    }
    store.remove("Verdan", "Verdan", "Key");
    EXPECT_EQ(store.get("Verdan", "Verdan", "Key"), "");
    EXPECT_EQ(store.get("Verdan", "Verdan", "Absent"), "");
}

// A settings file that is a FIFO (would block), an endless device or a huge file is neither
// read nor replaced.
TEST_F(IniStore, OddSettingsFilesAreLeftAlone) {
    IniSettingsStore store(dir.path());
    const QString file = store.fileFor("Verdan");
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Verdan"));
    const auto check = [&](const char* kind) {
        const QFileInfo before(file);
        EXPECT_EQ(store.get("Verdan", "Verdan", "Key"), "") << kind;
        store.save("Verdan", "Verdan", "Key", "1");
        store.remove("Verdan", "Verdan", "Other");
        const QFileInfo after(file);
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << kind;
        EXPECT_EQ(after.isFile(), before.isFile()) << kind;
        EXPECT_EQ(after.size(), before.size()) << kind;
        EXPECT_EQ(after.lastModified(), before.lastModified()) << kind;
        QFile::remove(file);
    };
    {
        QFile huge(file);
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write("[Verdan]\nKey=2\n") > 0);
        ASSERT_TRUE(huge.resize(2 * 1024 * 1024));
    }
    check("huge file");
    ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    check("FIFO");
    ASSERT_TRUE(QFile::link("/dev/zero", file));
    check("link to /dev/zero");
}

TEST_F(IniStore, DefaultFolderIsTheUsersConfigurationFolder) {
    IniSettingsStore store;
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(expected.isEmpty()) << "the test environment sets XDG_CONFIG_HOME";
    EXPECT_EQ(store.fileFor("Verdan"), expected + "/Verdan/Verdan.ini");
}

} // namespace
