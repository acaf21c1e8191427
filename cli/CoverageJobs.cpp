// The per-site command lines of `verdan-cli coverage --sites FILE.csv --print-jobs`.
#include "CoverageCommand.h"

#include "CoverageTerrain.h"

#include "FileNameBytes.h"
#include "ProfileCommand.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan::cli {

namespace {

// Options whose value is a path: made absolute so that each line runs from any folder.
const QStringList PathOptions{QStringLiteral("dem"), QStringLiteral("globe-path"),
                              QStringLiteral("out"), QStringLiteral("tx-antenna")};
// Options a site line sets itself.
const QStringList SiteOptions{QStringLiteral("sites"), QStringLiteral("tx"), QStringLiteral("out")};

struct Site {
    QString name;
    QString lat;
    QString lon;
    QString heightM; ///< empty: the --h1 of the command line
};

// The fields of one CSV line: separated by commas, optionally in double quotes ("" for ").
QStringList csvFields(const QString& line) {
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"')
            fields.back() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            fields << QString();
        else
            fields.back() += c;
    }
    for (QString& field : fields)
        field = field.trimmed();
    return fields;
}

QString checkedNumber(const QString& text, double minimum, double maximum, const QString& what) {
    const std::optional<double> value = parseNumber(text);
    if (!value || *value < minimum || *value > maximum)
        throw UsageError{QStringLiteral("%1: expected %2 to %3; got \"%4\"")
                             .arg(what)
                             .arg(minimum)
                             .arg(maximum)
                             .arg(text)};
    return text;
}

Site siteFromRow(const QStringList& fields, const QList<qsizetype>& at, const QString& where) {
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]*$"));
    const auto field = [&](int column) {
        return at[column] >= 0 && at[column] < fields.size() ? fields[at[column]] : QString();
    };
    Site site{field(0), field(1), field(2), field(3)};
    if (!plainName.match(site.name).hasMatch())
        throw UsageError{where + QStringLiteral(": the name \"%1\" is not a plain file name "
                                                "(letters, digits, '.', '_', '-')")
                                     .arg(site.name)};
    checkedNumber(site.lat, -90, 90, where + QStringLiteral(": lat"));
    checkedNumber(site.lon, -180, 180, where + QStringLiteral(": lon"));
    if (!site.heightM.isEmpty())
        checkedNumber(site.heightM, 0.5, 3000, where + QStringLiteral(": height_m"));
    return site;
}

std::vector<Site> readSites(const QString& path) {
    QFile file;
    QString reason;
    struct stat info {};
    if (::stat(fileNameBytes(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !openFileForReading(file, path, reason))
        throw UsageError{QStringLiteral("--sites: cannot read \"%1\"").arg(path)};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    const QStringList header = csvFields(lines.value(0).toLower());
    QList<qsizetype> at;
    for (const char* column : {"name", "lat", "lon", "height_m"})
        at << header.indexOf(QLatin1String(column));
    if (at[0] < 0 || at[1] < 0 || at[2] < 0)
        throw UsageError{QStringLiteral("--sites: %1: the first row must name the columns name, "
                                        "lat, lon (and optionally height_m)")
                             .arg(path)};
    std::vector<Site> sites;
    QSet<QString> names; // in lower case
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (lines[n].trimmed().isEmpty())
            continue;
        const QString where = QStringLiteral("--sites: %1 line %2").arg(path).arg(n + 1);
        sites.push_back(siteFromRow(csvFields(lines[n]), at, where));
        const QString key = sites.back().name.toLower();
        if (names.contains(key))
            throw UsageError{where + QStringLiteral(": the name \"%1\" is given twice (letter "
                                                    "case ignored)")
                                         .arg(sites.back().name)};
        names.insert(key);
    }
    if (sites.empty())
        throw UsageError{QStringLiteral("--sites: %1 lists no site").arg(path)};
    return sites;
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
    for (const Site& site : readSites(options.valueOf(QStringLiteral("sites")))) {
        QStringList line{QStringLiteral("verdan-cli"), QStringLiteral("coverage"),
                         QStringLiteral("--tx"), site.lat + u',' + site.lon};
        QStringList rest = shared;
        if (!site.heightM.isEmpty()) {
            const qsizetype h1 = rest.indexOf(QStringLiteral("--h1"));
            if (h1 >= 0)
                rest.remove(h1, 2);
            line << QStringLiteral("--h1") << site.heightM;
        }
        line << rest << QStringLiteral("--out") << prefix + u'-' + site.name;
        jobs.push_back({site.name, line});
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
