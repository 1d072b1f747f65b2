// Program entry: hand the project descriptor to the runtime, which never returns.
#include "image_symbols.h"
#include "runtime/vb_operations.h"

int main() { zelk::vb::ThunRTMain(zelk::image_symbols::kProjectHeader); }
