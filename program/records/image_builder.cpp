#include "program/records/image_builder.h"

#include "formats/byte_writer.h"

#include <algorithm>
#include <stdexcept>

namespace zelk::program::records {

void ImageBuilder::bind(const std::string& label) { bindAt(label, here()); }

void ImageBuilder::bindAt(const std::string& label, std::uint32_t address) {
    if (!labels_.emplace(label, address).second) throw std::logic_error("label bound twice: " + label);
}

void ImageBuilder::u16(std::uint16_t v) { formats::appendU16(bytes_, v); }

void ImageBuilder::u32(std::uint32_t v) { formats::appendU32(bytes_, v); }

void ImageBuilder::align(std::size_t boundary, std::uint8_t pad) {
    while (bytes_.size() % boundary) u8(pad);
}

void ImageBuilder::padTo(std::uint32_t address, std::uint8_t pad) {
    if (address < here()) throw std::logic_error("records overrun a fixed address");
    fill(address - here(), pad);
}

void ImageBuilder::link(const std::string& label) { link(label, 0); }

void ImageBuilder::link(const std::string& label, std::int32_t addend) {
    fixups_.push_back({bytes_.size(), label, addend});
    u32(0);
}

ImageBuilder::Record ImageBuilder::record(std::uint32_t size) {
    Record r(*this, bytes_.size(), size);
    zeros(size);
    return r;
}

ImageBuilder::Record ImageBuilder::record(const std::string& label, std::uint32_t size) {
    bind(label);
    return record(size);
}

std::size_t ImageBuilder::Record::claim(formats::Field field, std::uint32_t width) {
    const std::string name = field.name;
    if (width != field.size)
        throw std::logic_error(name + " takes " + std::to_string(field.size) + " bytes, not " + std::to_string(width));
    if (std::uint64_t(field.offset) + field.size > written_.size())
        throw std::logic_error(name + " lies outside its record");
    for (std::uint32_t i = field.offset; i < field.offset + field.size; ++i) {
        if (written_[i]) throw std::logic_error(name + " is written over another field");
        written_[i] = true;
    }
    return start_ + field.offset;
}

void ImageBuilder::Record::u16(formats::Field field, std::uint16_t value) {
    formats::patchU16(out_->bytes_, claim(field, 2), value);
}

void ImageBuilder::Record::u32(formats::Field field, std::uint32_t value) {
    formats::patchU32(out_->bytes_, claim(field, 4), value);
}

void ImageBuilder::Record::link(formats::Field field, const std::string& label, std::int32_t addend) {
    out_->fixups_.push_back({claim(field, 4), label, addend});
}

void ImageBuilder::Record::bytes(formats::Field field, std::span<const std::uint8_t> value) {
    const std::size_t at = claim(field, std::uint32_t(value.size()));
    std::ranges::copy(value, out_->bytes_.begin() + std::ptrdiff_t(at));
}

void ImageBuilder::Record::text(formats::Field field, std::string_view ascii) {
    if (ascii.size() >= field.size) throw std::logic_error(std::string(field.name) + " does not fit its field");
    const std::size_t at = claim(field, field.size);
    std::ranges::copy(ascii, out_->bytes_.begin() + std::ptrdiff_t(at));
}

void ImageBuilder::Record::utf16Text(formats::Field field, std::string_view ascii) {
    if (2 * ascii.size() + 2 > field.size) throw std::logic_error(std::string(field.name) + " does not fit its field");
    const std::size_t at = claim(field, field.size);
    for (std::size_t i = 0; i < ascii.size(); ++i) out_->bytes_[at + 2 * i] = std::uint8_t(ascii[i]);
}

std::uint32_t ImageBuilder::address(const std::string& label) const {
    auto it = labels_.find(label);
    if (it == labels_.end()) throw std::logic_error("label never bound: " + label);
    return it->second;
}

std::vector<std::uint8_t> ImageBuilder::finish() {
    for (const Fixup& f : fixups_) {
        formats::patchU32(bytes_, f.at, address(f.label) + std::uint32_t(f.addend));
    }
    return bytes_;
}

}  // namespace zelk::program::records
