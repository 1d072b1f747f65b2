// "Движение": the first pose slides along the road in 21 steps.
#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {

void slideUnwindCleanup(void* locals) {
    imported<Import::__vbaFreeObj>()(&static_cast<HandlerLocals*>(locals)->objectTemporary);
}

namespace {
constexpr HandlerCleanups kSlideCleanups{freeLoopPair, slideUnwindCleanup};
}  // namespace

std::int32_t Command1_Click(std::uintptr_t argument) {
    HandlerLocals locals;
    enterHandler(locals, argument, kSlideProcedure);
    runBody(locals, kSlideCleanups, [&] {
        SetImgVisible(locals, kAccessImg1, runtime_interface::kTrue);
        SetImgVisible(locals, kAccessImg2, runtime_interface::kFalse);
        SetImgVisible(locals, kAccessImg3, runtime_interface::kFalse);
        stepLoop(locals, [&] {
            SetImgLeft(locals, kAccessImg1, [&] { return &locals.form->MovePos; });
            BusyPause(locals.form, kSlidePause);
        });
    });
    return leaveHandler(locals, kSlideCleanups);
}

}  // namespace zelk::program
