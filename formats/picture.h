#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace zelk::formats {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c) {
        return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
    }
};

// A decoded picture: rows top-down, as displayed.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // width * height, row-major from the top-left

    Picture() = default;
    Picture(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

    Rgb& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    friend bool operator==(const Picture&, const Picture&) = default;
};

}  // namespace zelk::formats
