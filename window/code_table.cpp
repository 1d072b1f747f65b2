#include "code_table.h"

#include "app/image_layout.h"
#include "click_handlers.h"
#include "form1.h"
#include "handler_frame.h"

#include <array>

namespace zelk::program {
namespace {

using layout::Code;
using layout::codeAddress;

// Event entries: the sink's address less (its place in the form - 1) is the
// form's address with the entered-as-event mark.
template <form1::ControlEntry Sink, rt::EntryRoutine Method>
std::int32_t eventEntry(std::uintptr_t sink) {
    return Method(sink - (form1::sinkOffset(Sink) - 1));
}

std::int32_t command1Method(std::uintptr_t form) { return Command1_Click(form); }
std::int32_t command2Method(std::uintptr_t form) { return Command2_Click(form); }

constexpr std::size_t kRoutines = 12;

const std::array<rt::CodeEntry, kRoutines + rt::kImportCount> kTable = [] {
    std::array<rt::CodeEntry, kRoutines + rt::kImportCount> table{{
        {codeAddress(Code::Command1ClickEvent), rt::EntryRoutine(eventEntry<form1::kEntryCommand1, command1Method>)},
        {codeAddress(Code::Command1ClickMethod), rt::EntryRoutine(command1Method)},
        {codeAddress(Code::Command2ClickEvent), rt::EntryRoutine(eventEntry<form1::kEntryCommand2, command2Method>)},
        {codeAddress(Code::Command2ClickMethod), rt::EntryRoutine(command2Method)},
        {codeAddress(Code::Command1Click), rt::EntryRoutine(Command1_Click)},
        {codeAddress(Code::SlideExitPoint), rt::ResumePoint{}},
        {codeAddress(Code::SlideCommonCleanup), rt::CleanupRoutine(freeLoopPair)},
        {codeAddress(Code::SlideUnwindCleanup), rt::CleanupRoutine(slideUnwindCleanup)},
        {codeAddress(Code::Command2Click), rt::EntryRoutine(Command2_Click)},
        {codeAddress(Code::GallopExitPoint), rt::ResumePoint{}},
        {codeAddress(Code::GallopCommonCleanup), rt::CleanupRoutine(freeLoopPair)},
        {codeAddress(Code::GallopUnwindCleanup), rt::CleanupRoutine(gallopUnwindCleanup)},
    }};
    for (int i = 0; i < rt::kImportCount; ++i)
        table[kRoutines + i] = {layout::thunk(rt::Import(i)), rt::ImportJump{i}};
    return table;
}();

}  // namespace

std::span<const rt::CodeEntry> codeTable() { return kTable; }

}  // namespace zelk::program
