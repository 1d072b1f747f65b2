// The object temporaries a handler holds a control reference in.
#include "runtime/exports.h"

namespace zelk::runtime {

// Takes over the reference the accessor returned. A reference the temporary
// still held is released first, even to the same control: each is one count.
runtime_interface::ImageControlInterface* __vbaObjSet(runtime_interface::ImageControlInterface** temporary,
                                                      runtime_interface::ImageControlInterface* reference) {
    if (runtime_interface::ImageControlInterface* held = *temporary) held->Release();
    *temporary = reference;
    return reference;
}

void __vbaFreeObj(runtime_interface::ImageControlInterface** temporary) {
    if (runtime_interface::ImageControlInterface* held = *temporary) {
        *temporary = nullptr;
        held->Release();
    }
}

}  // namespace zelk::runtime
