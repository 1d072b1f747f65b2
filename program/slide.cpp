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
    HandlerLocals l;
    enterHandler(l, argument, program::kSlideProcedure);
    runBody(l, kSlideCleanups, [&] {
        SetImgVisible(l, kAccessImg1, runtime_interface::kTrue);
        SetImgVisible(l, kAccessImg2, runtime_interface::kFalse);
        SetImgVisible(l, kAccessImg3, runtime_interface::kFalse);
        stepLoop(l, [&] {
            SetImgLeft(l, kAccessImg1, [&] { return &l.form->MovePos; });
            BusyPause(l.form, kSlidePause);
        });
    });
    return leaveHandler(l, kSlideCleanups);
}

}  // namespace zelk::program
