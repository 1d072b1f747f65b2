#include "formats/form_description.h"

#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace zelk::formats {
namespace {

constexpr PropertyFormat kPropertyFormats[] = {
    {kKindForm, property_code::kCaption, ValueShape::String, 0, "Caption"},
    {kKindForm, property_code::kOpaqueWord19, ValueShape::Fixed, 4, "form code 0x19"},
    {kKindForm, property_code::kFormPicture, ValueShape::Picture, 0, "Picture"},
    {kKindForm, property_code::kOpaqueWord23, ValueShape::Fixed, 4, "form code 0x23"},
    {kKindForm, property_code::kLinkTopic, ValueShape::String, 0, "LinkTopic"},
    {kKindForm, property_code::kClientRect, ValueShape::Fixed, 16, "client rectangle"},
    {kKindForm, property_code::kStartUpPosition, ValueShape::Fixed, 1, "StartUpPosition"},
    {kKindCommandButton, property_code::kCaption, ValueShape::String, 0, "Caption"},
    {kKindCommandButton, property_code::kButtonRect, ValueShape::Fixed, 8, "position"},
    {kKindCommandButton, property_code::kTabIndex, ValueShape::Fixed, 2, "TabIndex"},
    {kKindImage, property_code::kImagePicture, ValueShape::Picture, 0, "Picture"},
    {kKindImage, property_code::kImageRect, ValueShape::Fixed, 8, "position"},
    {kKindImage, property_code::kVisible, ValueShape::Fixed, 1, "Visible"},
    {kKindImage, property_code::kStretch, ValueShape::Fixed, 1, "Stretch"},
};

void putString(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> text) {
    if (text.size() > 0xFFFF)
        throw std::length_error("a string of " + std::to_string(text.size()) +
                                " bytes does not fit the 16-bit length of a stored string");
    appendU16(out, std::uint32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void writeObject(std::vector<std::uint8_t>& out, const ObjectData& object) {
    const std::size_t start = out.size();
    appendU32(out, 0);  // size, patched below
    out.push_back(object.index);
    putString(out, std::span(reinterpret_cast<const std::uint8_t*>(object.name.data()), object.name.size()));
    out.push_back(object.kind);
    for (const PropertyData& p : object.properties) {
        out.push_back(p.code);
        out.insert(out.end(), p.value.begin(), p.value.end());
    }
    out.push_back(kEndOfProperties);
    patchU32(out, start, std::uint32_t(out.size() - start));
}

// Size field, control index, an empty name (length and zero), kind code, 0xFF.
constexpr std::uint32_t kSmallestRecord = 10;

// Reads inside one record only: a length or value that runs past the record's
// size is reported there, naming the record, and not by some later check.
// Positions, as everywhere a reader reports, count from the record's first byte.
class RecordReader {
public:
    RecordReader(std::span<const std::uint8_t> record, std::size_t offset)
        : in_(record, offset), record_("the record at " + std::to_string(offset)) {}

    void name(const std::string& name, std::size_t offset, std::size_t size) {
        record_ = "record \"" + name + "\" (" + std::to_string(size) + " bytes at " + std::to_string(offset) + ")";
    }

    std::size_t position() const { return in_.position(); }
    std::size_t offset() const { return in_.offset(); }
    bool atEnd() const { return in_.atEnd(); }

    [[noreturn]] void fail(const std::string& check, std::size_t at) const { in_.fail(check + " in " + record_, at); }

    // `count` bytes; when fewer are left, "`what` runs past the end of" the
    // record, reported at `reportAt`.
    std::span<const std::uint8_t> bytes(std::size_t count, const std::string& what, std::size_t reportAt) {
        if (count > in_.remaining()) in_.fail(what + " runs past the end of " + record_, reportAt);
        return in_.bytes(count, what.c_str());
    }
    std::uint32_t number(std::size_t size, const char* what) {
        return std::uint32_t(littleEndian(bytes(size, what, position())));
    }
    std::uint8_t u8(const char* what) { return std::uint8_t(number(1, what)); }

    // A 16-bit length n, n bytes of text and a zero; the text's bytes.
    std::span<const std::uint8_t> string(const std::string& what) {
        const std::size_t lengthAt = position();
        const std::uint16_t n = std::uint16_t(number(2, what.c_str()));
        const auto stored = bytes(std::size_t(n) + 1, what + "'s length " + std::to_string(n), lengthAt);
        if (stored.back() != 0) fail(what + " is not NUL-terminated", position() - 1);
        return stored.first(n);
    }

private:
    ByteReader in_;
    std::string record_;
};

std::string hexByte(std::uint8_t v) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[v >> 4] + digits[v & 15];
}

// Positions within a record.
constexpr std::size_t kIndexAt = 4;

// The record at `at`; `expectedIndex` 0 is the form's, 1, 2, 3, ... its
// controls' in stored order. Index and kind are checked before any property.
ObjectView readObject(std::span<const std::uint8_t> description, std::size_t at, unsigned expectedIndex) {
    ObjectView object;
    object.offset = at;
    ByteReader head(description.subspan(at), at);
    object.size = head.u32("record size");
    if (object.size > description.size() - at) head.fail("record size runs past the end of the description", 0);
    if (object.size < kSmallestRecord) head.fail("record size is below the 10 bytes of a record's own fields", 0);

    RecordReader in(description.subspan(at, object.size), at);
    in.number(4, "record size");
    object.index = in.u8("control index");
    const auto name = in.string("name");
    object.name.assign(name.begin(), name.end());
    in.name(object.name, at, object.size);
    const std::size_t kindAt = in.position();
    object.kind = in.u8("kind code");
    if (expectedIndex == 0) {
        if (object.index != 0) in.fail("form's control index " + std::to_string(object.index) + " is not 0", kIndexAt);
        if (object.kind != kKindForm) in.fail("form's kind code " + hexByte(object.kind) + " is not 0x0D", kindAt);
    } else {
        if (object.index != expectedIndex)
            in.fail("control index " + std::to_string(object.index) + " is not " + std::to_string(expectedIndex) +
                        " (controls are numbered 1, 2, 3, ... in stored order)",
                    kIndexAt);
        if (object.kind != kKindCommandButton && object.kind != kKindImage)
            in.fail("control's kind code " + hexByte(object.kind) + " is neither 0x04 nor 0x18", kindAt);
    }

    int previousCode = -1;
    for (;;) {
        const std::size_t codeAt = in.position();
        const std::uint8_t c = in.u8("property code");
        if (c == kEndOfProperties) break;
        const PropertyFormat* format = findPropertyFormat(object.kind, c);
        if (!format) in.fail("unknown property code " + hexByte(c) + " for kind " + hexByte(object.kind), codeAt);
        if (int(c) <= previousCode)
            in.fail("property code " + hexByte(c) + " after " + hexByte(std::uint8_t(previousCode)) +
                        " (codes ascend, each at most once)",
                    codeAt);
        previousCode = c;

        PropertyView p{c, 0, {}};
        switch (format->shape) {
            case ValueShape::Fixed:
                p.offset = in.offset();
                p.value = in.bytes(format->size, format->name, in.position());
                break;
            case ValueShape::String:
                p.value = in.string(format->name);
                p.offset = in.offset() - p.value.size() - 1;
                break;
            case ValueShape::Picture: {
                const std::size_t frameAt = in.position();
                const std::uint32_t frame = in.number(4, "picture frame length");
                p.offset = in.offset();
                p.value =
                    in.bytes(frame, std::string(format->name) + "'s frame length " + std::to_string(frame), frameAt);
                break;
            }
        }
        object.properties.push_back(p);
    }
    if (!in.atEnd()) in.fail("record size disagrees with where its properties end", 0);
    return object;
}

}  // namespace

const PropertyFormat* findPropertyFormat(std::uint8_t kind, std::uint8_t c) {
    for (const PropertyFormat& f : kPropertyFormats)
        if (f.kind == kind && f.code == c) return &f;
    return nullptr;
}

std::vector<std::uint8_t> stringValue(std::span<const std::uint8_t> text) {
    std::vector<std::uint8_t> out;
    putString(out, text);
    return out;
}

std::vector<std::uint8_t> pictureValue(std::span<const std::uint8_t> record) {
    std::vector<std::uint8_t> out;
    out.reserve(4 + record.size());
    appendU32(out, std::uint32_t(record.size()));
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

std::vector<std::uint8_t> u8Value(std::uint8_t v) { return {v}; }

std::vector<std::uint8_t> u16Values(std::initializer_list<std::uint16_t> vs) {
    std::vector<std::uint8_t> out;
    for (auto v : vs) appendU16(out, v);
    return out;
}

std::vector<std::uint8_t> u32Values(std::initializer_list<std::uint32_t> vs) {
    std::vector<std::uint8_t> out;
    for (auto v : vs) appendU32(out, v);
    return out;
}

std::vector<std::uint8_t> writeFormDescription(const DescriptionData& data) {
    std::vector<std::uint8_t> out;
    appendU32(out, kDescriptionMagic);
    out.push_back(data.headerByte);
    for (const Guid& g : {data.formGuid, data.secondFormGuid, data.formEventInterface})
        out.insert(out.end(), g.bytes.begin(), g.bytes.end());
    out.resize(kDescriptionHeaderSize, 0);
    appendU32(out, 0);  // total size, patched below
    writeObject(out, data.form);
    // A form without controls has no children to begin or end: its record is
    // followed by the end of the form alone.
    if (!data.children.empty()) out.push_back(kChildrenBegin);
    for (std::size_t i = 0; i < data.children.size(); ++i) {
        writeObject(out, data.children[i]);
        out.push_back(i + 1 < data.children.size() ? kNextSibling : kChildrenEnd);
    }
    out.push_back(kEndOfForm);
    patchU32(out, kDescriptionHeaderSize, std::uint32_t(out.size() - kDescriptionHeaderSize));
    return out;
}

DescriptionView walkFormDescription(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    if (in.u32("description magic") != kDescriptionMagic) in.fail("description magic is not 0x0031CCFF", 0);
    in.skip(1, "header byte");
    DescriptionView view;
    view.formGuid = Guid::fromBytes(in.bytes(16, "form GUID").first<16>());
    in.skip(kDescriptionHeaderSize - in.position(), "header");
    const std::uint32_t totalSize = in.u32("total size");
    if (std::uint64_t(kDescriptionHeaderSize) + totalSize != bytes.size())
        in.fail("89 + total size differs from the description's length", kDescriptionHeaderSize);

    view.form = readObject(bytes, in.position(), 0);
    in.skip(view.form.size, "form's record");

    std::size_t markerAt = in.position();
    const std::uint8_t afterForm = in.u8("marker");
    if (afterForm == kChildrenBegin) {
        for (;;) {
            view.children.push_back(readObject(bytes, in.position(), unsigned(view.children.size() + 1)));
            in.skip(view.children.back().size, "control's record");
            markerAt = in.position();
            const std::uint8_t marker = in.u8("marker");
            if (marker == kChildrenEnd) break;
            if (marker != kNextSibling) in.fail("unknown marker after a child record", markerAt);
        }
        markerAt = in.position();
        if (in.u8("marker") != kEndOfForm) in.fail("expected marker 0x04 after 0x02", markerAt);
    } else if (afterForm != kEndOfForm) {
        in.fail("expected marker 0x01 or 0x04 after the form's record", markerAt);
    }
    if (!in.atEnd()) in.fail("bytes follow the end-of-form marker", in.position());
    return view;
}

const PropertyView* ObjectView::find(std::uint8_t c) const {
    for (const PropertyView& p : properties)
        if (p.code == c) return &p;
    return nullptr;
}

std::uint16_t valueU16(const PropertyView& p, std::size_t index) {
    return std::uint16_t(littleEndian(p.value.subspan(2 * index, 2)));
}

std::uint32_t valueU32(const PropertyView& p, std::size_t index) {
    return std::uint32_t(littleEndian(p.value.subspan(4 * index, 4)));
}

}  // namespace zelk::formats
