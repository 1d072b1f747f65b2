// "Движение": the first pose slides along the road in 21 steps.
#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {

using namespace form1;

void slideUnwindCleanup(void* locals) {
    imported<Import::__vbaFreeObj>()(&static_cast<HandlerLocals*>(locals)->objectTemporary);
}

namespace {
constexpr HandlerCleanups kSlideCleanups{freeLoopPair, slideUnwindCleanup};
}  // namespace

std::int32_t Command1_Click(std::uintptr_t argument) {
    HandlerLocals l;
    enterHandler(l, argument, layout::kSlideProcedure);
    runBody(l, kSlideCleanups, [&] {
        SetImgVisible(l, kAccessImg1, vb::kTrue);
        SetImgVisible(l, kAccessImg2, vb::kFalse);
        SetImgVisible(l, kAccessImg3, vb::kFalse);
        stepLoop(l, [&] {
            SetImgLeft(l, kAccessImg1, [&] { return &l.form->MovePos; });
            BusyPause(l.form, kSlidePause);
        });
    });
    return leaveHandler(l, kSlideCleanups);
}

}  // namespace zelk::program
