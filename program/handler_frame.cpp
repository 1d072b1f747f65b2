#include "program/handler_frame.h"

namespace zelk::program {

void enterHandler(HandlerLocals& l, std::uintptr_t argument, std::uint32_t procedureDescriptor) {
    l.frame.previous = runtime_interface::registrationHead;
    l.frame.handler = imported<Import::__vbaExceptHandler>();
    l.frame.stackPosition = &l;
    l.frame.procedureDescriptor = procedureDescriptor;
    runtime_interface::registrationHead = &l.frame;

    l.frame.result = std::int32_t(argument & 1);
    l.form = reinterpret_cast<Form1*>(argument & ~std::uintptr_t(1));
    l.form->interfaceTable->AddRef(l.form);

    l.objectTemporary = nullptr;
    for (runtime_interface::Variant* v : {&l.startConstant, &l.endConstant, &l.stepConstant, &l.hiddenEnd, &l.hiddenStep}) *v = runtime_interface::Variant{};
}

std::int32_t leaveHandler(HandlerLocals& l, const HandlerCleanups& cleanups) {
    cleanups.common(&l);
    l.form->interfaceTable->Release(l.form);
    runtime_interface::registrationHead = l.frame.previous;
    return l.frame.result;
}

bool offerToRegistrations(const runtime_interface::RaisedError& error) {
    for (runtime_interface::HandlerFrameRecord* r = runtime_interface::registrationHead; r; r = r->previous)
        if (r->handler(error, r) == runtime_interface::ExceptionDisposition::ResumeAtExitPoint) return true;
    return false;
}

void abandonFrame(HandlerLocals& l, const HandlerCleanups& cleanups) {
    cleanups.unwind(&l);
    leaveHandler(l, cleanups);
}

void freeLoopPair(void* locals) {
    auto& l = *static_cast<HandlerLocals*>(locals);
    imported<Import::__vbaFreeVarList>()(2, &l.hiddenEnd, &l.hiddenStep);
}

}  // namespace zelk::program
