#include <verdan/radio/Units.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace verdan::radio {

namespace {

constexpr double DipoleGainDbi = 2.15;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(),
                      [](char a, char b) { return asciiLower(a) == asciiLower(b); });
}

// A number followed by one of `units` (tried in order, so a longer unit must come before a
// shorter one it ends with). Returns the index of the unit, -1 for a plain number, -2 for
// no number.
template <std::size_t N>
int splitUnit(std::string_view text, const std::array<std::string_view, N>& units, double& value) {
    text = trimmed(text);
    for (std::size_t i = 0; i < N; ++i) {
        if (!endsWithNoCase(text, units[i]))
            continue;
        const auto number = parseDecimal(text.substr(0, text.size() - units[i].size()));
        if (!number)
            return -2;
        value = *number;
        return static_cast<int>(i);
    }
    const auto number = parseDecimal(text);
    if (!number)
        return -2;
    value = *number;
    return -1;
}

bool within(double value, double minimum, double maximum) {
    return value >= minimum && value <= maximum;
}

} // namespace

std::optional<double> parseDecimal(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

PowerValue parsePowerDbm(std::string_view text) {
    static constexpr std::array<std::string_view, 5> Units{"dbm", "dbw", "mw", "kw", "w"};
    double value = 0;
    const int unit = splitUnit(text, Units, value);
    if (unit == -1)
        return {std::nullopt, "give the power's unit: W, mW, kW, dBm or dBW (e.g. 50W or 47dBm)"};
    if (unit < 0)
        return {std::nullopt, "not a power: a number and W, mW, kW, dBm or dBW"};
    double dbm = value;
    if (unit == 1)
        dbm = value + 30.0;
    else if (unit >= 2) {
        if (!(value > 0))
            return {std::nullopt, "a power in watts must be above 0"};
        static constexpr double OffsetDb[] = {0.0, 0.0, 0.0, 60.0, 30.0};
        dbm = 10.0 * std::log10(value) + OffsetDb[unit];
    }
    if (!within(dbm, -100.0, 130.0))
        return {std::nullopt, "power out of range: -100 dBm to 130 dBm (10 MW)"};
    return {dbm, {}};
}

ThresholdValue parseThreshold(std::string_view text) {
    static constexpr std::array<std::string_view, 5> Units{"dbuv/m", "db\xc2\xb5v/m",
                                                           "db\xce\xbcv/m", "dbm", "dbw"};
    double value = 0;
    const int unit = splitUnit(text, Units, value);
    if (unit == -1)
        return {std::nullopt, "give the threshold's unit: dBm or dBW for a received power, "
                              "dBuV/m for a field strength (e.g. -100dBm or 40dBuV/m)"};
    if (unit < 0)
        return {std::nullopt, "not a threshold: a number and dBm, dBW or dBuV/m"};
    if (unit <= 2) {
        if (!within(value, -100.0, 200.0))
            return {std::nullopt, "field strength threshold out of range: -100..200 dBuV/m"};
        return {Threshold{ThresholdKind::FieldDbuvm, value}, {}};
    }
    const double dbm = unit == 4 ? value + 30.0 : value;
    if (!within(dbm, -250.0, 100.0))
        return {std::nullopt, "power threshold out of range: -250..100 dBm"};
    return {Threshold{ThresholdKind::PowerDbm, dbm}, {}};
}

std::optional<double> parseGainDbi(std::string_view text, std::string& message) {
    static constexpr std::array<std::string_view, 2> Units{"dbi", "dbd"};
    double value = 0;
    const int unit = splitUnit(text, Units, value);
    if (unit < -1) {
        message = "not a gain: a number in dBi, or followed by dBi or dBd";
        return std::nullopt;
    }
    const double dbi = unit == 1 ? value + DipoleGainDbi : value;
    if (!within(dbi, -50.0, 60.0)) {
        message = "gain out of range: -50..60 dBi";
        return std::nullopt;
    }
    return dbi;
}

std::optional<double> parseLossDb(std::string_view text, std::string& message) {
    static constexpr std::array<std::string_view, 1> Units{"db"};
    double value = 0;
    if (splitUnit(text, Units, value) < -1 || !within(value, 0.0, 100.0)) {
        message = "a loss is a number of dB from 0 to 100";
        return std::nullopt;
    }
    return value;
}

std::string formatFixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    // Rounding to zero keeps its sign in to_chars; a loss of "-0.00" reads badly.
    const double shown = std::round(value * std::pow(10.0, decimals)) == 0.0 ? 0.0 : value;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), shown,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    return std::string(buffer.data(), end);
}

} // namespace verdan::radio
