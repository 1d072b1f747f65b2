#include "runtime/form_instance.h"

#include "formats/format_error.h"
#include "formats/picture_record.h"
#include "runtime/code_page_1251.h"
#include "runtime/run_time_errors.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace zelk::runtime {
namespace {

using runtime_interface::FormInterface;
using runtime_interface::FormRuntimeState;
using runtime_interface::ImageControlInterface;
using runtime_interface::kMaxImageAccessors;

using namespace zelk::formats;

// A property the record does not store takes its default: an empty caption,
// position and size 0.
std::string captionOf(const ObjectView& object) {
    const PropertyView* p = object.find(property_code::kCaption);
    return p ? decodeCodePage1251(p->value) : std::string();
}

// Checked now; the window decodes the rows when it needs them.
BitmapRows picture(const PropertyView* p) { return p ? readBitmapRows(p->value, p->offset) : BitmapRows{}; }

bool flag(const ObjectView& object, std::uint8_t c, bool byDefault) {
    const PropertyView* p = object.find(c);
    return p ? p->value[0] != 0 : byDefault;
}

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

TwipsRect position(const ObjectView& object, std::uint8_t c) {
    const PropertyView* p = object.find(c);
    if (!p) return {};
    const auto twips = [p](std::size_t i) { return double(std::int16_t(valueU16(*p, i))); };
    return {twips(0), twips(1), twips(2), twips(3)};
}

PixelRect pixelRect(const TwipsRect& r) {
    const int x = twipsToPixels(r.left), y = twipsToPixels(r.top);
    return {x, y, twipsToPixels(r.left + r.width) - x, twipsToPixels(r.top + r.height) - y};
}

// The runtime's state sits right after the interface table pointer.
FormRuntimeState& runtimeStateOf(void* form) {
    return *reinterpret_cast<FormRuntimeState*>(static_cast<char*>(form) + sizeof(void*));
}

std::int32_t formQueryInterface(void* form, const Guid*, void** out) {
    if (!out) return kInvalidPointerStatus;
    *out = form;
    return 0;
}
std::uint32_t formAddRef(void* form) { return ++runtimeStateOf(form).referenceCount; }
std::uint32_t formRelease(void* form) { return --runtimeStateOf(form).referenceCount; }

// Slots of the runtime's own form operations; the program never calls them
// and this runtime needs them for nothing.
void formShow(void*) {}
void formUnload(void*) {}

}  // namespace

template <int Slot>
ImageControlInterface* FormInstance::imageAccessor(void* form) {
    FormInstance& self = owner(form);
    ImageControl* control = self.images_.at(Slot).get();
    control->AddRef();
    return control;
}

FormInstance& FormInstance::owner(void* formObject) {
    return *static_cast<FormInstance*>(runtimeStateOf(formObject).owner);
}

FormRuntimeState& FormInstance::state() const { return runtimeStateOf(object_); }

