#pragma once

#include "formats/guid.h"

#include <string_view>

namespace zelk::program::records {

inline constexpr std::string_view kDescription = "zelk";
inline constexpr std::string_view kExecutableName = "zelk";
inline constexpr std::string_view kHelpFile = "";
inline constexpr std::string_view kProjectName = "Horse";
inline constexpr std::string_view kProjectPath = "*\\A/src/zelk/Horse.prj";
inline constexpr std::uint32_t kLocale = 0x409;
inline constexpr std::uint32_t kSecondLocale = 0x419;

// The program's version, as the registration data and the version record give it.
inline constexpr std::uint16_t kMajorVersion = 1;
inline constexpr std::uint16_t kMinorVersion = 0;

inline constexpr formats::Guid kObjectTableGuid{
    0xBBAE7F69, 0xF8A2, 0x4447, {0x91, 0x93, 0x5B, 0x9A, 0x68, 0xFD, 0xAF, 0xA7}};
inline constexpr formats::Guid kRegistrationGuid{
    0x9601AAEA, 0xF166, 0x43D3, {0xA1, 0xB4, 0xE0, 0xAD, 0xC5, 0xB1, 0x4F, 0xC7}};

}  // namespace zelk::program::records
