#include "program/form1_description.h"

#include "program/form1_identity.h"
#include "program/form1_layout.h"

#include <algorithm>
#include <span>

namespace zelk::form1 {
namespace {

using namespace zelk::form;

std::span<const std::uint8_t> textBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::uint16_t u16(std::int16_t v) { return std::uint16_t(v); }

ObjectData button(const ButtonLayout& b) {
    return {b.index, std::string(b.name), kKindCommandButton,
            {
                {code::kCaption, stringValue(textBytes(b.caption))},
                {code::kButtonRect, u16Values({u16(b.left), u16(b.top), u16(b.width), u16(b.height)})},
                {code::kTabIndex, u16Values({u16(b.tabIndex)})},
            }};
}

ObjectData image(const ImageLayout& img, const PictureRecords& pictures) {
    ObjectData object{img.index, std::string(img.name), kKindImage,
                      {
                          {code::kImagePicture, pictureValue(pictures.poses.at(img.pose - 1))},
                          {code::kImageRect, u16Values({u16(img.left), u16(img.top), u16(img.width), u16(img.height)})},
                      }};
    if (img.visible) object.properties.push_back({code::kVisible, u8Value(*img.visible ? 0xFF : 0x00)});
    object.properties.push_back({code::kStretch, u8Value(img.stretch ? 0xFF : 0x00)});
    return object;
}

void copyGuid(const vb::Guid& g, std::uint8_t (&out)[16]) {
    const std::uint8_t bytes[16] = {
        std::uint8_t(g.data1), std::uint8_t(g.data1 >> 8), std::uint8_t(g.data1 >> 16), std::uint8_t(g.data1 >> 24),
        std::uint8_t(g.data2), std::uint8_t(g.data2 >> 8), std::uint8_t(g.data3), std::uint8_t(g.data3 >> 8),
        g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]};
    std::copy(std::begin(bytes), std::end(bytes), std::begin(out));
}

}  // namespace

DescriptionData describeForm1(const PictureRecords& pictures) {
    DescriptionData d{};
    d.headerByte = 5;
    copyGuid(kFormGuid, d.formGuid);
    copyGuid(kSecondFormGuid, d.secondFormGuid);
    copyGuid(kFormEventInterface, d.formEventInterface);
    d.form = {0, std::string(kForm.name), kKindForm,
              {
                  {code::kCaption, stringValue(textBytes(kForm.caption))},
                  {code::kOpaqueWord19, u32Values({kForm.opaqueWord19})},
                  {code::kFormPicture, pictureValue(pictures.scene)},
                  {code::kOpaqueWord23, u32Values({std::uint32_t(kForm.opaqueWord23)})},
                  {code::kLinkTopic, stringValue(textBytes(kForm.linkTopic))},
                  {code::kClientRect, u32Values({std::uint32_t(kForm.clientLeft), std::uint32_t(kForm.clientTop),
                                                 std::uint32_t(kForm.clientWidth), std::uint32_t(kForm.clientHeight)})},
                  {code::kStartUpPosition, u8Value(kForm.startUpPosition)},
              }};
    d.children = {button(kCommand2), button(kCommand1), image(kImg3, pictures), image(kImg2, pictures),
                  image(kImg1, pictures)};
    return d;
}

}  // namespace zelk::form1
