#include "AreaCommand.h"
#include "CliOptions.h"
#include "CliRun.h"
#include "P2pCommand.h"

#include <gtest/gtest.h>

using namespace verdan::cli;
using namespace verdan::test;

namespace {

// Whole, finite decimal numbers only.
TEST(CliOptions, NumbersAreWholeFiniteDecimals) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"100", 100.0}, {"0.005", 0.005}, {".5", 0.5},    {"5.", 5.0}, {"-3.5", -3.5},
        {"+20", 20.0},  {"1e3", 1000.0},  {"1E-2", 0.01}, {"", {}},    {"12abc", {}},
        {"100,5", {}},  {" 5", {}},       {"+-5", {}},    {"inf", {}}, {"nan", {}},
        {"1e999", {}},  {"0x10", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseNumber(QString::fromLatin1(text)), value) << text;
}

// A transmitter power is read in dBW, or in the unit written after it.
TEST(CliOptions, PowerIsReadInTheUnitWrittenAfterIt) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"30", 30},   {"30dBW", 30}, {"60 dBm", 30}, {"230dBm", 200},
        {"30 W", {}}, {"dBm", {}},   {"250", {}},    {"260dBm", {}}};
    for (const auto& [text, dbw] : cases) {
        const CliOptions options({"--erp", text}, {"erp"});
        if (dbw)
            EXPECT_EQ(options.powerDbw("erp", -200, 200), dbw) << text;
        else
            EXPECT_THROW(options.powerDbw("erp", -200, 200), UsageError) << text;
    }
}

// Bad input is refused with one short line on standard error that names the option, and
// nothing on standard output.
TEST(CliOptions, BadInputIsRefusedWithOneLineNamingTheOption) {
    const struct {
        int (*command)(const QStringList&, CliContext&);
        QStringList args;
        const char* message; ///< a part of the one-line message
    } cases[] = {
        {areaCommand,
         {"--freq", "25000"},
         "--freq: valid range is 20 <= --freq <= 20000 (MHz); got 25000"},
        {areaCommand, {"--freq", "450\n--h1 3"}, "--freq"},
        {areaCommand, {"--pol", QString(120000, 'x')}, "--pol"},
        {areaCommand,
         {"--conf", "0,50"},
         "--conf: expected 1 to 4 comma-separated numbers, the first from 0.1 to 99.9, "
         "the others from 0 to 99.9"},
        {areaCommand, {"--pol", "X"}, "--pol: expected one of H|V; got X"},
        {areaCommand, {"--bogus", "1"}, "unknown option --bogus"},
        {inverseCommand, {}, "--loss: required"},
        {p2pCommand, {"--freq", "100"}, "--profile"},
        {p2pCommand, {"--profile", ReferenceProfile, "--freq", "5"}, "--freq"},
        {p2pCommand, {"--profile", ReferenceProfile, "--rel", "1,2,3,4,5,6,7,8"}, "--rel"},
        {p2pCommand, {"--profile", ReferenceProfile, "--conf", "99.5"}, "--conf"},
        {p2pCommand, {"--tx", "39,-76"}, "--tx"},
        {p2pCommand, {"--profile", "/nonexistent/p.pfl"}, "cannot be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = runCommand(c.command, c.args);
        EXPECT_EQ(outcome.status, ExitUsage);
        EXPECT_EQ(outcome.out, "") << "nothing on standard output";
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.err.rfind("verdan-cli: ", 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_LT(outcome.err.size(), 400u) << "short whatever was typed";
    }
}

} // namespace
