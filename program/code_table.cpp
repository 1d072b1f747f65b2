#include "program/code_table.h"

#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {
namespace {

using layout::Code;
using layout::codeAddress;

// Only the handlers' own places, exit points and clean-ups stand for native
// routines; the entries in front of the handlers are stored code the runtime
// follows.
const rt::CodeEntry kTable[] = {
    {codeAddress(Code::Command1Click), rt::HandlerRoutine(Command1_Click)},
    {codeAddress(Code::SlideExitPoint), rt::ResumePoint{}},
    {codeAddress(Code::SlideCommonCleanup), rt::CleanupRoutine(freeLoopPair)},
    {codeAddress(Code::SlideUnwindCleanup), rt::CleanupRoutine(slideUnwindCleanup)},
    {codeAddress(Code::Command2Click), rt::HandlerRoutine(Command2_Click)},
    {codeAddress(Code::GallopExitPoint), rt::ResumePoint{}},
    {codeAddress(Code::GallopCommonCleanup), rt::CleanupRoutine(freeLoopPair)},
    {codeAddress(Code::GallopUnwindCleanup), rt::CleanupRoutine(gallopUnwindCleanup)},
};

}  // namespace

std::span<const rt::CodeEntry> codeTable() { return kTable; }

}  // namespace zelk::program
