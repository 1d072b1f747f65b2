// What the pictures show before and after each sequence, on the runtime's own
// controls: the state a click finds is the state the last run left.
#include "test_support.h"

#include "runtime/start_up.h"
#include "program/form1.h"

namespace zelk::tests {
namespace {

class SequenceStates : public testing::Test {
protected:
    void SetUp() override { project_ = runtime::startProject(process(), image_symbols::kProjectHeader); }

    program::Form1* form() const { return static_cast<program::Form1*>(project_->form->object()); }

    void click(int method) {
        EXPECT_EQ(project_->form->callMethod(method, reinterpret_cast<std::uintptr_t>(form())), 0);
    }

    void expectStates(const PictureState (&want)[3], const char* when) {
        SCOPED_TRACE(when);
        expectPictures(*project_->form, want);
        EXPECT_EQ(imageNamed(*project_->form, "Img1").topTwips(), 2520) << "Top is never put";
        EXPECT_EQ(imageNamed(*project_->form, "Img2").topTwips(), 2600);
        EXPECT_EQ(imageNamed(*project_->form, "Img3").topTwips(), 2600);
    }

    std::unique_ptr<runtime::StartedProject> project_;
};

// Img1, Img2, Img3.
const PictureState kAtStart[] = {{true, 480}, {false, 3360}, {false, 6840}};
const PictureState kAfterFirstSlide[] = {{true, 8000}, {false, 3360}, {false, 6840}};
const PictureState kAfterGallop[] = {{false, 8000}, {false, 8100}, {true, 8200}};
const PictureState kSlideAfterGallop[] = {{true, 8000}, {false, 8100}, {false, 8200}};

TEST_F(SequenceStates, EachRunStartsFromWhereTheLastLeftOff) {
    expectStates(kAtStart, "at start");
    click(0);
    expectStates(kAfterFirstSlide, "after the first slide");
    EXPECT_EQ(form()->PauseCount, 20000001);
    EXPECT_EQ(form()->MovePos.type, runtime_interface::VariantType::Integer16);
    EXPECT_EQ(form()->MovePos.integer16, 8400);
    click(0);
    expectStates(kAfterFirstSlide, "after a second slide");
    click(1);
    expectStates(kAfterGallop, "after a gallop");
    EXPECT_EQ(form()->PauseCount, 50000001);
    EXPECT_EQ(form()->MovePos.integer16, 8400);
    click(0);
    expectStates(kSlideAfterGallop, "after a slide that followed a gallop");
    click(1);
    expectStates(kAfterGallop, "after a gallop that followed a slide");
    EXPECT_EQ(project_->form->referenceCount(), 1u);
    for (const auto& i : project_->form->images()) EXPECT_EQ(i->references(), 1u) << i->name();
}

}  // namespace
}  // namespace zelk::tests
