// Numbers as text in the C locale, whatever the process locale.
#pragma once

#include <verdan/coverage/MapStyle.h>

#include <array>
#include <charconv>
#include <string>
#include <string_view>

namespace verdan::coverage::text {

/// `value` with `decimals` places after the point.
inline std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    return std::string(buffer.data(), end);
}

/// `text` with the characters XML gives a meaning (& < > ") as entities.
inline std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

/// `name` as a relative URI: every byte but letters, digits and "-._~" as %XX, so that a file
/// name that is not UTF-8 (or holds blanks) still makes a valid link in a UTF-8 document.
inline std::string uriEscaped(const std::string& name) {
    static constexpr std::string_view plain = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                              "0123456789-._~";
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (plain.find(c) != std::string_view::npos)
            out += c;
        else
            out += {'%', digits[byte >> 4], digits[byte & 15]};
    }
    return out;
}

/// "#rrggbb" of a colour (its opacity left out).
inline std::string hexColour(Rgba c) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t part : {c.red, c.green, c.blue})
        text += {digits[part >> 4], digits[part & 15]};
    return text;
}

} // namespace verdan::coverage::text
