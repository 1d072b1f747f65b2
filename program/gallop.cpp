// "Движение2": the three poses in turn at every one of the 21 steps.
#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {

using runtime_interface::integer16Variant;
using runtime_interface::kFalse;
using runtime_interface::kTrue;
using runtime_interface::Variant;

namespace {

GallopLocals& gallop(void* frame) { return static_cast<GallopLocals&>(*static_cast<HandlerLocals*>(frame)); }

// SetImgLeft with MovePos + offset; the sum's constant reuses the loop's step
// variant, which the loop no longer reads.
void offsetPut(GallopLocals& locals, PictureAccessor picture, std::int16_t offset) {
    SetImgLeft(locals, picture, [&] {
        locals.stepConstant = integer16Variant(offset);
        return imported<Import::__vbaVarAdd>()(&locals.sum, &locals.stepConstant, &locals.form->MovePos);
    });
    imported<Import::__vbaFreeVar>()(&locals.sum);
}

}  // namespace

void gallopUnwindCleanup(void* frame) {
    GallopLocals& locals = gallop(frame);
    imported<Import::__vbaFreeObj>()(&locals.objectTemporary);
    imported<Import::__vbaFreeVar>()(&locals.sum);
}

namespace {
constexpr HandlerCleanups kGallopCleanups{freeLoopPair, gallopUnwindCleanup};
}  // namespace

std::int32_t Command2_Click(std::uintptr_t argument) {
    GallopLocals locals;
    enterHandler(locals, argument, kGallopProcedure);
    locals.sum = Variant{};
    runBody(locals, kGallopCleanups, [&] {
        stepLoop(locals, [&] {
            SetImgVisible(locals, kAccessImg1, kTrue);
            SetImgVisible(locals, kAccessImg2, kFalse);
            SetImgVisible(locals, kAccessImg3, kFalse);
            SetImgLeft(locals, kAccessImg1, [&] { return &locals.form->MovePos; });
            BusyPause(locals.form, kGallopPause);

            SetImgVisible(locals, kAccessImg1, kFalse);
            SetImgVisible(locals, kAccessImg2, kTrue);
            offsetPut(locals, kAccessImg2, 100);
            BusyPause(locals.form, kGallopPause);

            // Img1 is hidden since the second phase; the third hides it once
            // more, so every phase starts from the same puts.
            SetImgVisible(locals, kAccessImg1, kFalse);
            SetImgVisible(locals, kAccessImg2, kFalse);
            SetImgVisible(locals, kAccessImg3, kTrue);
            offsetPut(locals, kAccessImg3, 200);
            BusyPause(locals.form, kGallopPause);
        });
    });
    return leaveHandler(locals, kGallopCleanups);
}

}  // namespace zelk::program
