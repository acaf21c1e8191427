#include "CliOptions.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>

namespace verdan::cli {

QString oneLine(const QString& text) {
    constexpr qsizetype kLongest = 300;
    const QString line = text.simplified();
    if (line.size() <= kLongest)
        return line;
    return line.left(200) + QStringLiteral(" ... ") + line.right(80);
}

namespace {

QString rangeText(const QString& option, double minimum, double maximum, const QString& unit) {
    QString text = QStringLiteral("valid range is %1 <= %2 <= %3")
                       .arg(numfmt::generalNumber(minimum), option, numfmt::generalNumber(maximum));
    if (!unit.isEmpty())
        text += QStringLiteral(" (%1)").arg(unit);
    return text;
}

} // namespace

std::optional<double> parseNumber(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.startsWith('+') && !bytes.startsWith("+-"))
        bytes.remove(0, 1);
    double value = 0;
    const char* end = bytes.constData() + bytes.size();
    const auto [ptr, ec] = std::from_chars(bytes.constData(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

CliOptions::CliOptions(const QStringList& args, const QStringList& known) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg.size() == 2)
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(arg)};
        QString name = arg.mid(2);
        QString value;
        const qsizetype equals = name.indexOf(u'=');
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (!known.contains(name))
            throw UsageError{QStringLiteral("unknown option --%1").arg(name)};
        if (equals < 0) {
            if (i + 1 >= args.size())
                throw UsageError{QStringLiteral("--%1: a value is required").arg(name)};
            value = args[++i];
        }
        if (has(name))
            throw UsageError{QStringLiteral("--%1: given more than once").arg(name)};
        m_values.emplace(name, value);
    }
}

double CliOptions::number(const QString& name, double fallback, double minimum, double maximum,
                          const QString& unit) const {
    if (!has(name))
        return fallback;
    const QString option = QStringLiteral("--") + name;
    const auto value = parseNumber(valueOf(name));
    if (!value)
        throw UsageError{
            QStringLiteral("%1: \"%2\" is not a number; %3")
                .arg(option, valueOf(name), rangeText(option, minimum, maximum, unit))};
    if (!(*value >= minimum && *value <= maximum))
        throw UsageError{
            QStringLiteral("%1: %2; got %3")
                .arg(option, rangeText(option, minimum, maximum, unit), valueOf(name))};
    return *value;
}

double CliOptions::number(const QString& name, double fallback) const {
    if (!has(name))
        return fallback;
    const auto value = parseNumber(valueOf(name));
    if (!value)
        throw UsageError{QStringLiteral("--%1: \"%2\" is not a number; a finite decimal number "
                                        "is expected")
                             .arg(name, valueOf(name))};
    return *value;
}

std::optional<double> CliOptions::powerDbw(const QString& name, double minimumDbw,
                                           double maximumDbw) const {
    if (!has(name))
        return std::nullopt;
    const QString option = QStringLiteral("--") + name;
    QString text = valueOf(name);
    double offsetDb = 0;
    if (text.endsWith(QLatin1String("dbm"), Qt::CaseInsensitive))
        offsetDb = -30; // 0 dBW is 30 dBm
    if (text.endsWith(QLatin1String("dbm"), Qt::CaseInsensitive) ||
        text.endsWith(QLatin1String("dbw"), Qt::CaseInsensitive))
        text = text.chopped(3).trimmed();
    const auto value = parseNumber(text);
    if (!value)
        throw UsageError{QStringLiteral("%1: \"%2\" is not a power; a number in dBW, or followed "
                                        "by dBW or dBm (30, 30dBW, 60dBm)")
                             .arg(option, valueOf(name))};
    const double dbw = *value + offsetDb;
    if (!(dbw >= minimumDbw && dbw <= maximumDbw))
        throw UsageError{QStringLiteral("%1: %2; got %3")
                             .arg(option,
                                  rangeText(option, minimumDbw, maximumDbw, QStringLiteral("dBW")),
                                  valueOf(name))};
    return dbw;
}

int CliOptions::integer(const QString& name, int fallback, int minimum, int maximum) const {
    if (!has(name))
        return fallback;
    const QString option = QStringLiteral("--") + name;
    bool ok = false;
    const int value = valueOf(name).toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        throw UsageError{QStringLiteral("%1: valid values are the whole numbers %2 <= %1 <= %3; "
                                        "got %4")
                             .arg(option)
                             .arg(minimum)
                             .arg(maximum)
                             .arg(valueOf(name))};
    return value;
}

std::vector<double> CliOptions::list(const QString& name, const std::vector<double>& fallback,
                                     int maxCount, double firstMinimum, double minimum,
                                     double maximum) const {
    if (!has(name))
        return fallback;
    const QString option = QStringLiteral("--") + name;
    const QStringList items = valueOf(name).split(u',');
    const QString expected =
        QStringLiteral("1 to %1 comma-separated numbers, the first from %2 to %3, the others "
                       "from %4 to %3")
            .arg(QString::number(maxCount), numfmt::generalNumber(firstMinimum),
                 numfmt::generalNumber(maximum), numfmt::generalNumber(minimum));
    if (items.size() > maxCount)
        throw UsageError{
            QStringLiteral("%1: expected %2; got %3").arg(option, expected, valueOf(name))};
    std::vector<double> values;
    for (const QString& item : items) {
        const auto value = parseNumber(item.trimmed());
        const double low = values.empty() ? firstMinimum : minimum;
        if (!value || !(*value >= low && *value <= maximum))
            throw UsageError{
                QStringLiteral("%1: expected %2; got %3").arg(option, expected, valueOf(name))};
        values.push_back(*value);
    }
    return values;
}

QString CliOptions::choice(const QString& name, const QString& fallback,
                           const QStringList& choices) const {
    if (!has(name))
        return fallback;
    for (const QString& choice : choices) {
        if (choice.compare(valueOf(name), Qt::CaseInsensitive) == 0)
            return choice;
    }
    throw UsageError{QStringLiteral("--%1: expected one of %2; got %3")
                         .arg(name, choices.join(u'|'), valueOf(name))};
}

} // namespace verdan::cli
