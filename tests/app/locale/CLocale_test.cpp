// The program reads and writes numbers with a point as decimal separator whatever the process
// locale: every case here runs inside a QCoreApplication under de_DE.UTF-8, whose decimal
// separator is a comma. The locale is generated into the build tree by the test
// locale.generate_de_DE (from the `locales` package's sources).
#include "AreaCalculation.h"
#include "AreaOnlyForms.h"
#include "FrmUAMModel.h"
#include "NumberFormat.h"
#include "ProfileFile.h"
#include "Registry.h"
#include "ScriptedPrompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace verdan;

namespace {

class CommaLocale : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance())
            return;
        qputenv("LOCPATH", VERDAN_TEST_LOCALE_DIR);
        qputenv("LC_ALL", "de_DE.UTF-8");
        static int argc = 1;
        static char name[] = "c_locale_test";
        static char* argv[] = {name, nullptr};
        // QCoreApplication sets the process locale from the environment.
        new QCoreApplication(argc, argv);
    }

    void SetUp() override {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",")
            << "de_DE.UTF-8 is not in effect: it is generated into " VERDAN_TEST_LOCALE_DIR
               " by the test locale.generate_de_DE, which needs the locales package";
    }
};

struct NumberCase {
    const char* text;
    double value;
    const char* general; // generalNumber(value)
};

TEST_F(CommaLocale, NumberHelpersUseAPoint) {
    const NumberCase cases[] = {{"0.005", 0.005, "0.005"},  {"-40.05", -40.05, "-40.05"},
                                {"3.25", 3.25, "3.25"},     {"1,5", 1, "1"},
                                {"2.5e-5", 2.5e-5, "2.5E-05"}, {"-1e999", -HUGE_VAL, "-Inf"},
                                {"1000e306", HUGE_VAL, "Inf"}, {"0.01e-330", 0, "0"}};
    for (const NumberCase& c : cases) {
        EXPECT_EQ(numfmt::leadingNumber(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_EQ(numfmt::generalNumber(c.value).toStdString(), c.general) << c.text;
    }
    EXPECT_EQ(numfmt::formatPattern(-40.05, u"000.000"), "-040.050");
    EXPECT_EQ(numfmt::trimmed(0.5, u"000000.0"), ".5");
}

TEST_F(CommaLocale, ProfileFileRoundTrip) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("path.pfl"));
    const std::vector<double> pfl{3, 25.6, 1692.5, -3.25, 6, 0.125};
    QString error;
    ASSERT_TRUE(writeProfileFile(path, pfl, error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "3,25.6\n1692.5,-3.25,6,0.125\n");
    std::vector<double> read;
    ASSERT_TRUE(readProfileFile(path, read, error)) << error.toStdString();
    EXPECT_EQ(read, pfl);
}

TEST_F(CommaLocale, SharedParametersAreStoredWithAPoint) {
    MemorySettingsStore store;
    Registry registry(store);
    registry.setKethraGlobal(QStringLiteral("TxHt_m"), QStringLiteral("45.5"));
    registry.SaveKethraGlobals();
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "TxHt_m"), "45.5");
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "GrndCond_Sm"), "0.005");
}

TEST_F(CommaLocale, TheAreaFormReadsItsFieldsWithAPoint) {
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    test::AreaOnlyForms forms;
    FrmUAMModel form(state, store, prompter, info, model, forms);
    forms.area = &form;
    form.Form_Load();
    const std::pair<const char*, const char*> typed[] = {{"txtFrq", "250.5"}, {"txtsgm", "0.025"}};
    for (const auto& [field, text] : typed) {
        form.fieldGotFocus(QLatin1String(field));
        form.setText(QLatin1String(field), QLatin1String(text));
        form.fieldLostFocus();
        EXPECT_EQ(form.text(QLatin1String(field)), QLatin1String(text));
    }
    form.mnuReportRun_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join('|').toStdString();
    const QString report = state.log->document().plainText();
    EXPECT_TRUE(report.contains(QStringLiteral("Frequency  251 MHz"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("sgm=.025 S/m"))) << report.toStdString();
}

} // namespace
