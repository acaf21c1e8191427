#pragma once

#include "CliOptions.h"
#include "CliPrompter.h"

#include <QString>
#include <QStringList>
#include <sstream>
#include <string>

namespace verdan::test {

/// One command of verdan-cli run in-process: its exit status and what it wrote.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs `command` with `args` as verdan-cli would, with the model library looked for in
/// `modelFolder` (empty: beside the test executable).
inline Outcome runCommand(int (*command)(const QStringList&, cli::CliContext&),
                          const QStringList& args, const QString& modelFolder = {}) {
    std::ostringstream out;
    std::ostringstream err;
    cli::CliPrompter prompter(err);
    cli::CliContext context{out, err, prompter, modelFolder};
    Outcome outcome;
    outcome.status = command(args, context);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

/// The short reference profile of the point-to-point tests.
inline const QString ReferenceProfile =
    QStringLiteral(VERDAN_TEST_DATA_DIR "/reference/p2p_profile_short.pfl");

} // namespace verdan::test
