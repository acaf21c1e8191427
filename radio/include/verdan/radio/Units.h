// Radio quantities typed with their units, as users write them on a command line or in a
// form: "50W", "47dBm", "17 dBW", "-100dBm", "40dBuV/m", "12dBd". Plain C++, no Qt.
//
// Numbers are read in the C locale whatever the process locale: a point for decimals, an
// optional sign and exponent; no thousands separators. Units are matched ignoring letter
// case and blanks between number and unit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace verdan::radio {

/// A finite decimal number that is the whole of `text` (blanks around it allowed), read in
/// the C locale; empty for anything else ("", "1,5", "inf", "nan", "12x").
std::optional<double> parseDecimal(std::string_view text);

/// A power, or the one-line reason it was refused.
struct PowerValue {
    std::optional<double> dbm; ///< the power in dBm; empty when refused
    std::string message;       ///< why it was refused
};

/// A transmitter power: a number followed by W, mW, kW, dBm or dBW ("50W", "47dBm",
/// "17dBW"). A plain number is refused: 30 W and 30 dBm differ by a factor of 30. Watts must
/// be above 0.
PowerValue parsePowerDbm(std::string_view text);

/// What a threshold compares with.
enum class ThresholdKind {
    PowerDbm,  ///< received power at the receiver's input, dBm
    FieldDbuvm ///< field strength at the receiving antenna, dBµV/m
};

/// A receiver threshold: a received power ("-100dBm", "-130dBW") or a field strength
/// ("40dBuV/m", "40dBµV/m").
struct Threshold {
    ThresholdKind kind = ThresholdKind::PowerDbm;
    double value = 0; ///< dBm for PowerDbm, dBµV/m for FieldDbuvm
};

/// A threshold, or the one-line reason it was refused.
struct ThresholdValue {
    std::optional<Threshold> threshold;
    std::string message;
};

/// Reads a threshold; a plain number is refused (power or field strength must be said).
ThresholdValue parseThreshold(std::string_view text);

/// An antenna gain: "12dBi", "10dBd" (a half-wave dipole is 2.15 dBi) or a plain number in
/// dBi. Returns the gain in dBi, or empty with `message` set.
std::optional<double> parseGainDbi(std::string_view text, std::string& message);

/// A loss in dB: a plain number or one followed by "dB", 0 or more. Returns the loss in dB,
/// or empty with `message` set.
std::optional<double> parseLossDb(std::string_view text, std::string& message);

/// `value` with `decimals` places after the point, in the C locale.
std::string formatFixed(double value, int decimals);

} // namespace verdan::radio
