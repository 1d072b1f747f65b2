#include "program/handler_frame.h"

namespace zelk::program {

void enterHandler(HandlerLocals& locals, std::uintptr_t argument, std::uint32_t procedureDescriptor) {
    locals.frame.previous = runtime_interface::registrationHead;
    locals.frame.handler = imported<Import::__vbaExceptHandler>();
    locals.frame.stackPosition = &locals;
    locals.frame.procedureDescriptor = procedureDescriptor;
    runtime_interface::registrationHead = &locals.frame;

    locals.frame.result = std::int32_t(argument & 1);
    locals.form = reinterpret_cast<Form1*>(argument & ~std::uintptr_t(1));
    locals.form->interfaceTable->AddRef(locals.form);

    locals.objectTemporary = nullptr;
    for (runtime_interface::Variant* v :
         {&locals.startConstant, &locals.endConstant, &locals.stepConstant, &locals.hiddenEnd, &locals.hiddenStep})
        *v = runtime_interface::Variant{};
}

std::int32_t leaveHandler(HandlerLocals& locals, const HandlerCleanups& cleanups) {
    cleanups.common(&locals);
    locals.form->interfaceTable->Release(locals.form);
    runtime_interface::registrationHead = locals.frame.previous;
    return locals.frame.result;
}

bool offerToRegistrations(const runtime_interface::RaisedError& error) {
    for (runtime_interface::HandlerFrameRecord* r = runtime_interface::registrationHead; r; r = r->previous)
        if (r->handler(error, r) == runtime_interface::ExceptionDisposition::ResumeAtExitPoint) return true;
    return false;
}

void abandonFrame(HandlerLocals& locals, const HandlerCleanups& cleanups) {
    cleanups.unwind(&locals);
    leaveHandler(locals, cleanups);
}

void freeLoopPair(void* frame) {
    auto& locals = *static_cast<HandlerLocals*>(frame);
    imported<Import::__vbaFreeVarList>()(2, &locals.hiddenEnd, &locals.hiddenStep);
}

}  // namespace zelk::program
