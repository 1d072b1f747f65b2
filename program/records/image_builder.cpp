#include "program/records/image_builder.h"

#include "formats/byte_writer.h"

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

void ImageBuilder::textField(std::string_view text, std::size_t width) {
    if (text.size() >= width) throw std::logic_error("text does not fit its field");
    for (char c : text) u8(std::uint8_t(c));
    zeros(width - text.size());
}

void ImageBuilder::utf16Field(std::string_view ascii, std::size_t width) {
    if (2 * ascii.size() + 2 > width) throw std::logic_error("text does not fit its field");
    for (char c : ascii) u16(std::uint8_t(c));
    zeros(width - 2 * ascii.size());
}

void ImageBuilder::link(const std::string& label) { link(label, 0); }

void ImageBuilder::link(const std::string& label, std::int32_t addend) {
    fixups_.push_back({bytes_.size(), label, addend});
    u32(0);
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
