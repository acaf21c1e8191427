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
}

TEST(Registry, AnUnconvertibleValueLeavesThePreviousValue) {
    MemorySettingsStore store;
    Registry reg(store);
    const std::pair<const char*, const char*> cases[] = {{"TxHt_m", "abc"},
                                                         {"TxHt_m", ""},
                                                         {"TxHt_m", "45.5m"},
                                                         {"Quarn_Drive", "40000"},
                                                         {"CalledFromKethra", "maybe"}};
    for (const auto& [name, value] : cases) {
        const QVariant before = reg.kethraGlobal(name);
        reg.setKethraGlobal(name, QString(value));
        EXPECT_EQ(reg.kethraGlobal(name), before) << name << " <- " << value;
    }
}

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

// The shared parameters as the sibling programs read and write them: one INI file per user,
// group "Global Parameters" (spelled with %20 in the file), the 37 keys under their exact
// names, numbers in the general number format, Booleans as True or False. A renamed key, a
// moved file or another value format breaks the exchange, so this text is held literally.
constexpr char kSharedIniAsSiblingsWriteIt[] = R"([Global%20Parameters]
CalledFromKethra=True
DeltaH_m=50
Dist_Km=12.5
Dorvex=Globe
GrndCond_Sm=0.01
GrndDiel=25
Humidity_gm3=7.5
PctLoc_pct=90
PctTime_pct=95.5
Quarn_Drive=4
Refrac_Nunits=320
RxGain_dBi=2.5
RxHt_m=10
RxLatDeg_DD=38
RxLatH_NS=S
RxLatMin_MM=12
RxLatSec_SS=30
RxLonDeg_DDD=104
RxLonH_EW=E
RxLonMin_MM=40
RxLonSec_SS=5
RxLoss_dB=1.5
RxPolar_HV=V
TxFreq_MHz=450
TxGain_dBi=6
TxHt_m=30
TxLatDeg_DD=39
TxLatH_NS=S
TxLatMin_MM=44
TxLatSec_SS=21
TxLonDeg_DDD=105
TxLonH_EW=E
TxLonMin_MM=1
TxLonSec_SS=12
TxLoss_dB=2
TxPolar_HV=V
TxPower_w=100
)";

// Regression: renaming a shared key passed every test. Reading the siblings' file fills every
// parameter, and saving writes the same file back byte for byte.
TEST_F(IniStore, SharedParametersKeepTheSiblingProgramsNamesAndFormat) {
    IniSettingsStore store(dir.path());
    const QString file = dir.path() + "/Ombrel_Kethra/Ombrel_Kethra.ini";
    EXPECT_EQ(store.fileFor("Ombrel_Kethra"), file);
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Ombrel_Kethra"));
    {
        QFile ini(file);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ASSERT_GT(ini.write(kSharedIniAsSiblingsWriteIt), 0);
    }
    Registry reg(store);
    MemorySettingsStore empty;
    const Registry defaults(empty);
    ASSERT_EQ(reg.kethraGlobals().size(), 37U);
    for (const verdan::KethraGlobal& global : reg.kethraGlobals())
        EXPECT_NE(reg.kethraGlobal(global.ID), defaults.kethraGlobal(global.ID))
            << global.ID.toStdString() << " was not read from the shared file";
    EXPECT_TRUE(reg.KethraActive());
    EXPECT_DOUBLE_EQ(reg.kethraGlobal("PctTime_pct").toDouble(), 95.5);
    EXPECT_EQ(reg.kethraGlobal("Quarn_Drive").toInt(), 4);

    ASSERT_TRUE(QFile::remove(file));
    reg.SaveKethraGlobals();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), std::string(kSharedIniAsSiblingsWriteIt));
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
