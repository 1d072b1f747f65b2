#pragma once

#include "formats/guid.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::program::records {

// Lays out a block of records that will live at a fixed 32-bit base address.
// Records refer to each other through named labels; `link` leaves a 32-bit
// slot that `finish` fills with the label's address, so records can point
// forwards as well as backwards.
class ImageBuilder {
public:
    explicit ImageBuilder(std::uint32_t base) : base_(base) {}

    std::uint32_t base() const { return base_; }
    std::size_t size() const { return bytes_.size(); }
    std::uint32_t here() const { return base_ + std::uint32_t(bytes_.size()); }

    void bind(const std::string& label);               // the label names the current position
    void bindAt(const std::string& label, std::uint32_t address);  // a label outside the block

    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void zeros(std::size_t count) { bytes_.resize(bytes_.size() + count, 0); }
    void fill(std::size_t count, std::uint8_t value) { bytes_.resize(bytes_.size() + count, value); }
    void align(std::size_t boundary, std::uint8_t pad = 0);
    void padTo(std::uint32_t address, std::uint8_t pad = 0);  // up to an absolute address
    void guid(const formats::Guid& g) { bytes(g.bytes); }
    void ascii(std::string_view text) { for (char c : text) u8(std::uint8_t(c)); }
    void cstr(std::string_view text) { ascii(text); u8(0); }
    void textField(std::string_view text, std::size_t width);  // zero-padded to width
    void utf16Field(std::string_view ascii, std::size_t width);

    void link(const std::string& label);   // 32-bit address of label
    void link(const std::string& label, std::int32_t addend);

    // Resolves every link; throws std::logic_error for a label never bound.
    std::vector<std::uint8_t> finish();
    std::uint32_t address(const std::string& label) const;
    const std::map<std::string, std::uint32_t>& labels() const { return labels_; }

private:
    struct Fixup {
        std::size_t at;
        std::string label;
        std::int32_t addend;
    };
    std::uint32_t base_;
    std::vector<std::uint8_t> bytes_;
    std::map<std::string, std::uint32_t> labels_;
    std::vector<Fixup> fixups_;
};

}  // namespace zelk::program::records
