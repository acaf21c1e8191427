#include "CliPrompter.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using verdan::cli::CliPrompter;

namespace {

struct AnswerCase {
    MsgButtons buttons;
    MsgAnswer answer;
};

class CliPrompterAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(CliPrompterAnswer, DeclinesLikeAUserWhoCannotBeAsked) {
    std::ostringstream err;
    CliPrompter prompter(err);
    EXPECT_EQ(
        prompter.message("Retain Output Log?", "Output Log", GetParam().buttons, MsgIcon::Question),
        GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Cli, CliPrompterAnswer,
                         ::testing::Values(AnswerCase{MsgButtons::Ok, MsgAnswer::Ok},
                                           AnswerCase{MsgButtons::OkCancel, MsgAnswer::Cancel},
                                           AnswerCase{MsgButtons::YesNo, MsgAnswer::No},
                                           AnswerCase{MsgButtons::YesNoCancel, MsgAnswer::Cancel}));

TEST(CliPrompter, WritesEachMessageAsOneLine) {
    std::ostringstream err;
    CliPrompter prompter(err);
    inform(prompter, "The propagation model library libpmverdan.so could not be loaded.\n\nno file",
           "Verdan", MsgIcon::Critical);
    EXPECT_EQ(err.str(), "verdan-cli: Verdan: The propagation model library libpmverdan.so could "
                         "not be loaded. no file\n");
}

TEST(CliPrompter, CancelsInputsAndDialogsAndOpensNothing) {
    std::ostringstream err;
    CliPrompter prompter(err);
    QString value = "kept";
    EXPECT_FALSE(prompter.input("Name?", "Archive", value));
    EXPECT_EQ(value, "kept");
    EXPECT_TRUE(prompter.saveFile(FileRequest{}).path.isEmpty());
    EXPECT_TRUE(prompter.openFile(FileRequest{}).path.isEmpty());
    EXPECT_FALSE(prompter.openDocument("/tmp/guide.doc"));
    EXPECT_FALSE(prompter.startProgram("/usr/bin/true"));
    EXPECT_EQ(err.str(), "");
}

} // namespace
