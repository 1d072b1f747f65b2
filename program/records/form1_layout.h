#pragma once

// Where everything of Form1 stands when the window opens, in twips.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zelk::program::records {

struct FormLayout {
    std::string_view name;
    std::string_view caption;
    std::uint32_t opaqueWord19;  // stored, read by no part of the program
    std::int32_t opaqueWord23;   // likewise
    std::string_view linkTopic;
    std::int32_t clientLeft, clientTop, clientWidth, clientHeight;
    std::uint8_t startUpPosition;
};

inline constexpr FormLayout kForm{"Form1", "Form1", 0x00420001, -1, "Form1", 60, 450, 11100, 6285, 3};

struct ButtonLayout {
    std::uint8_t index;
    std::string_view name;
    std::string_view caption;  // code page 1251
    std::int16_t left, top, width, height;
    std::int16_t tabIndex;
};

struct ImageLayout {
    std::uint8_t index;
    std::string_view name;
    int pose;  // which horse picture it shows
    std::int16_t left, top, width, height;
    std::optional<bool> visible;  // not stored: shown
    bool stretch;
};

// "Движение" and "Движение2" in code page 1251.
inline constexpr ButtonLayout kCommand2{1,
                                        "Command2",
                                        "\xC4\xE2\xE8\xE6\xE5\xED\xE8\xE5"
                                        "2",
                                        120,
                                        1200,
                                        1215,
                                        495,
                                        1};
inline constexpr ButtonLayout kCommand1{2, "Command1", "\xC4\xE2\xE8\xE6\xE5\xED\xE8\xE5", 120, 240, 1215, 495, 0};

inline constexpr ImageLayout kImg3{3, "Img3", 3, 6840, 2600, 2295, 2295, false, true};
inline constexpr ImageLayout kImg2{4, "Img2", 2, 3360, 2600, 2295, 2295, false, true};
inline constexpr ImageLayout kImg1{5, "Img1", 1, 480, 2520, 2295, 2295, std::nullopt, true};

}  // namespace zelk::program::records
