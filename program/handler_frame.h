#pragma once

// What every click handler shares: its frame, its temporaries, and the steps
// the sequences are made of. The steps work on the handler's own temporaries,
// so the clean-ups named by its procedure descriptor can free what they hold.

#include "program/form1.h"
#include "program/imports.h"
#include "runtime_interface/exception_chain.h"
#include "runtime_interface/raised_error.h"

#include <cstdint>

namespace zelk::program {

using formats::Import;
using runtime_interface::HandlerFrameRecord;
using runtime_interface::ImageControlInterface;
using runtime_interface::integer16Variant;
using runtime_interface::kImageControlInterfaceId;
using runtime_interface::kLeftSlot;
using runtime_interface::kVisibleSlot;
using runtime_interface::RaisedError;
using runtime_interface::Variant;

struct HandlerLocals {
    HandlerFrameRecord frame;
    Form1* form;
    ImageControlInterface* objectTemporary;
    Variant startConstant, endConstant, stepConstant;  // what the step loop is given
    Variant hiddenEnd, hiddenStep;                     // where the runtime keeps the loop going
};

// The gallop's frame also holds the sum that places the second and third pose.
struct GallopLocals : HandlerLocals {
    Variant sum;  // MovePos + 100 or + 200, held only for one put
};

// The clean-ups a handler's procedure descriptor names.
struct HandlerCleanups {
    void (*common)(void* locals);
    void (*unwind)(void* locals);
};

// Entry steps: registration, mark into the result slot, form reference, AddRef,
// every temporary empty.
void enterHandler(HandlerLocals& locals, std::uintptr_t argument, std::uint32_t procedureDescriptor);

// From the exit point: the common clean-up, Release, registration off.
std::int32_t leaveHandler(HandlerLocals& locals, const HandlerCleanups& cleanups);

// Offers a raised error to the thread's registrations, newest first; true when
// one has run the clean-ups and resumes the handler at its exit point.
bool offerToRegistrations(const RaisedError& error);

// An error that no registration took, or one that is no run-time error, still
// leaves through the frame: clean-ups run, the form is released and the
// registration taken off before the error goes on to the caller.
void abandonFrame(HandlerLocals& locals, const HandlerCleanups& cleanups);

// Runs the body. A raised error never comes back into it: the registration's
// handler runs the clean-ups and resumes here, at the exit point.
template <class Body>
void runBody(HandlerLocals& locals, const HandlerCleanups& cleanups, Body&& body) {
    try {
        try {
            body();
            locals.frame.result = 0;
        } catch (const RaisedError& error) {
            if (offerToRegistrations(error)) return;
            throw;
        }
    } catch (...) {
        abandonFrame(locals, cleanups);
        throw;
    }
}

inline ImageControlInterface* takeControl(HandlerLocals& locals, PictureAccessor picture) {
    return imported<Import::__vbaObjSet>()(&locals.objectTemporary,
                                           locals.form->interfaceTable->imageAccessors[picture](locals.form));
}

inline void checkStatus(std::int32_t status, ImageControlInterface* control, std::int32_t slot) {
    if (status < 0) imported<Import::__vbaHresultCheckObj>()(status, control, &kImageControlInterfaceId, slot);
}

inline void SetImgVisible(HandlerLocals& locals, PictureAccessor picture, std::int16_t flag) {
    ImageControlInterface* control = takeControl(locals, picture);
    checkStatus(control->putVisible(flag), control, kVisibleSlot);
    imported<Import::__vbaFreeObj>()(&locals.objectTemporary);
}

// `value` is obtained only once the control is held, as the gallop forms its sum there.
template <class Value>
void SetImgLeft(HandlerLocals& locals, PictureAccessor picture, Value&& value) {
    ImageControlInterface* control = takeControl(locals, picture);
    const float twips = imported<Import::__vbaR4Var>()(value());
    checkStatus(control->putLeft(twips), control, kLeftSlot);
    imported<Import::__vbaFreeObj>()(&locals.objectTemporary);
}

// How far each pause counts: a gallop's pose stands 2.5 times as long as a
// slide's step.
inline constexpr std::int32_t kSlidePause = 20000000;
inline constexpr std::int32_t kGallopPause = 50000000;

// Counts PauseCount in the form from 1 to limit + 1. Every pass reads the
// field and writes it back, so the pause cannot be folded away.
inline void BusyPause(Form1* form, std::int32_t limit) {
    volatile std::int32_t& count = form->PauseCount;
    count = 1;
    for (;;) {
        const std::int32_t current = count;
        if (current > limit) return;
        std::int32_t next;
        if (__builtin_add_overflow(current, 1, &next)) imported<Import::__vbaErrorOverflow>()();
        count = next;
    }
}

inline constexpr std::int16_t kLoopStart = 0, kLoopEnd = 8000, kLoopStep = 400;

// Runs `body` with MovePos = 0, 400, ..., 8000.
template <class Body>
void stepLoop(HandlerLocals& locals, Body&& body) {
    locals.startConstant = integer16Variant(kLoopStart);
    locals.endConstant = integer16Variant(kLoopEnd);
    locals.stepConstant = integer16Variant(kLoopStep);
    Variant* movePos = &locals.form->MovePos;
    if (!imported<Import::__vbaVarForInit>()(movePos,
                                             &locals.hiddenEnd,
                                             &locals.hiddenStep,
                                             &locals.startConstant,
                                             &locals.endConstant,
                                             &locals.stepConstant))
        return;
    do body();
    while (imported<Import::__vbaVarForNext>()(movePos, &locals.hiddenEnd, &locals.hiddenStep));
}

// Common clean-up of both handlers: the hidden loop pair.
void freeLoopPair(void* locals);

}  // namespace zelk::program
