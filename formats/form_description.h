#pragma once

// The stored description of a form: a header, the form's record, then its
// controls' records between markers. Every number is little-endian and fields
// follow each other without alignment.

#include "formats/guid.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zelk::formats {

inline constexpr std::uint32_t kDescriptionMagic = 0x0031CCFF;
inline constexpr std::size_t kDescriptionHeaderSize = 89;

enum KindCode : std::uint8_t {
    kKindCommandButton = 0x04,
    kKindForm = 0x0D,
    kKindImage = 0x18,
};

enum Marker : std::uint8_t {
    kChildrenBegin = 0x01,
    kChildrenEnd = 0x02,
    kNextSibling = 0x03,
    kEndOfForm = 0x04,
};

inline constexpr std::uint8_t kEndOfProperties = 0xFF;

// How a property's value is sized on disk; a reader cannot step over a code it
// does not know, since the format carries no per-property length.
enum class ValueShape { Fixed, String, Picture };

struct PropertyFormat {
    std::uint8_t kind;
    std::uint8_t code;
    ValueShape shape;
    std::size_t size;  // for Fixed
    const char* name;
};

const PropertyFormat* findPropertyFormat(std::uint8_t kind, std::uint8_t code);

// Property codes by kind.
namespace property_code {
inline constexpr std::uint8_t kCaption = 0x01;       // form, button
inline constexpr std::uint8_t kOpaqueWord19 = 0x19;  // form: a 32-bit word nothing reads
inline constexpr std::uint8_t kFormPicture = 0x21;
inline constexpr std::uint8_t kOpaqueWord23 = 0x23;  // form: likewise
inline constexpr std::uint8_t kLinkTopic = 0x24;
inline constexpr std::uint8_t kClientRect = 0x35;
inline constexpr std::uint8_t kStartUpPosition = 0x46;
inline constexpr std::uint8_t kButtonRect = 0x04;
inline constexpr std::uint8_t kTabIndex = 0x11;
inline constexpr std::uint8_t kImagePicture = 0x02;
inline constexpr std::uint8_t kImageRect = 0x03;
inline constexpr std::uint8_t kVisible = 0x08;
inline constexpr std::uint8_t kStretch = 0x0A;
}  // namespace property_code

// ---- writing ----

struct PropertyData {
    std::uint8_t code;
    std::vector<std::uint8_t> value;  // as stored; a picture value includes its frame length
};

struct ObjectData {
    std::uint8_t index;
    std::string name;
    std::uint8_t kind;
    std::vector<PropertyData> properties;  // in ascending code order
};

struct DescriptionData {
    std::uint8_t headerByte;
    Guid formGuid;
    Guid secondFormGuid;
    Guid formEventInterface;
    ObjectData form;
    std::vector<ObjectData> children;
};

// A form without children is written as its record and the end-of-form marker,
// with no markers for children. Throws std::length_error for a name or string
// longer than 65,535 bytes.
std::vector<std::uint8_t> writeFormDescription(const DescriptionData& data);

// Value encoders for PropertyData; stringValue throws as writeFormDescription.
std::vector<std::uint8_t> stringValue(std::span<const std::uint8_t> text);
std::vector<std::uint8_t> pictureValue(std::span<const std::uint8_t> pictureRecord);
std::vector<std::uint8_t> u8Value(std::uint8_t v);
std::vector<std::uint8_t> u16Values(std::initializer_list<std::uint16_t> vs);
std::vector<std::uint8_t> u32Values(std::initializer_list<std::uint32_t> vs);

// ---- reading ----

struct PropertyView {
    std::uint8_t code;
    std::size_t offset;                   // of the value, from the description's first byte
    std::span<const std::uint8_t> value;  // a string's text, a picture's record, or the fixed bytes
};

struct ObjectView {
    std::size_t offset;  // of the record size field
    std::uint32_t size;
    std::uint8_t index;
    std::string name;
    std::uint8_t kind;
    std::vector<PropertyView> properties;

    const PropertyView* find(std::uint8_t code) const;
};

struct DescriptionView {
    Guid formGuid;
    ObjectView form;
    std::vector<ObjectView> children;
};

// Walks a description of exactly `bytes.size()` bytes, checking magic, total
// size, every record's size, control indexes (0 for the form, then 1, 2, 3,
// ... in stored order), kind and property codes and markers; the end-of-form
// marker straight after the form's record stands for a form without
// controls, as the writer puts it. Every value is
// read inside its record's size. Throws FormatError naming the check, the
// record and the offset; never reads outside `bytes`.
DescriptionView walkFormDescription(std::span<const std::uint8_t> bytes);

// Little-endian fields of a fixed-size value.
std::uint16_t valueU16(const PropertyView& p, std::size_t index);
std::uint32_t valueU32(const PropertyView& p, std::size_t index);

}  // namespace zelk::formats
