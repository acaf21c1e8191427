#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace verdan::cli {

/// Exit statuses of verdan-cli.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1; ///< the run could not be done (model library missing)
inline constexpr int ExitUsage = 2;   ///< a bad option or value; nothing was run

/// A bad command line, with the one-line message for the user.
struct UsageError {
    QString message;
};

/// `text` for a one-line message: line breaks and runs of blanks become one blank, and a text
/// longer than 300 characters keeps its first 200 and last 80 around " ... ".
QString oneLine(const QString& text);

/// Reads a whole text as a finite decimal number in the C locale ("1e3", "+5", ".5");
/// empty for anything else (trailing characters, "inf", "nan", an empty text).
std::optional<double> parseNumber(const QString& text);

/// The options of one command, "--name value" or "--name=value". Every option takes a value.
/// The accessors check the value they read and throw UsageError with a message that names
/// the option and what it accepts.
class CliOptions {
public:
    /// Parses `args` (the arguments after the command). `known` are the option names without
    /// "--". Throws UsageError for an unknown option, a missing value, an option given twice
    /// or an argument that is not an option.
    CliOptions(const QStringList& args, const QStringList& known);

    bool has(const QString& name) const { return m_values.count(name) > 0; }
    /// The text given for `name`, as it was typed; empty when the option is absent.
    QString valueOf(const QString& name) const {
        const auto it = m_values.find(name);
        return it == m_values.end() ? QString() : it->second;
    }

    /// The value of `name` as a number in minimum..maximum (inclusive), `fallback` when the
    /// option is absent; `unit` ("MHz") is named in the message.
    double number(const QString& name, double fallback, double minimum, double maximum,
                  const QString& unit = {}) const;
    /// The value of `name` as any finite number, `fallback` when absent.
    double number(const QString& name, double fallback) const;
    /// The value of `name` as a power in dBW within minimumDbw..maximumDbw; empty when the
    /// option is absent. A plain number is in dBW; a unit "dBW" or "dBm" may follow it
    /// ("30", "30dBW", "60 dBm": all 30 dBW), letter case ignored.
    std::optional<double> powerDbw(const QString& name, double minimumDbw, double maximumDbw) const;
    /// The value of `name` as a whole number in minimum..maximum, `fallback` when absent.
    int integer(const QString& name, int fallback, int minimum, int maximum) const;
    /// The value of `name` as a comma-separated list of 1 to `maxCount` numbers: the first
    /// in firstMinimum..maximum, the others in minimum..maximum. `fallback` when absent.
    std::vector<double> list(const QString& name, const std::vector<double>& fallback, int maxCount,
                             double firstMinimum, double minimum, double maximum) const;
    /// The value of `name` as one of `choices` (letter case ignored), returned as listed;
    /// `fallback` when absent.
    QString choice(const QString& name, const QString& fallback, const QStringList& choices) const;

private:
    std::map<QString, QString> m_values;
};

} // namespace verdan::cli
