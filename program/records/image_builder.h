#pragma once

#include "formats/guid.h"
#include "formats/record_field.h"

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
    class Record;

    explicit ImageBuilder(std::uint32_t base) : base_(base) {}

    std::uint32_t base() const { return base_; }
    std::size_t size() const { return bytes_.size(); }
    std::uint32_t here() const { return base_ + std::uint32_t(bytes_.size()); }

    void bind(const std::string& label);                           // the label names the current position
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
    void ascii(std::string_view text) {
        for (char c : text) u8(std::uint8_t(c));
    }
    void cstr(std::string_view text) {
        ascii(text);
        u8(0);
    }

    void link(const std::string& label);  // 32-bit address of label
    void link(const std::string& label, std::int32_t addend);

    // Reserves `size` zero bytes here for a record whose fields are then put
    // by name; the label, if given, names the record's first byte.
    Record record(std::uint32_t size);
    Record record(const std::string& label, std::uint32_t size);

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

// A record reserved in the block. Each value goes to its named field, in the
// field's own width, once: a layout slip stops the build instead of shifting
// a byte. Fields left unwritten stay zero.
class ImageBuilder::Record {
public:
    std::uint32_t address() const { return out_->base() + std::uint32_t(start_); }

    void u16(formats::Field field, std::uint16_t value);
    void u32(formats::Field field, std::uint32_t value);
    void link(formats::Field field, const std::string& label, std::int32_t addend = 0);
    void bytes(formats::Field field, std::span<const std::uint8_t> value);  // exactly the field's size
    void guid(formats::Field field, const formats::Guid& g) { bytes(field, g.bytes); }
    void text(formats::Field field, std::string_view ascii);       // NUL-ended, zero to the field's end
    void utf16Text(formats::Field field, std::string_view ascii);  // likewise, two bytes a character

private:
    friend class ImageBuilder;
    Record(ImageBuilder& out, std::size_t start, std::uint32_t size) : out_(&out), start_(start), written_(size) {}

    // The field's first byte in the block, once its width and place are checked.
    std::size_t claim(formats::Field field, std::uint32_t width);

    ImageBuilder* out_;
    std::size_t start_;
    std::vector<bool> written_;  // one flag a byte
};

}  // namespace zelk::program::records
