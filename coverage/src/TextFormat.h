// Numbers as text in the C locale, whatever the process locale.
#pragma once

#include <array>
#include <charconv>
#include <string>

namespace verdan::coverage::text {

/// `value` with `decimals` places after the point.
inline std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    return std::string(buffer.data(), end);
}

} // namespace verdan::coverage::text
