// "Движение2": the three poses in turn at every one of the 21 steps.
#include "program/click_handlers.h"
#include "program/handler_frame.h"
#include "program/image_layout.h"

namespace zelk::program {

using runtime_interface::Variant;
using runtime_interface::integer16Variant;
using runtime_interface::kFalse;
using runtime_interface::kTrue;


namespace {

GallopLocals& gallop(void* locals) { return static_cast<GallopLocals&>(*static_cast<HandlerLocals*>(locals)); }

// SetImgLeft with MovePos + offset; the sum's constant reuses the loop's step
// variant, which the loop no longer reads.
void offsetPut(GallopLocals& l, PictureAccessor picture, std::int16_t offset) {
    SetImgLeft(l, picture, [&] {
        l.stepConstant = integer16Variant(offset);
        return imported<Import::__vbaVarAdd>()(&l.sum, &l.stepConstant, &l.form->MovePos);
    });
    imported<Import::__vbaFreeVar>()(&l.sum);
}

}  // namespace

void gallopUnwindCleanup(void* locals) {
    GallopLocals& l = gallop(locals);
    imported<Import::__vbaFreeObj>()(&l.objectTemporary);
    imported<Import::__vbaFreeVar>()(&l.sum);
}

namespace {
constexpr HandlerCleanups kGallopCleanups{freeLoopPair, gallopUnwindCleanup};
}  // namespace

std::int32_t Command2_Click(std::uintptr_t argument) {
    GallopLocals l;
    enterHandler(l, argument, program::kGallopProcedure);
    l.sum = Variant{};
    runBody(l, kGallopCleanups, [&] {
        stepLoop(l, [&] {
            SetImgVisible(l, kAccessImg1, kTrue);
            SetImgVisible(l, kAccessImg2, kFalse);
            SetImgVisible(l, kAccessImg3, kFalse);
            SetImgLeft(l, kAccessImg1, [&] { return &l.form->MovePos; });
            BusyPause(l.form, kGallopPause);

            SetImgVisible(l, kAccessImg1, kFalse);
            SetImgVisible(l, kAccessImg2, kTrue);
            offsetPut(l, kAccessImg2, 100);
            BusyPause(l.form, kGallopPause);

            // Img1 is hidden since the second phase; the third hides it once
            // more, so every phase starts from the same puts.
            SetImgVisible(l, kAccessImg1, kFalse);
            SetImgVisible(l, kAccessImg2, kFalse);
            SetImgVisible(l, kAccessImg3, kTrue);
            offsetPut(l, kAccessImg3, 200);
            BusyPause(l.form, kGallopPause);
        });
    });
    return leaveHandler(l, kGallopCleanups);
}

}  // namespace zelk::program
