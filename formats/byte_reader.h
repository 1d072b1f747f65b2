#pragma once

#include "formats/format_error.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zelk::formats {

// The unsigned number that `bytes` (at most 8) hold, least significant first.
// Every stored number is read through here.
inline std::uint64_t littleEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t v = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) v = v << 8 | bytes[i];
    return v;
}

// Little-endian reader over a fixed frame. Every read is checked against the
// frame's end and throws FormatError instead of reading past it. Positions
// count from the frame's first byte; an error reports `base` + position, so a
// sub-reader over an embedded record still names offsets in the outer frame.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t base = 0) : bytes_(bytes), base_(base) {}

    std::size_t position() const noexcept { return pos_; }
    std::size_t offset() const noexcept { return base_ + pos_; }
    std::size_t remaining() const noexcept { return bytes_.size() - pos_; }
    bool atEnd() const noexcept { return pos_ == bytes_.size(); }

    std::uint8_t u8(const char* what) { return static_cast<std::uint8_t>(number(1, what)); }
    std::uint16_t u16(const char* what) { return static_cast<std::uint16_t>(number(2, what)); }
    std::uint32_t u32(const char* what) { return static_cast<std::uint32_t>(number(4, what)); }
    std::int32_t i32(const char* what) { return static_cast<std::int32_t>(u32(what)); }

    std::span<const std::uint8_t> bytes(std::size_t count, const char* what) {
        need(count, what);
        auto out = bytes_.subspan(pos_, count);
        pos_ += count;
        return out;
    }

    void skip(std::size_t count, const char* what) { bytes(count, what); }

    // Throws FormatError(check) at the current offset unless `ok`.
    void expect(bool ok, const std::string& check) const {
        if (!ok) throw FormatError(check, offset());
    }
    // `at` is a position within this frame, like position().
    [[noreturn]] void fail(const std::string& check, std::size_t at) const { throw FormatError(check, base_ + at); }

private:
    void need(std::size_t count, const char* what) const {
        if (count > remaining()) throw FormatError(std::string(what) + " runs past the end of the frame", offset());
    }
    std::uint64_t number(std::size_t n, const char* what) { return littleEndian(bytes(n, what)); }

    std::span<const std::uint8_t> bytes_;
    std::size_t base_;
    std::size_t pos_ = 0;
};

}  // namespace zelk::formats
