// The version record, read back by the published version-resource layout:
// blocks of length, value length, type and UTF-16 key, each value and child
// on a 32-bit boundary.
#include "resource_support.h"

#include "formats/byte_reader.h"

#include <string>
#include <string_view>
#include <vector>

namespace zelk::tests {
namespace {

struct Block {
    std::size_t length;
    std::uint16_t valueLength;
    std::uint16_t type;  // 1 text, 0 binary
    std::string key;
    std::span<const std::uint8_t> value;
    std::vector<Block> children;
};

std::size_t aligned(std::size_t at) { return (at + 3) & ~std::size_t(3); }

std::string asciiOfUtf16(std::span<const std::uint8_t> text, std::size_t offset) {
    std::string out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        if (text[i + 1] != 0 || text[i] >= 0x80) throw formats::FormatError("key or text is not ASCII", offset + i);
        out.push_back(char(text[i]));
    }
    return out;
}

// `bytes` starts at the block and ends where its parent does.
Block readBlock(std::span<const std::uint8_t> bytes, std::size_t offset) {
    formats::ByteReader head(bytes, offset);
    Block b{};
    b.length = head.u16("block length");
    b.valueLength = head.u16("value length");
    b.type = head.u16("block type");
    if (b.length < 6 || b.length > bytes.size()) throw formats::FormatError("block length leaves its parent", offset);
    if (b.type > 1) throw formats::FormatError("block type is neither text nor binary", offset + 4);
    const auto block = bytes.first(b.length);
    formats::ByteReader in(block, offset);
    in.skip(6, "block head");
    for (std::uint16_t c; (c = in.u16("key")) != 0;) {
        if (c >= 0x80) throw formats::FormatError("key is not ASCII", in.offset() - 2);
        b.key.push_back(char(c));
    }
    std::size_t at = aligned(in.position());
    const std::size_t valueBytes = b.type == 1 ? 2u * b.valueLength : b.valueLength;
    if (at + valueBytes > block.size()) throw formats::FormatError("value runs past its block", offset + at);
    b.value = block.subspan(at, valueBytes);
    for (at = aligned(at + valueBytes); at < block.size(); at = aligned(at + b.children.back().length))
        b.children.push_back(readBlock(block.subspan(at), offset + at));
    return b;
}

std::vector<std::string> keys(const Block& b) {
    std::vector<std::string> out;
    for (const Block& c : b.children) out.push_back(c.key);
    return out;
}

const Block& child(const Block& b, const std::string& key) {
    for (const Block& c : b.children)
        if (c.key == key) return c;
    throw std::out_of_range("no block " + key + " in " + b.key);
}

// A text value without its closing NUL, which it must have.
std::string textOf(const Block& b) {
    if (b.value.size() < 2 || (b.value[b.value.size() - 2] | b.value.back()) != 0)
        throw std::runtime_error(b.key + " does not end in NUL");
    return asciiOfUtf16(b.value.first(b.value.size() - 2), 0);
}

std::uint32_t word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

class VersionRecord : public testing::Test {
protected:
    StoredResource stored_ = storedResource(16, 1);  // version record 1
    Block root_ = readBlock(stored_.bytes, 0);
};

TEST_F(VersionRecord, IsOneUsEnglishBlockWithTheFixedPartOf1000) {
    EXPECT_EQ(stored_.language, 1033u);
    EXPECT_EQ(root_.length, stored_.bytes.size()) << "nothing after the root block";
    EXPECT_EQ(root_.key, "VS_VERSION_INFO");
    EXPECT_EQ(root_.type, 0);
    ASSERT_EQ(root_.value.size(), 52u);
    const struct {
        std::size_t offset;
        std::uint32_t value;
        const char* what;
    } fixed[] = {
        // clang-format off
        {0x00, 0xFEEF04BD, "signature"},         {0x04, 0x00010000, "structure version"},
        {0x08, 0x00010000, "file version 1.0"},  {0x0C, 0, "file version .0.0"},
        {0x10, 0x00010000, "product version 1.0"}, {0x14, 0, "product version .0.0"},
        {0x18, 0, "flags mask"},                 {0x1C, 0, "flags"},
        {0x20, 0x4, "operating system"},         {0x24, 0x1, "file type"},
        {0x28, 0, "subtype"},                    {0x2C, 0, "date, high"},
        {0x30, 0, "date, low"},
    };
    // clang-format on
    for (const auto& f : fixed) EXPECT_EQ(word(root_.value, f.offset), f.value) << f.what;
}

TEST_F(VersionRecord, TranslationPairStandsBeforeTheSixStringsInOrder) {
    ASSERT_EQ(keys(root_), (std::vector<std::string>{"VarFileInfo", "StringFileInfo"}));

    const Block& vars = root_.children[0];
    EXPECT_EQ(vars.type, 1);
    ASSERT_EQ(keys(vars), std::vector<std::string>{"Translation"});
    const Block& translation = vars.children[0];
    EXPECT_EQ(translation.type, 0);
    EXPECT_EQ(word(translation.value, 0), 0x04B00409u) << "language 0x0409, code page 0x04B0";
    EXPECT_EQ(translation.value.size(), 4u) << "exactly one pair";

    const Block& strings = root_.children[1];
    EXPECT_EQ(strings.type, 1);
    ASSERT_EQ(keys(strings), std::vector<std::string>{"040904B0"});
    const std::pair<std::string, std::string> expected[] = {
        {"CompanyName", "MXLQ"},
        {"ProductName", "zelk"},
        {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},
        {"InternalName", "zelk"},
        {"OriginalFilename", "zelk.exe"},
    };
    const Block& table = strings.children[0];
    ASSERT_EQ(table.children.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Block& s = table.children[i];
        EXPECT_EQ(s.key, expected[i].first);
        EXPECT_EQ(s.type, 1) << s.key;
        EXPECT_TRUE(s.children.empty()) << s.key;
        EXPECT_EQ(textOf(s), expected[i].second);
        EXPECT_EQ(s.valueLength, expected[i].second.size() + 1) << s.key << ": characters with the NUL";
    }
}

using Bytes = std::vector<std::uint8_t>;

// A block's head: its length, its value's length (characters for text, bytes
// for binary) and its type, 1 text or 0 binary.
Bytes head(std::uint16_t length, std::uint16_t valueLength, std::uint16_t type) {
    return {std::uint8_t(length),
            std::uint8_t(length >> 8),
            std::uint8_t(valueLength),
            std::uint8_t(valueLength >> 8),
            std::uint8_t(type),
            0};
}

// ASCII as UTF-16 with its NUL, then `padding` zero bytes to the next 32-bit boundary.
Bytes utf16(std::string_view ascii, std::size_t padding = 0) {
    Bytes out;
    for (char c : ascii) out.insert(out.end(), {std::uint8_t(c), 0});
    out.insert(out.end(), 2 + padding, 0);
    return out;
}

Bytes words(std::initializer_list<std::uint32_t> values) {
    Bytes out;
    for (std::uint32_t v : values)
        out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    return out;
}

struct Piece {
    std::size_t offset;
    const char* what;
    Bytes bytes;
};

// The whole record in stored order. A block's length counts its head, key,
// value and children, but not the padding after its last child.
const Piece kPieces[] = {
    {0, "VS_VERSION_INFO head", head(502, 52, 0)},
    {6, "VS_VERSION_INFO key", utf16("VS_VERSION_INFO", 2)},
    {40, "fixed part", words({0xFEEF04BD, 0x00010000, 0x00010000, 0, 0x00010000, 0, 0, 0, 0x4, 0x1, 0, 0, 0})},
    {92, "VarFileInfo head", head(68, 0, 1)},
    {98, "VarFileInfo key", utf16("VarFileInfo", 2)},
    {124, "Translation head", head(36, 4, 0)},
    {130, "Translation key", utf16("Translation", 2)},
    {156, "Translation: 0x0409, 0x04B0", {0x09, 0x04, 0xB0, 0x04}},
    {160, "StringFileInfo head", head(342, 0, 1)},
    {166, "StringFileInfo key", utf16("StringFileInfo")},
    {196, "040904B0 head", head(306, 0, 1)},
    {202, "040904B0 key", utf16("040904B0")},
    {220, "CompanyName head", head(42, 5, 1)},
    {226, "CompanyName key", utf16("CompanyName", 2)},
    {252, "CompanyName value", utf16("MXLQ", 2)},
    {264, "ProductName head", head(42, 5, 1)},
    {270, "ProductName key", utf16("ProductName", 2)},
    {296, "ProductName value", utf16("zelk", 2)},
    {308, "FileVersion head", head(42, 5, 1)},
    {314, "FileVersion key", utf16("FileVersion", 2)},
    {340, "FileVersion value", utf16("1.00", 2)},
    {352, "ProductVersion head", head(46, 5, 1)},
    {358, "ProductVersion key", utf16("ProductVersion")},
    {388, "ProductVersion value", utf16("1.00", 2)},
    {400, "InternalName head", head(42, 5, 1)},
    {406, "InternalName key", utf16("InternalName")},
    {432, "InternalName value", utf16("zelk", 2)},
    {444, "OriginalFilename head", head(58, 9, 1)},
    {450, "OriginalFilename key", utf16("OriginalFilename")},
    {484, "OriginalFilename value", utf16("zelk.exe")},
};

TEST_F(VersionRecord, EveryByteIsAsListed) {
    std::size_t next = 0;
    for (const Piece& p : kPieces) {
        ASSERT_EQ(p.offset, next) << p.what << ": the list leaves a gap or overlaps";
        ASSERT_LE(p.offset + p.bytes.size(), stored_.bytes.size()) << p.what;
        const auto stored = stored_.bytes.subspan(p.offset, p.bytes.size());
        EXPECT_EQ(Bytes(stored.begin(), stored.end()), p.bytes) << p.what << " at " << p.offset;
        next = p.offset + p.bytes.size();
    }
    EXPECT_EQ(next, 502u) << "the list ends where the record does";
    EXPECT_EQ(stored_.bytes.size(), 502u);
}

// The registration data and the project header give the same version and
// file as the record: 1.0, "1.00" in the strings, and "zelk" + ".exe".
TEST_F(VersionRecord, MatchesTheRegistrationDataVersionAndTheHeadersExecutableName) {
    const auto version = at(symbol("registration") + 0x26, 4);
    EXPECT_EQ(std::vector<std::uint8_t>(version.begin(), version.end()), (std::vector<std::uint8_t>{1, 0, 0, 0}))
        << "major 1, minor 0";
    EXPECT_EQ(word(root_.value, 0x08), 0x00010000u) << "file version 1.0";
    EXPECT_EQ(word(root_.value, 0x0C), 0u) << "file version .0.0";
    EXPECT_EQ(word(root_.value, 0x10), 0x00010000u) << "product version 1.0";
    EXPECT_EQ(word(root_.value, 0x14), 0u) << "product version .0.0";
    const Block& table = child(child(root_, "StringFileInfo"), "040904B0");
    EXPECT_EQ(textOf(child(table, "FileVersion")), "1.00");
    EXPECT_EQ(textOf(child(table, "ProductVersion")), "1.00");

    const std::uint32_t header = image_symbols::kProjectHeader;
    EXPECT_EQ(u32At(header + 0x5C), 0x7Du) << "executable name offset";
    const auto name = at(header + 0x7D, 5);
    EXPECT_EQ(std::string(name.begin(), name.end()), std::string("zelk", 5));
    EXPECT_EQ(textOf(child(table, "OriginalFilename")), "zelk.exe");
}

}  // namespace
}  // namespace zelk::tests
