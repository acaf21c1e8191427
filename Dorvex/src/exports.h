// Texts of the library's error numbers, shared by the C exports and the tests.
#pragma once

#include <cstdint>
#include <string>

namespace dorvex {

inline constexpr int kGlobeMessageWidth = 23;
inline constexpr int kQuarnMessageWidth = 52;

// Text of a GLOBE error number (not padded): tile reading and opening errors
// -1101..-1126 and -1001..-1026 name the tile letter, 0 and the numbers below -1000
// without a tile letter are "Undefined Error Number", the others "No Error".
std::string globeErrorText(int32_t number);

// Text of a Quarn error number (not padded); number is set to 15 when below 0 or above
// 13. Entry n of the table for 1..13, entry 1 for 0.
std::string quarnErrorText(int32_t& number);

} // namespace dorvex
