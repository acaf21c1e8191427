// verdan-cli: the batch front end of Verdan. The first argument names the command; the
// others are its options (see usage()).
#include "AreaCommand.h"
#include "CliOptions.h"
#include "CliPrompter.h"
#include "CoverageCommand.h"
#include "FileNameBytes.h"
#include "NetworkCommand.h"
#include "P2pCommand.h"
#include "ProfileCommand.h"
#include "VerdanVersion.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

namespace {

using verdan::cli::CliContext;

struct Command {
    std::string_view name;
    int (*run)(const QStringList& args, CliContext& context);
};

// One line per command.
constexpr Command Commands[] = {
    {"area", verdan::cli::areaCommand},
    {"inverse", verdan::cli::inverseCommand},
    {"p2p", verdan::cli::p2pCommand},
    {"profile", verdan::cli::profileCommand},
    {"coverage", verdan::cli::coverageCommand},
    {"coverage-merge", verdan::cli::coverageMergeCommand},
    {"network", verdan::cli::networkCommand},
};

const char* usage() {
    return "usage: verdan-cli COMMAND [OPTIONS]\n"
           "       verdan-cli --help | --version\n"
           "\n"
           "  area    [radio options] [--time PCT] [--location PCT] [--conf LIST]\n"
           "          [--d0 KM] [--d1 KM] [--ds1 KM] [--d2 KM] [--ds2 KM]\n"
           "          [--archive FILE [--comment TEXT]]\n"
           "  inverse [radio options] [--time PCT] [--location PCT] [--conf LIST] --loss DB\n"
           "  p2p     [--freq --h1 --h2 --pol --eps --sgm --ns --climate] [--rel LIST]\n"
           "          [--conf LIST] (--profile FILE | --tx LAT,LON --rx LAT,LON\n"
           "          [terrain options]) [--picture FILE.png] [link options]\n"
           "  profile --tx LAT,LON --rx LAT,LON [terrain options]\n"
           "  coverage --tx LAT,LON --radius KM --resolution SEC --out PREFIX\n"
           "          [--freq --h1 --h2 --pol --eps --sgm --ns --climate] [--rel P] [--conf P]\n"
           "          [--erp POWER] [--terrain globe|quarn|raster] [--globe-path DIR | --dem PATH]\n"
           "          [--formats tif,png,kml] [--threads N] [link options] [--summary text|json]\n"
           "          [--show loss|power|field|margin] [--levels A,B,C] [--colours NAME]\n"
           "  coverage --sites FILE.csv --print-jobs [coverage options] --out PREFIX\n"
           "  coverage-merge --out MERGED.tif INPUT.tif...\n"
           "  network --sites FILE.csv [coverage options] --threshold T --out PREFIX\n"
           "          [--bandwidth 200kHz] [--noise-figure DB] [--sinr-threshold DB]\n"
           "          [--print-jobs | --merge-only]\n"
           "\n"
           "radio options: --freq MHZ --h1 M --h2 M --pol H|V --eps E --sgm S_PER_M --ns N\n"
           "               --climate 1..7 --dh M --variability 0..3 --site1 0..2 --site2 0..2\n"
           "terrain options: --terrain globe|quarn|raster (default globe) --globe-path DIR\n"
           "                 --dem PATH (with raster: an elevation raster file or folder of tiles)\n"
           "LAT,LON: decimal degrees, north and east positive.\n"
           "LIST: up to four comma-separated confidence levels in percent.\n"
           "POWER: the transmitter's ERP in dBW, or followed by dBm (--erp 43dBm).\n"
           "link options: --tx-power 50W|47dBm|17dBW --tx-loss DB --tx-gain 12dBi|10dBd\n"
           "              --tx-antenna FILE.msi --azimuth DEG --tilt DEG --rx-gain G --rx-loss DB\n"
           "              --threshold -100dBm|40dBuV/m (--erp is the ERP in the main beam)\n"
           "--format text|csv|json: the report (default), or the table as CSV or JSON.\n"
           "--show: what the PNG and KML colour (default margin with --threshold, else power\n"
           "        with a power or ERP, else loss); --levels: 1..8 band edges, strictly rising\n"
           "        or falling (--levels -110,-100,-90); --colours viridis|cividis|blues|greys\n"
           "        (perceptual scales that read in grey and for colour-blind users).\n"
           "FILE.csv: a header row naming name,lat,lon and any of height_m, power, tx_loss,\n"
           "          gain, antenna (pattern file, relative to FILE.csv), azimuth, tilt,\n"
           "          freq_mhz; an empty cell takes the command line's value.\n";
}

// Qt's own diagnostics (about files and database connections) are not for the user: every
// failure reaches the user through the command's own message.
void dropQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// Flushes standard output: output that could not be written (a full disk, a closed stream)
// turns `status` into a failure, reported in one line.
int finish(int status, CliContext& context) {
    std::cout.flush();
    const bool written = std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (written)
        return status;
    const int error = errno;
    verdan::cli::printError(context, QStringLiteral("cannot write the output: ") +
                                         QString::fromLocal8Bit(std::strerror(error)));
    return verdan::cli::ExitFailure;
}

int runCommand(int argc, char** argv, CliContext& context) {
    if (argc < 2) {
        verdan::cli::printError(context,
                                QStringLiteral("a command is needed; see verdan-cli --help"));
        return verdan::cli::ExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        std::cout << usage();
        return verdan::cli::ExitOk;
    }
    if (name == "--version") {
        std::cout << "verdan-cli " << VERDAN_VERSION_TEXT << '\n';
        return verdan::cli::ExitOk;
    }
    QStringList args;
    // File names are bytes: every argument keeps them, also those that are not UTF-8.
    for (int i = 2; i < argc; ++i)
        args << verdan::fileNameFromBytes(argv[i]);
    for (const Command& command : Commands) {
        if (command.name == name)
            return command.run(args, context);
    }
    verdan::cli::printError(context, QStringLiteral("unknown command \"") +
                                         verdan::fileNameFromBytes(argv[1]) +
                                         QStringLiteral("\"; see verdan-cli --help"));
    return verdan::cli::ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(dropQtMessage);
    verdan::cli::CliPrompter prompter(std::cerr);
    CliContext context{std::cout, std::cerr, prompter, {}};
    return finish(runCommand(argc, argv, context), context);
}
