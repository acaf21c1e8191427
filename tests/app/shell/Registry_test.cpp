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

class IniStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir{QDir::tempPath() + "/registry-XXXXXX"};
};

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

} // namespace
