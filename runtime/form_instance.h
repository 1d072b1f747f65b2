#pragma once

// A form the runtime has created from its records: the form object the
// program's code works on, its controls as the description gives them, and
// the road from a control's event to the program's entry.

#include "formats/picture_record.h"
#include "runtime_interface/form_interface.h"
#include "runtime/entry_road.h"
#include "runtime/image_control.h"
#include "runtime/process.h"
#include "runtime/project_walk.h"
#include "formats/form_description.h"

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace zelk::runtime {

struct ButtonControl {
    std::string name;
    std::int32_t index;
    std::string caption;  // UTF-8
    PixelRect box;
    std::int32_t tabIndex;
};

class FormInstance {
public:
    // Decodes the controls and pictures; throws FormatError or BadDescriptor.
    FormInstance(Process& process, const FormBinding& binding, const formats::DescriptionView& description);
    ~FormInstance();
    FormInstance(const FormInstance&) = delete;
    FormInstance& operator=(const FormInstance&) = delete;

    void* object() const { return object_; }
    std::size_t objectSize() const { return objectSize_; }
    static constexpr std::align_val_t kObjectAlignment{alignof(std::max_align_t)};
    std::uint32_t referenceCount() const { return state().referenceCount; }

    const std::string& caption() const { return caption_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    const formats::BitmapRows& background() const { return background_; }
    const std::vector<ButtonControl>& buttons() const { return buttons_; }
    // In description order, which the walk holds to be control-index order:
    // the order the form's accessors serve them in.
    const std::vector<std::unique_ptr<ImageControl>>& images() const { return images_; }

    // Delivers event `slot` of the control with this index (-1: the form) to
    // its sink; an unbound slot reaches no code. Returns the entry's status.
    std::int32_t fireEvent(std::int32_t controlIndex, int slot);

    // Calls method `index` of the form's method table with `formReference`:
    // the form's object, or a stand-in that a test or benchmark lays out like it.
    // Returns the handler's status; throws std::out_of_range for no such method.
    std::int32_t callMethod(std::size_t index, std::uintptr_t formReference);

    static FormInstance& owner(void* formObject);

private:
    runtime_interface::FormRuntimeState& state() const;
    void buildObject();
    template <int Slot>
    static runtime_interface::ImageControlInterface* imageAccessor(void* form);

    // The roads start-up followed from the stored entries. A click or method
    // call goes along them and never reads the entries again.
    struct BoundEvent {
        std::int32_t controlIndex;
        int slot;
        std::uint32_t sinkOffset;
        EntryRoad road;
    };

    Process& process_;
    const FormBinding& binding_;
    std::vector<BoundEvent> boundEvents_;
    std::vector<EntryRoad> methods_;
    std::string caption_;
    int clientWidth_ = 0, clientHeight_ = 0;
    formats::BitmapRows background_;
    std::vector<ButtonControl> buttons_;
    std::vector<std::unique_ptr<ImageControl>> images_;
    runtime_interface::FormInterface interface_{};
    void* object_ = nullptr;
    std::size_t objectSize_ = 0;
};

}  // namespace zelk::runtime
