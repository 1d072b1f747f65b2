// The object temporaries a handler holds a control reference in.
#include "runtime_interface/vb_operations.h"

namespace zelk::vb {

// Takes over the reference the accessor returned; a reference the temporary
// still held is released first.
ImageControlInterface* __vbaObjSet(ImageControlInterface** temporary, ImageControlInterface* reference) {
    if (*temporary && *temporary != reference) (*temporary)->Release();
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
