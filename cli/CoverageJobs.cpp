// The per-site command lines of `verdan-cli coverage --sites FILE.csv --print-jobs`.
#include "CoverageCommand.h"

#include "CoverageTerrain.h"

#include "FileNameBytes.h"
#include "ProfileCommand.h"

#include <verdan/coverage/Sites.h>

#include <QDir>
#include <QRegularExpression>

#include <charconv>
#include <climits>
#include <unistd.h>

namespace verdan::cli {

namespace {

// Options whose value is a path: made absolute so that each line runs from any folder.
const QStringList PathOptions{QStringLiteral("dem"), QStringLiteral("globe-path"),
                              QStringLiteral("out"), QStringLiteral("tx-antenna")};
// Options a site line sets itself.
const QStringList SiteOptions{QStringLiteral("sites"), QStringLiteral("tx"), QStringLiteral("out")};

// Reads the sites file of --sites.
coverage::SitesFile readSites(const QString& path) {
    const std::string bytes = fileNameBytes(path).toStdString();
    coverage::SitesRead read = coverage::readSitesFile(bytes);
    if (!read.file)
        throw UsageError{QStringLiteral("--sites: ") + fileNameFromBytes(read.message)};
    return std::move(*read.file);
}

// `path` made absolute against the working folder, keeping every byte of both.
QString absolutePath(const QString& path) {
    char folder[PATH_MAX];
    if (path.startsWith(u'/') || ::getcwd(folder, sizeof folder) == nullptr)
        return QDir::cleanPath(path);
    return QDir::cleanPath(fileNameFromBytes(folder) + u'/' + path);
}

// The command's options for every site line, without those a site sets.
QStringList sharedArguments(const CliOptions& options, const QStringList& names) {
    QStringList shared;
    for (const QString& name : names) {
        if (!options.has(name) || SiteOptions.contains(name))
            continue;
        const QString value = options.valueOf(name);
        shared << QStringLiteral("--") + name
               << (PathOptions.contains(name) ? absolutePath(value) : value);
    }
    return shared;
}

} // namespace

QString shellQuoted(const QString& text) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_./,:=+@%-]+$"));
    if (safe.match(text).hasMatch())
        return text;
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

namespace {

// A value with a line break or NUL would make its job two lines, the second run as a command
// by GNU parallel and the Slurm script.
void refuseLineBreaks(const QStringList& args) {
    for (const QString& arg : args)
        if (arg.contains(u'\n') || arg.contains(u'\r') || arg.contains(QChar(0)))
            throw UsageError{QStringLiteral("--print-jobs: \"%1\" holds a line break or NUL, "
                                            "which would split its job line")
                                 .arg(oneLine(arg))};
}

// Checks a job as `verdan-cli coverage` checks its options before it runs.
void checkAsSingleRun(const SiteJob& job) {
    try {
        const CliOptions single(job.words.mid(2), coverageOptionNames());
        coverageRequestFromOptions(single);
        checkCoverageTerrainOptions(single);
    } catch (const UsageError& error) {
        throw UsageError{QStringLiteral("--sites: site \"%1\": %2").arg(job.site, error.message)};
    }
}

QString decimal(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return QString::fromLatin1(buffer, end - buffer);
}

// The options of a site's job that its cells give, in the columns' order of the comment of
// Sites.h; the pattern file's name made absolute.
std::vector<std::pair<QString, QString>> siteOptions(const coverage::Site& site,
                                                     const QString& sitesPath) {
    std::vector<std::pair<QString, QString>> options{
        {QStringLiteral("tx"), decimal(site.latDeg) + u',' + decimal(site.lonDeg)}};
    const auto add = [&](const char* option, const std::optional<double>& value, const char* unit) {
        if (value)
            options.emplace_back(QLatin1String(option), decimal(*value) + QLatin1String(unit));
    };
    add("h1", site.heightM, "");
    add("tx-power", site.powerDbm, "dBm");
    add("tx-loss", site.txLossDb, "");
    add("tx-gain", site.gainDbi, "dBi");
    if (!site.antenna.empty())
        options.emplace_back(QStringLiteral("tx-antenna"),
                             absolutePath(fileNameFromBytes(coverage::sitePatternPath(
                                 fileNameBytes(sitesPath).toStdString(), site.antenna))));
    add("azimuth", site.azimuthDeg, "");
    add("tilt", site.tiltDeg, "");
    add("freq", site.freqMHz, "");
    return options;
}

// The command line's options that a site's option replaces: its own, and those it
// contradicts (a power replaces an ERP; a fixed gain replaces a pattern and its aim).
QStringList replacedBy(const QString& option) {
    if (option == QLatin1String("tx-power"))
        return {option, QStringLiteral("erp")};
    if (option == QLatin1String("tx-gain"))
        return {option, QStringLiteral("tx-antenna"), QStringLiteral("azimuth"),
                QStringLiteral("tilt")};
    if (option == QLatin1String("tx-antenna"))
        return {option, QStringLiteral("tx-gain")};
    return {option};
}

// `shared` ("--name", "value" pairs) without the options `names`.
QStringList withoutOptions(const QStringList& shared, const QStringList& names) {
    QStringList kept;
    for (qsizetype i = 0; i + 1 < shared.size(); i += 2)
        if (!names.contains(shared[i].mid(2)))
            kept << shared[i] << shared[i + 1];
    return kept;
}

} // namespace

std::vector<SiteJob> siteJobs(const QStringList& args, const CliOptions& options) {
    refuseLineBreaks(args);
    QStringList names;
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            names << arg.mid(2).section(u'=', 0, 0);
    if (!options.has(QStringLiteral("out")))
        throw UsageError{QStringLiteral("--out PREFIX is required")};
    const QString prefix = absolutePath(options.valueOf(QStringLiteral("out")));
    const QStringList shared = sharedArguments(options, names);
    std::vector<SiteJob> jobs;
    const QString sitesPath = options.valueOf(QStringLiteral("sites"));
    for (const coverage::Site& site : readSites(sitesPath).sites) {
        const QString name = QString::fromStdString(site.name);
        QStringList line{QStringLiteral("verdan-cli"), QStringLiteral("coverage")};
        QStringList rest = shared;
        for (const auto& [option, value] : siteOptions(site, sitesPath)) {
            rest = withoutOptions(rest, replacedBy(option));
            line << QStringLiteral("--") + option << value;
        }
        line << rest << QStringLiteral("--out") << prefix + u'-' + name;
        jobs.push_back({name, line});
        checkAsSingleRun(jobs.back());
    }
    return jobs;
}

QString jobLine(const SiteJob& job) {
    QStringList words;
    for (const QString& word : job.words)
        words << shellQuoted(word);
    return words.join(u' ');
}

} // namespace verdan::cli
