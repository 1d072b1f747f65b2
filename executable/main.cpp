// What the system's loader does before the program runs (map the module, bind
// its imports), then the program entry, which never returns.
#include "executable/executable_module.h"
#include "program/program_entry.h"
#include "runtime/loader.h"

int main() {
    zelk::runtime::loadExecutable(zelk::executable::loadedModule());
    zelk::program::programEntry();
}
