// The object temporaries a handler holds a control reference in.
#include "runtime_interface/vb_operations.h"

namespace zelk::vb {

// Takes over the reference the accessor returned. A reference the temporary
// still held is released first, even to the same control: each is one count.
ImageControlInterface* __vbaObjSet(ImageControlInterface** temporary, ImageControlInterface* reference) {
    if (ImageControlInterface* held = *temporary) held->Release();
    *temporary = reference;
    return reference;
}

void __vbaFreeObj(ImageControlInterface** temporary) {
    if (ImageControlInterface* held = *temporary) {
        *temporary = nullptr;
        held->Release();
    }
}

}  // namespace zelk::vb
