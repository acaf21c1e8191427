#pragma once

namespace verdan {

/// A colour of a graph series or a map band, components 0 .. 255.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

} // namespace verdan
