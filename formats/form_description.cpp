#include "formats/form_description.h"

#include "formats/byte_reader.h"
#include "formats/byte_writer.h"

#include <iterator>

namespace zelk::form {
namespace {

constexpr PropertyFormat kPropertyFormats[] = {
    {kKindForm, code::kCaption, ValueShape::String, 0, "Caption"},
    {kKindForm, code::kFormCode19, ValueShape::Fixed, 4, "form code 0x19"},
    {kKindForm, code::kFormPicture, ValueShape::Picture, 0, "Picture"},
    {kKindForm, code::kFormCode23, ValueShape::Fixed, 4, "form code 0x23"},
    {kKindForm, code::kLinkTopic, ValueShape::String, 0, "LinkTopic"},
    {kKindForm, code::kClientRect, ValueShape::Fixed, 16, "client rectangle"},
    {kKindForm, code::kStartUpPosition, ValueShape::Fixed, 1, "StartUpPosition"},
    {kKindCommandButton, code::kCaption, ValueShape::String, 0, "Caption"},
    {kKindCommandButton, code::kButtonRect, ValueShape::Fixed, 8, "position"},
    {kKindCommandButton, code::kTabIndex, ValueShape::Fixed, 2, "TabIndex"},
    {kKindImage, code::kImagePicture, ValueShape::Picture, 0, "Picture"},
    {kKindImage, code::kImageRect, ValueShape::Fixed, 8, "position"},
    {kKindImage, code::kVisible, ValueShape::Fixed, 1, "Visible"},
    {kKindImage, code::kStretch, ValueShape::Fixed, 1, "Stretch"},
};

void putString(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> text) {
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
    const std::uint32_t size = std::uint32_t(out.size() - start);
    for (int i = 0; i < 4; ++i) out[start + i] = std::uint8_t(size >> (8 * i));
}

std::string readName(ByteReader& in) {
    const std::uint16_t n = in.u16("name length");
    auto text = in.bytes(n, "name");
    if (in.u8("name terminator") != 0) in.fail("name is not NUL-terminated", in.position() - 1);
    return std::string(text.begin(), text.end());
}

ObjectView readObject(ByteReader& in, std::size_t descriptionSize) {
    ObjectView object;
    object.offset = in.position();
    object.size = in.u32("record size");
    if (object.size > descriptionSize - object.offset)
        in.fail("record size runs past the end of the description", object.offset);
    object.index = in.u8("control index");
    object.name = readName(in);
    object.kind = in.u8("kind code");
    if (object.kind != kKindForm && object.kind != kKindCommandButton && object.kind != kKindImage)
        in.fail("unknown kind code", in.position() - 1);

    int previousCode = -1;
    for (;;) {
        const std::size_t codeAt = in.position();
        const std::uint8_t c = in.u8("property code");
        if (c == kEndOfProperties) break;
        const PropertyFormat* format = findPropertyFormat(object.kind, c);
        if (!format) in.fail("unknown property code for this kind", codeAt);
        if (int(c) <= previousCode) in.fail("property codes out of ascending order", codeAt);
        previousCode = c;

        PropertyView p{c, 0, {}};
        switch (format->shape) {
            case ValueShape::Fixed:
                p.offset = in.position();
                p.value = in.bytes(format->size, format->name);
                break;
            case ValueShape::String: {
                const std::uint16_t n = in.u16("string length");
                p.offset = in.position();
                p.value = in.bytes(n, "string");
                if (in.u8("string terminator") != 0) in.fail("string is not NUL-terminated", in.position() - 1);
                break;
            }
            case ValueShape::Picture: {
                const std::uint32_t frame = in.u32("picture frame length");
                p.offset = in.position();
                p.value = in.bytes(frame, "picture frame");
                break;
            }
        }
        object.properties.push_back(p);
    }
    if (in.position() != object.offset + object.size)
        in.fail("record size disagrees with where its properties end", object.offset);
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
    out.insert(out.end(), std::begin(data.formGuid), std::end(data.formGuid));
    out.insert(out.end(), std::begin(data.secondFormGuid), std::end(data.secondFormGuid));
    out.insert(out.end(), std::begin(data.formEventInterface), std::end(data.formEventInterface));
    out.resize(kHeaderSize, 0);
    appendU32(out, 0);  // total size, patched below
    writeObject(out, data.form);
    out.push_back(kChildrenBegin);
    for (std::size_t i = 0; i < data.children.size(); ++i) {
        writeObject(out, data.children[i]);
        out.push_back(i + 1 < data.children.size() ? kNextSibling : kChildrenEnd);
    }
    out.push_back(kEndOfForm);
    const std::uint32_t total = std::uint32_t(out.size() - kHeaderSize);
    for (int i = 0; i < 4; ++i) out[kHeaderSize + i] = std::uint8_t(total >> (8 * i));
    return out;
}

DescriptionView walkFormDescription(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    if (in.u32("description magic") != kDescriptionMagic) in.fail("description magic is not 0x0031CCFF", 0);
    in.skip(1, "header byte");
    DescriptionView view;
    view.formGuid = in.bytes(16, "form GUID");
    in.skip(kHeaderSize - in.position(), "header");
    view.totalSize = in.u32("total size");
    if (std::uint64_t(kHeaderSize) + view.totalSize != bytes.size())
        in.fail("89 + total size differs from the description's length", kHeaderSize);

    view.form = readObject(in, bytes.size());
    if (view.form.index != 0 || view.form.kind != kKindForm)
        in.fail("first record is not the form (index 0, kind 0x0D)", view.form.offset);

    std::size_t markerAt = in.position();
    if (in.u8("marker") != kChildrenBegin) in.fail("expected marker 0x01 after the form's record", markerAt);
    for (;;) {
        view.children.push_back(readObject(in, bytes.size()));
        if (view.children.back().kind == kKindForm)
            in.fail("a control record has the form's kind code", view.children.back().offset);
        markerAt = in.position();
        const std::uint8_t marker = in.u8("marker");
        if (marker == kChildrenEnd) break;
        if (marker != kNextSibling) in.fail("unknown marker after a child record", markerAt);
    }
    markerAt = in.position();
    if (in.u8("marker") != kEndOfForm) in.fail("expected marker 0x04 after 0x02", markerAt);
    if (!in.atEnd()) in.fail("bytes follow the end-of-form marker", in.position());
    return view;
}

const PropertyView* ObjectView::find(std::uint8_t c) const {
    for (const PropertyView& p : properties)
        if (p.code == c) return &p;
    return nullptr;
}

std::uint16_t valueU16(const PropertyView& p, std::size_t index) {
    return std::uint16_t(p.value[2 * index] | (p.value[2 * index + 1] << 8));
}

std::uint32_t valueU32(const PropertyView& p, std::size_t index) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(p.value[4 * index + i]) << (8 * i);
    return v;
}

}  // namespace zelk::form
