#pragma once

#include "AreaCommand.h"
#include "CliOptions.h"
#include "CliPrompter.h"
#include "LibraryBinding.h"

#include <QProcess>
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
    std::ostringstream out, err;
    cli::CliPrompter prompter(err);
    cli::CliContext context{out, err, prompter, modelFolder};
    const int status = command(args, context);
    return {status, out.str(), err.str()};
}

/// Runs the shell command line `script`, in which "$0" is the verdan-cli program, in `folder`
/// (empty: the test's own); status -1 when it does not end within `timeoutMs`.
inline Outcome runCliScript(const QString& script, const QString& folder = {},
                            int timeoutMs = 60000) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start("/bin/sh", {"-c", script, executableFolder() + "/verdan-cli"});
    const int status = process.waitForFinished(timeoutMs) ? process.exitCode() : -1;
    return {status, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

/// The arguments of `line`, split at its spaces as a shell splits a line without quotes.
inline QStringList words(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

/// The short reference profile of the point-to-point tests.
inline const QString ReferenceProfile =
    QStringLiteral(VERDAN_TEST_DATA_DIR "/reference/p2p_profile_short.pfl");

} // namespace verdan::test
