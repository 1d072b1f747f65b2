#include "program/records/form1_description.h"

#include "program/records/form1_identity.h"
#include "program/records/form1_layout.h"

#include <algorithm>
#include <span>

namespace zelk::program::records {
namespace {

using namespace zelk::formats;

std::span<const std::uint8_t> textBytes(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::uint16_t u16(std::int16_t v) { return std::uint16_t(v); }

ObjectData button(const ButtonLayout& b) {
    return {b.index,
            std::string(b.name),
            kKindCommandButton,
            {
                {property_code::kCaption, stringValue(textBytes(b.caption))},
                {property_code::kButtonRect, u16Values({u16(b.left), u16(b.top), u16(b.width), u16(b.height)})},
                {property_code::kTabIndex, u16Values({u16(b.tabIndex)})},
            }};
}

ObjectData image(const ImageLayout& layout, const PictureRecords& pictures) {
    ObjectData object{layout.index,
                      std::string(layout.name),
                      kKindImage,
                      {
                          {property_code::kImagePicture, pictureValue(pictures.poses.at(layout.pose - 1))},
                          {property_code::kImageRect,
                           u16Values({u16(layout.left), u16(layout.top), u16(layout.width), u16(layout.height)})},
                      }};
    if (layout.visible) object.properties.push_back({property_code::kVisible, u8Value(*layout.visible ? 0xFF : 0x00)});
    object.properties.push_back({property_code::kStretch, u8Value(layout.stretch ? 0xFF : 0x00)});
    return object;
}

}  // namespace

DescriptionData describeForm1(const PictureRecords& pictures) {
    DescriptionData d{};
    d.headerByte = 5;
    d.formGuid = kFormGuid;
    d.secondFormGuid = kSecondFormGuid;
    d.formEventInterface = kFormEventInterface;
    d.form = {0,
              std::string(kForm.name),
              kKindForm,
              {
                  {property_code::kCaption, stringValue(textBytes(kForm.caption))},
                  {property_code::kOpaqueWord19, u32Values({kForm.opaqueWord19})},
                  {property_code::kFormPicture, pictureValue(pictures.scene)},
                  {property_code::kOpaqueWord23, u32Values({std::uint32_t(kForm.opaqueWord23)})},
                  {property_code::kLinkTopic, stringValue(textBytes(kForm.linkTopic))},
                  {property_code::kClientRect,
                   u32Values({std::uint32_t(kForm.clientLeft),
                              std::uint32_t(kForm.clientTop),
                              std::uint32_t(kForm.clientWidth),
                              std::uint32_t(kForm.clientHeight)})},
                  {property_code::kStartUpPosition, u8Value(kForm.startUpPosition)},
              }};
    d.children = {
        button(kCommand2), button(kCommand1), image(kImg3, pictures), image(kImg2, pictures), image(kImg1, pictures)};
    return d;
}

}  // namespace zelk::program::records
