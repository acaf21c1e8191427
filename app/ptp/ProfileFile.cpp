#include "ProfileFile.h"

#include "FileNameBytes.h"
#include "NumberFormat.h"
#include "TempFile.h"

#include <QFile>
#include <QRegularExpression>

#include <verdan/terrain/TerrainSource.h>

#include <cmath>

namespace verdan {

namespace {

// Files larger than this cannot hold a valid profile of MaxProfileFilePoints points.
constexpr qint64 MaxProfileFileBytes = 16 * 1024 * 1024;

bool readNumber(const QString& token, double& value) {
    bool ok = false;
    value = token.toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

namespace {

// The numbers' texts and the line (1-based) each stands on.
struct Tokens {
    QStringList texts;
    std::vector<int> lines;
};

Tokens tokenize(const QString& text) {
    static const QRegularExpression separator(QStringLiteral("\\s*,\\s*|[ \\t\\f\\v\\r]+"));
    Tokens tokens;
    const QStringList lines = text.split(u'\n');
    bool started = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString body = lines[n].trimmed();
        if (body.isEmpty())
            continue;
        QStringList words = body.split(separator);
        // A comma at a line's end or start separates from the next or previous line's number.
        if (started && lines[n].trimmed().startsWith(u','))
            words.removeFirst();
        if (words.size() > 1 && words.back().isEmpty() && body.endsWith(u','))
            words.removeLast();
        for (const QString& word : words) {
            tokens.texts << word;
            tokens.lines.push_back(static_cast<int>(n) + 1);
        }
        started = true;
    }
    return tokens;
}

// Why the spacing or an elevation of `values` cannot be terrain, naming its line; empty if
// they all can.
QString implausibleValue(const std::vector<double>& values, const std::vector<int>& lines) {
    if (!(values[1] >= MinProfileSpacingM))
        return QStringLiteral("The spacing between points (%1 m, line %2) must be at least %3 m.")
            .arg(numfmt::generalNumber(values[1]))
            .arg(lines[1])
            .arg(numfmt::generalNumber(MinProfileSpacingM));
    for (std::size_t k = 2; k < values.size(); ++k)
        if (!terrain::isTerrainElevation(values[k]))
            return QStringLiteral("Elevation %1 of the profile (%2 m, line %3) lies outside %4 "
                                  "to %5 m.")
                .arg(k - 1)
                .arg(numfmt::generalNumber(values[k]))
                .arg(lines[k])
                .arg(numfmt::generalNumber(terrain::LowestElevationM))
                .arg(numfmt::generalNumber(terrain::HighestElevationM));
    return {};
}

} // namespace

bool parseProfileText(const QString& text, std::vector<double>& pfl, QString& error) {
    const Tokens parsed = tokenize(text);
    const QStringList& tokens = parsed.texts;
    if (tokens.size() < 4) {
        error = QStringLiteral("The profile holds too few numbers (%1): it needs the number of "
                               "intervals, the spacing and at least two elevations.")
                    .arg(tokens.size());
        return false;
    }
    const qsizetype elevations = tokens.size() - 2;
    if (elevations > MaxProfileFilePoints) {
        error = QStringLiteral("The profile has %1 points; at most %2 are allowed.")
                    .arg(elevations)
                    .arg(MaxProfileFilePoints);
        return false;
    }
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(tokens.size()));
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        double value = 0;
        const int line = parsed.lines[static_cast<std::size_t>(i)];
        if (tokens.at(i).isEmpty()) {
            error = QStringLiteral("Value %1 of the profile (line %2) is empty.").arg(i + 1).arg(line);
            return false;
        }
        if (!readNumber(tokens.at(i), value)) {
            error = QStringLiteral("Value %1 of the profile (line %2) is not a number: \"%3\".")
                        .arg(i + 1)
                        .arg(line)
                        .arg(tokens.at(i).left(40));
            return false;
        }
        values.push_back(value);
    }
    const double intervals = values[0];
    if (intervals < 1 || intervals != std::floor(intervals)) {
        error = QStringLiteral("The number of intervals (%1) is not a whole number of at least 1.")
                    .arg(numfmt::generalNumber(intervals));
        return false;
    }
    if (intervals + 1 != static_cast<double>(elevations)) {
        error = QStringLiteral("The profile gives %1 intervals but holds %2 elevations (%3 "
                               "expected).")
                    .arg(numfmt::generalNumber(intervals))
                    .arg(elevations)
                    .arg(numfmt::generalNumber(intervals + 1));
        return false;
    }
    if (error = implausibleValue(values, parsed.lines); !error.isEmpty())
        return false;
    pfl = std::move(values);
    return true;
}

bool readProfileFile(const QString& path, std::vector<double>& pfl, QString& error) {
    QFile file;
    QString reason;
    if (!openFileForReading(file, path, reason)) {
        error = QStringLiteral("The file %1 cannot be read: %2").arg(path, reason);
        return false;
    }
    // Read with a bound: a pipe or device has no size and may never end.
    const QByteArray data = file.read(MaxProfileFileBytes + 1);
    if (data.size() > MaxProfileFileBytes) {
        error = QStringLiteral("The file %1 is too large to be a profile.").arg(path);
        return false;
    }
    if (data.contains('\0')) {
        error = QStringLiteral("The file %1 is not a text file.").arg(path);
        return false;
    }
    return parseProfileText(QString::fromUtf8(data), pfl, error);
}

QString profileText(const std::vector<double>& pfl) {
    QString text;
    if (pfl.size() < 2)
        return text;
    text += numfmt::generalNumber(pfl[0]) + u',' + numfmt::generalNumber(pfl[1]) + u'\n';
    for (std::size_t k = 2; k < pfl.size(); ++k) {
        text += numfmt::generalNumber(pfl[k]);
        const bool lineEnd = (k - 2) % 10 == 9 || k + 1 == pfl.size();
        text += lineEnd ? u'\n' : u',';
    }
    return text;
}

bool writeProfileFile(const QString& path, const std::vector<double>& pfl, QString& error) {
    return writeFileAtomically(path, profileText(pfl).toUtf8(), &error);
}

} // namespace verdan
