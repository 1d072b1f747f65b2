#include "art/painter/scene_speckle.h"

namespace zelk::art::painter {
namespace {

std::uint32_t cellHash(int cx, int cy, std::uint32_t seed) {
    std::uint32_t h = seed ^ (std::uint32_t(cx) * 0x9E3779B1u) ^ (std::uint32_t(cy) * 0x85EBCA77u);
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

formats::Rgb pickTint(std::span<const Tint> tints, std::uint32_t hash) {
    int total = 0;
    for (const Tint& t : tints) total += t.weight;
    int pick = int(hash % std::uint32_t(total));
    for (const Tint& t : tints) {
        if (pick < t.weight) return t.colour;
        pick -= t.weight;
    }
    return tints.back().colour;
}

}  // namespace

void applySpeckle(formats::Picture& picture, const Speckle& s) {
    for (int y = s.y0; y <= s.y1; ++y) {
        for (int x = s.x0; x <= s.x1; ++x) {
            formats::Rgb& p = picture.at(x, y);
            if (p == s.base) p = pickTint(s.tints, cellHash(x / s.grain, y / s.grain, s.seed));
        }
    }
}

}  // namespace zelk::art::painter
