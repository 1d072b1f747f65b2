#include "program/code_table.h"

#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {
namespace {

using runtime_interface::CleanupRoutine;
using runtime_interface::CodeEntry;
using runtime_interface::HandlerRoutine;
using runtime_interface::ResumePoint;

// Only the handlers' bodies, exit points and clean-ups stand for native
// routines; the entries in front of the handlers are stored code the runtime
// follows.
const CodeEntry kTable[] = {
    {codeAddress(Code::Command1ClickBody), HandlerRoutine(Command1_Click)},
    {codeAddress(Code::SlideExitPoint), ResumePoint{}},
    {codeAddress(Code::SlideCommonCleanup), CleanupRoutine(freeLoopPair)},
    {codeAddress(Code::SlideUnwindCleanup), CleanupRoutine(slideUnwindCleanup)},
    {codeAddress(Code::Command2ClickBody), HandlerRoutine(Command2_Click)},
    {codeAddress(Code::GallopExitPoint), ResumePoint{}},
    {codeAddress(Code::GallopCommonCleanup), CleanupRoutine(freeLoopPair)},
    {codeAddress(Code::GallopUnwindCleanup), CleanupRoutine(gallopUnwindCleanup)},
};

}  // namespace

std::span<const CodeEntry> codeTable() { return kTable; }

}  // namespace zelk::program
