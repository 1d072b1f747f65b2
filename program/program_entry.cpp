#include "program/program_entry.h"

#include "program/image_layout.h"
#include "program/imports.h"

namespace zelk::program {

void programEntry() {
    imported<formats::Import::ThunRTMain>()(kProjectHeader);
    __builtin_unreachable();  // the runtime ends the process
}

}  // namespace zelk::program