FormInstance::FormInstance(Process& process, const FormBinding& binding, const DescriptionView& description)
    : process_(process), binding_(binding) {
    if (description.formGuid != binding.formGuid)
        throw BadDescriptor("form description's GUID differs from the GUI table entry's");

    const ObjectView& form = description.form;
    caption_ = captionOf(form);
    background_ = picture(form.find(property_code::kFormPicture));

    for (const ObjectView& child : description.children) {
        if (!binding.control(child.index))
            throw FormatError(child.name + " has no entry in the control table", child.offset);
        if (child.kind == kKindCommandButton) {
            const PropertyView* tab = child.find(property_code::kTabIndex);
            buttons_.push_back({child.name,
                                child.index,
                                captionOf(child),
                                pixelRect(position(child, property_code::kButtonRect)),
                                tab ? std::int32_t(valueU16(*tab, 0)) : 0});
        } else if (child.kind == kKindImage) {
            const TwipsRect rect = position(child, property_code::kImageRect);
            const PropertyView* stored = child.find(property_code::kImagePicture);
            images_.push_back(
                std::make_unique<ImageControl>(child.name,
                                               child.index,
                                               picture(stored),
                                               ImageControl::Placement{rect.left,
                                                                       rect.top,
                                                                       rect.width,
                                                                       rect.height,
                                                                       flag(child, property_code::kVisible, true),
                                                                       flag(child, property_code::kStretch, false)}));
        }
    }

    const auto usableClientSize = [this] {
        return clientWidth_ > 0 && clientHeight_ > 0 && clientWidth_ <= 8192 && clientHeight_ <= 8192;
    };
    if (const PropertyView* client = form.find(property_code::kClientRect)) {
        clientWidth_ = twipsToPixels(std::int32_t(valueU32(*client, 2)));
        clientHeight_ = twipsToPixels(std::int32_t(valueU32(*client, 3)));
        if (!usableClientSize()) throw FormatError("client size out of range", client->offset);
    } else {
        // Without a stored size the window shows all it holds: the whole
        // background and every control where the description puts it.
        clientWidth_ = background_.width;
        clientHeight_ = background_.height;
        auto include = [this](const PixelRect& r) {
            clientWidth_ = std::max(clientWidth_, r.x + r.width);
            clientHeight_ = std::max(clientHeight_, r.y + r.height);
        };
        for (const ButtonControl& b : buttons_) include(b.box);
        for (const auto& image : images_) include(image->box());
        if (!usableClientSize())
            throw FormatError("the form stores no client size and what it holds gives no usable one", form.offset);
    }
    // Every stored entry must lead to a handler before the first click can.
    const auto follow = [&process](std::uint32_t entry, const std::string& whose) {
        try {
            return process.followEntry(entry);
        } catch (const BadDescriptor& e) {
            throw BadDescriptor(whose + ": " + e.what());
        } catch (const BadAddress& e) {
            throw BadAddress(whose + ": " + e.what());
        }
    };
    for (const ControlBinding& c : binding.controls)
        for (int slot = 0; slot < c.eventSlots; ++slot)
            if (const std::uint32_t entry = eventEntry(process.space(), c, slot))
                boundEvents_.push_back(
                    {c.index, slot, c.sinkOffset, follow(entry, c.name + " event slot " + std::to_string(slot))});
    for (std::size_t i = 0; i < binding.methods.size(); ++i)
        methods_.push_back(follow(binding.methods[i], "method " + std::to_string(i)));
    if (images_.size() > std::size_t(kMaxImageAccessors))
        throw BadDescriptor("more image controls than the form's interface can serve");
    buildObject();
}

FormInstance::~FormInstance() { ::operator delete(object_, kObjectAlignment); }

void FormInstance::buildObject() {
    interface_.QueryInterface = formQueryInterface;
    interface_.AddRef = formAddRef;
    interface_.Release = formRelease;
    interface_.runtimeOperations[0] = formShow;
    interface_.runtimeOperations[1] = formUnload;
    const auto setAccessors = [this]<std::size_t... Slots>(std::index_sequence<Slots...>) {
        ((interface_.imageAccessors[Slots] = Slots < images_.size() ? &imageAccessor<int(Slots)> : nullptr), ...);
    };
    setAccessors(std::make_index_sequence<kMaxImageAccessors>{});

    const std::size_t header = sizeof(void*) + sizeof(FormRuntimeState);
    for (const ControlBinding& c : binding_.controls)
        if (c.sinkOffset < header) throw BadDescriptor("sink of " + c.name + " overlaps the runtime's state");
    // The records give where the last sink ends, not the object's size; the
    // program's struct may have tail padding up to its alignment, which is at
    // most the largest fundamental one.
    const std::size_t alignment = std::size_t(kObjectAlignment);
    objectSize_ = (std::max<std::size_t>(binding_.objectSize(), header) + alignment - 1) / alignment * alignment;
    object_ = ::operator new(objectSize_, kObjectAlignment);
    std::memset(object_, 0, objectSize_);
    const FormInterface* table = &interface_;
    std::memcpy(object_, &table, sizeof table);
    new (&state()) FormRuntimeState{this, 1, 0};
    for (const ControlBinding& c : binding_.controls) {
        const std::uint32_t tag = std::uint32_t(c.index);  // which control the sink serves
        std::memcpy(static_cast<char*>(object_) + c.sinkOffset, &tag, sizeof tag);
    }
}

std::int32_t FormInstance::fireEvent(std::int32_t controlIndex, int slot) {
    for (const BoundEvent& e : boundEvents_)
        if (e.controlIndex == controlIndex && e.slot == slot)
            return process_.enterHandler(e.road, reinterpret_cast<std::uintptr_t>(object_) + e.sinkOffset);
    return 0;
}

std::int32_t FormInstance::callMethod(std::size_t index, std::uintptr_t formReference) {
    return process_.enterHandler(methods_.at(index), formReference);
}

}  // namespace zelk::runtime
