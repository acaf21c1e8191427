#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace verdan::numfmt {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of `s` that is a decimal number, 0 when there is none.
std::size_t numberPrefixLength(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The shortest decimal digits of |value| that read back as the same double, and the power
// of ten of the first digit: value = 0.d1d2d3... x 10^(exponent + 1).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal shortestDecimal(double magnitude) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    const auto ePos = sci.find('e');
    Decimal d;
    for (std::size_t i = 0; i < ePos; ++i)
        if (isDigit(sci[i]))
            d.digits += sci[i];
    const char* exponentText = sci.c_str() + ePos + 1;
    if (*exponentText == '+')
        ++exponentText;
    std::from_chars(exponentText, sci.c_str() + sci.size(), d.exponent);
    return d;
}

// Whether the decimal number `number` (a prefix accepted by numberPrefixLength, without a
// leading '+') is 1 or more in magnitude: its first non-zero digit stands at a power of ten
// of 0 or above once the exponent is applied. Decides overflow against underflow.
bool magnitudeAtLeastOne(const std::string& number) {
    const std::size_t ePos = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, ePos);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstDigit = mantissa.find_first_of("123456789");
    if (firstDigit == std::string::npos)
        return false;
    long long power = firstDigit < point ? static_cast<long long>(point - firstDigit) - 1
                                         : -static_cast<long long>(firstDigit - point);
    if (ePos != std::string::npos) {
        const char* text = number.c_str() + ePos + 1;
        if (*text == '+')
            ++text;
        long long exponent = 0;
        // An exponent beyond long long is far beyond the double range either way.
        if (std::from_chars(text, number.c_str() + number.size(), exponent).ec != std::errc())
            exponent = *text == '-' ? std::numeric_limits<int>::min()
                                    : std::numeric_limits<int>::max();
        power += exponent;
    }
    return power >= 0;
}

// Reads a number prefix in the C locale; beyond the double range it becomes +/-infinity when
// too large and +/-0 when too small.
double readNumberPrefix(std::string number) {
    if (number.front() == '+')
        number.erase(0, 1);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc::result_out_of_range)
        return value;
    const bool negative = number.front() == '-';
    const double magnitude =
        magnitudeAtLeastOne(number) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

// Rounds |value| half away from zero to `decimals` places, from its shortest decimal form.
// Returns the integer digits (without leading zeros, "" for zero) and the decimal digits.
void roundToDecimals(double magnitude, int decimals, std::string& intDigits,
                     std::string& fracDigits) {
    intDigits.clear();
    fracDigits.assign(static_cast<std::size_t>(decimals), '0');
    if (magnitude == 0.0)
        return;
    const Decimal d = shortestDecimal(magnitude);
    // All digits as an integer scaled by 10^decimals: position of each digit.
    // Digit k (0-based) has the power exponent - k.
    const int lowestKept = -decimals;
    std::string kept; // digits from the highest power down to 10^lowestKept
    const int highest = std::max(d.exponent, 0);
    for (int power = highest; power >= lowestKept; --power) {
        const int k = d.exponent - power;
        kept += (k >= 0 && k < static_cast<int>(d.digits.size())) ? d.digits[k] : '0';
    }
    const int firstDropped = d.exponent - (lowestKept - 1);
    const bool roundUp = firstDropped >= 0 && firstDropped < static_cast<int>(d.digits.size()) &&
                         d.digits[firstDropped] >= '5';
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0)
            ++kept[i];
        else
            kept = '1' + kept;
    }
    const std::size_t intLen = kept.size() - static_cast<std::size_t>(decimals);
    intDigits = kept.substr(0, intLen);
    fracDigits = kept.substr(intLen);
    const auto firstNonZero = intDigits.find_first_not_of('0');
    intDigits = firstNonZero == std::string::npos ? std::string() : intDigits.substr(firstNonZero);
}

bool isIntegerPattern(QStringView pattern) {
    return !pattern.contains(u'.');
}

} // namespace

double leadingNumber(QStringView text) {
    std::string compact;
    compact.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (isSkipped(c))
            continue;
        if (c.unicode() > 127)
            break;
        compact += static_cast<char>(c.unicode());
    }
    const std::size_t len = numberPrefixLength(compact);
    if (len == 0)
        return 0.0;
    return readNumberPrefix(compact.substr(0, len));
}

QString generalNumber(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (value == 0.0)
        return QStringLiteral("0");
    // printf's "%.15G" in the C locale, whatever the process locale: exponent letter "E".
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::replace(buf, result.ptr, 'e', 'E');
    return QString::fromLatin1(buf, result.ptr - buf);
}

QString formatPattern(double value, QStringView pattern) {
    if (!std::isfinite(value))
        return generalNumber(value);
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView intPattern = point < 0 ? pattern : pattern.left(point);
    const QStringView fracPattern = point < 0 ? QStringView() : pattern.mid(point + 1);
    const int minIntDigits = static_cast<int>(intPattern.count(u'0'));
    int decimals = 0;
    int requiredDecimals = 0;
    for (qsizetype i = 0; i < fracPattern.size(); ++i) {
        if (fracPattern[i] == u'0' || fracPattern[i] == u'#') {
            ++decimals;
            if (fracPattern[i] == u'0')
                requiredDecimals = decimals;
        }
    }
    std::string intDigits;
    std::string fracDigits;
    roundToDecimals(std::fabs(value), decimals, intDigits, fracDigits);
    while (static_cast<int>(fracDigits.size()) > requiredDecimals && !fracDigits.empty() &&
           fracDigits.back() == '0')
        fracDigits.pop_back();
    const bool isZero = intDigits.empty() && fracDigits.find_first_not_of('0') == std::string::npos;
    if (static_cast<int>(intDigits.size()) < minIntDigits)
        intDigits =
            std::string(static_cast<std::size_t>(minIntDigits) - intDigits.size(), '0') + intDigits;
    if (intDigits.empty() && isIntegerPattern(pattern))
        intDigits.push_back('0');
    QString out;
    if (value < 0 && !isZero)
        out += u'-';
    out += QString::fromLatin1(intDigits.c_str());
    if (point >= 0 && (!fracDigits.empty() || requiredDecimals > 0)) {
        out += u'.';
        out += QString::fromLatin1(fracDigits.c_str());
    }
    return out;
}

QString BlankLeadingZeros(QString text) {
    for (qsizetype i = 0; i < text.size() && text[i] == u'0'; ++i)
        text[i] = u' ';
    return text;
}

QString padded(double value, QStringView pattern) {
    // "NaN" and "Inf" take the pattern's width with at least one blank before them, so that
    // columns of them never run together ("NaNNaNNaN").
    if (!std::isfinite(value))
        return (u' ' + generalNumber(value)).rightJustified(pattern.size(), u' ');
    QString s = BlankLeadingZeros(formatPattern(value, pattern));
    if (isIntegerPattern(pattern) && !s.isEmpty() && s.back() == u' ')
        s.back() = u'0';
    return s;
}

QString trimmed(double value, QStringView pattern) {
    return padded(value, pattern).trimmed();
}

} // namespace verdan::numfmt
