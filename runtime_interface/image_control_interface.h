#pragma once

#include "formats/guid.h"

#include <cstdint>

namespace zelk::runtime_interface {

// The control interface of the form's pictures as the program sees it.
class ImageControlInterface {
public:
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;
    virtual std::int32_t putVisible(std::int16_t value) = 0;
    virtual std::int32_t putLeft(float twips) = 0;

protected:
    ~ImageControlInterface() = default;
};

inline constexpr formats::Guid kImageControlInterfaceId{
    0x33AD4F91, 0x6699, 0x11CF, {0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}};

// The slot numbers a failed put is reported with.
inline constexpr std::int32_t kVisibleSlot = 140;  // 0x8C
inline constexpr std::int32_t kLeftSlot = 100;     // 0x64

// The platform's booleans, as the Visible put takes them.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

}  // namespace zelk::runtime_interface
