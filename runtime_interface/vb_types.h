#pragma once

// The automation types that the program and the runtime share: plain data,
// laid out as the stored records and the form object expect them.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zelk::vb {

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2, data3;
    std::uint8_t data4[8];
    friend bool operator==(const Guid& a, const Guid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};
static_assert(sizeof(Guid) == 16);

enum VariantType : std::uint16_t {
    VT_EMPTY = 0,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
};

// 16-bit type tag, six reserved bytes, 8-byte value.
struct Variant {
    std::uint16_t vt;
    std::uint16_t reserved1, reserved2, reserved3;
    union {
        std::int16_t iVal;
        std::int32_t lVal;
        float fltVal;
        double dblVal;
        std::uint64_t bits;
    };
};
static_assert(sizeof(Variant) == 16);
static_assert(offsetof(Variant, iVal) == 8);

inline Variant makeI2(std::int16_t v) {
    Variant out{};
    out.vt = VT_I2;
    out.iVal = v;
    return out;
}

inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

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

inline constexpr Guid kImageControlInterfaceId{
    0x33AD4F91, 0x6699, 0x11CF, {0xB7, 0x0C, 0x00, 0xAA, 0x00, 0x60, 0xD3, 0x93}};
inline constexpr std::int32_t kVisibleSlot = 140;  // 0x8C
inline constexpr std::int32_t kLeftSlot = 100;     // 0x64

}  // namespace zelk::vb
