#pragma once

#include <cstdint>

namespace gui
{
struct Color
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    bool operator==(const Color&) const = default;
};

inline constexpr Color kBlackColor{0, 0, 0, 255};
inline constexpr Color kWhiteColor{255, 255, 255, 255};
inline constexpr Color kRedColor{255, 0, 0, 255};
}  // namespace gui
