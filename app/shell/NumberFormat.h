#pragma once

#include <QString>
#include <QStringView>

/// How field texts become numbers and numbers become field and report texts. Every screen
/// and every report of the program formats through these functions, always in the C locale
/// (a point as decimal separator), whatever the user's locale.
namespace verdan::numfmt {

/// The leading-number rule: blanks, tabs and line feeds are skipped anywhere in the text,
/// then the longest prefix that forms a decimal number (optional sign, digits, optional
/// point and digits, optional exponent) is read. A text without such a prefix reads 0.
/// "12abc" reads 12, "" reads 0, " 1 2.5" reads 12.5. Overflow gives +/-infinity.
double leadingNumber(QStringView text);

/// The general number format: up to 15 significant digits, no trailing zeros and no
/// trailing point; exponent form ("1E-05", "1E+20") below 1e-4 and from 1e15 in magnitude.
/// 301.0 gives "301", 0.0050 gives "0.005", -0.0 gives "0". NaN gives "NaN", infinities
/// "Inf"/"-Inf".
QString generalNumber(double value);

/// Formats `value` with a digit pattern: "0" is a digit place padded with a zero, "#" an
/// unpadded digit place, "." the decimal point. The value is rounded to the pattern's
/// decimals (half away from zero on its shortest decimal form); integer digits beyond the
/// pattern are all shown; a negative value gets a leading "-" unless it rounds to zero.
/// A pattern without any integer "0" place prints no integer digit for a value below 1
/// (".5"), and a value of zero in a pattern without decimals prints "0".
QString formatPattern(double value, QStringView pattern);

/// Replaces every "0" at the start of `text` by a blank, stopping at the first other
/// character; the width is kept. "000" becomes three blanks.
QString BlankLeadingZeros(QString text);

/// The padded form: BlankLeadingZeros(formatPattern(value, pattern)), right-aligned in the
/// pattern's width for values that fit. An integer pattern keeps a "0" for a zero value so
/// that the place is never empty. NaN and infinities give "NaN", "Inf" or "-Inf" right-aligned
/// in the width, with at least one blank before them.
QString padded(double value, QStringView pattern);

/// The trimmed form: the padded form without surrounding blanks; 0.5 with "000000.0" gives
/// ".5", 100 with "000000000000" gives "100".
QString trimmed(double value, QStringView pattern);

} // namespace verdan::numfmt
