#include "program/records/version_record.h"

#include "formats/byte_writer.h"
#include "program/records/project_identity.h"
#include "formats/module_header.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::program::records {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kLanguage = 0x0409;  // English (United States)
constexpr std::uint32_t kCodePage = 0x04B0;  // Unicode
constexpr std::uint32_t kResourceLanguage = 1033;

// Each block: length, value length, type (1 text, 0 binary), the key in
// UTF-16, then value and children, each starting on a 32-bit boundary.
struct Block {
    std::string key;
    bool text;
    Bytes value;
    std::uint16_t valueLength;  // characters for text, bytes for binary
    std::vector<Block> children;
};

void align4(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t(3), 0); }

Bytes utf16z(std::string_view ascii) {
    Bytes out;
    for (char c : ascii) formats::appendU16(out, std::uint8_t(c));
    formats::appendU16(out, 0);
    return out;
}

Bytes encode(const Block& block) {
    Bytes out;
    formats::appendU16(out, 0);  // length, known at the end
    formats::appendU16(out, block.valueLength);
    formats::appendU16(out, block.text ? 1 : 0);
    const Bytes key = utf16z(block.key);
    out.insert(out.end(), key.begin(), key.end());
    align4(out);
    out.insert(out.end(), block.value.begin(), block.value.end());
    for (const Block& child : block.children) {
        align4(out);
        const Bytes bytes = encode(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    if (out.size() > 0xFFFF) throw std::logic_error("version block too long: " + block.key);
    out[0] = std::uint8_t(out.size());
    out[1] = std::uint8_t(out.size() >> 8);
    return out;
}

Block textEntry(std::string key, std::string_view text) {
    return {std::move(key), true, utf16z(text), std::uint16_t(text.size() + 1), {}};
}

Block binaryEntry(std::string key, Bytes value) {
    const auto length = std::uint16_t(value.size());
    return {std::move(key), false, std::move(value), length, {}};
}

Block container(std::string key, std::vector<Block> children) {
    return {std::move(key), true, {}, 0, std::move(children)};
}

std::string versionText() {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%02u", unsigned(kMajorVersion), unsigned(kMinorVersion));
    return text;
}

Bytes fixedPart() {
    const std::uint32_t version = std::uint32_t(kMajorVersion) << 16 | kMinorVersion;
    Bytes out;
    for (std::uint32_t v : {
             0xFEEF04BDu,  // signature
             0x00010000u,  // structure version
             version,
             0u,  // file version 1.0.0.0
             version,
             0u,  // product version
             0u,
             0u,    // flags mask, flags
             0x4u,  // 32-bit Windows
             0x1u,  // application
             0u,    // subtype
             0u,
             0u,  // date
         })
        formats::appendU32(out, v);
    return out;
}

Block versionInfo() {
    Bytes translation;
    formats::appendU16(translation, kLanguage);
    formats::appendU16(translation, kCodePage);
    char tableKey[9];
    std::snprintf(tableKey, sizeof tableKey, "%04X%04X", unsigned(kLanguage), unsigned(kCodePage));
    const std::string version = versionText();

    Block root = binaryEntry("VS_VERSION_INFO", fixedPart());
    root.children = {
        container("VarFileInfo", {binaryEntry("Translation", translation)}),
        container("StringFileInfo",
                  {container(tableKey,
                             {
                                 textEntry("CompanyName", "MXLQ"),
                                 textEntry("ProductName", kDescription),
                                 textEntry("FileVersion", version),
                                 textEntry("ProductVersion", version),
                                 textEntry("InternalName", kExecutableName),
                                 textEntry("OriginalFilename", std::string(kExecutableName) + ".exe"),
                             })}),
    };
    return root;
}

}  // namespace

Resource writeVersionRecord(ImageBuilder& out) {
    out.align(4);
    out.bind("version_record");
    const Bytes bytes = encode(versionInfo());
    out.bytes(bytes);
    return {formats::resource_directory::kVersion, 1, kResourceLanguage, "version_record", std::uint32_t(bytes.size())};
}

}  // namespace zelk::program::records
