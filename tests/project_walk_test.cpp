// Start-up's road through the stored chain: imports, the project header down
// to the form's controls and sinks, and the form object the runtime makes.
#include "test_support.h"

#include "program/data_block.h"
#include "runtime/exports.h"
#include "runtime/form_instance.h"
#include "runtime/project_walk.h"
#include "runtime/start_up.h"
#include "program/form1.h"

#include <algorithm>

namespace zelk::test {
namespace {

TEST(ProjectWalk, ImportsResolveByNameAndTheStartUpEntryByOrdinal) {
    process();
    for (int i = 0; i < rt::kImportCount; ++i) {
        const rt::AnyRoutine expected =
            rt::kImportNames[i] == "ThunRTMain" ? rt::findExportByOrdinal(100) : rt::findExport(rt::kImportNames[i]);
        ASSERT_NE(expected, nullptr) << rt::kImportNames[i];
        EXPECT_EQ(program::importAddressTable[i], expected) << rt::kImportNames[i];
    }
    EXPECT_EQ(rt::findExport("ThunRTMain"), nullptr) << "the start-up entry has no name";
}

TEST(ProjectWalk, FollowsTheChainToOneFormWithSixControlsAndTwoMethods) {
    const rt::FormBinding form = rt::walkProject(process().space(), image_symbols::kProjectHeader);
    EXPECT_EQ(form.name, "Form1");
    ASSERT_EQ(form.controls.size(), 6u);
    const struct {
        const char* name;
        std::int32_t index;
        form1::ControlEntry sink;
    } expected[] = {{"Img2", 4, form1::kEntryImg2},         {"Img3", 3, form1::kEntryImg3},
                    {"Form", -1, form1::kEntryForm},        {"Command1", 2, form1::kEntryCommand1},
                    {"Command2", 1, form1::kEntryCommand2}, {"Img1", 5, form1::kEntryImg1}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(form.controls[i].name, expected[i].name);
        EXPECT_EQ(form.controls[i].index, expected[i].index);
        EXPECT_EQ(form.controls[i].sinkOffset, form1::sinkOffset(expected[i].sink)) << expected[i].name;
    }
    EXPECT_EQ(form.methods.size(), 2u);
    EXPECT_EQ(form.description.size(), 1198714u);
    EXPECT_EQ(form.descriptionAddress, symbol("form_description"));
    EXPECT_EQ(std::memcmp(&form.formGuid, form.description.data() + 5, 16), 0)
        << "GUI table entry and description name the same form";
    EXPECT_EQ(form.objectSize(), form1::sinkOffset(form1::kEntryImg1) + 4);
}

TEST(ProjectWalk, DataBlockIsSeparateWritableAndZero) {
    process();
    EXPECT_EQ(sizeof program::dataBlock, 2540u);
    EXPECT_TRUE(std::all_of(std::begin(program::dataBlock), std::end(program::dataBlock), [](std::uint8_t b) { return b == 0; }));
    const auto img = image();
    EXPECT_TRUE(program::dataBlock + sizeof program::dataBlock <= img.data() || program::dataBlock >= img.data() + img.size());
    EXPECT_TRUE(process().space().contains(u32At(symbol("project_info") + 0x18), 2532));
}

TEST(ProjectWalk, CreatesTheFormWithEmptyFieldsAndItsSinksWhereTheRecordsSay) {
    auto project = rt::startProject(process(), image_symbols::kProjectHeader);
    auto* form = static_cast<form1::Form1*>(project->form->object());
    EXPECT_EQ(form->MovePos.vt, vb::VT_EMPTY);
    EXPECT_EQ(form->PauseCount, 0);
    EXPECT_GE(project->form->objectSize(), sizeof(form1::Form1)) << "room for the whole struct, tail padding too";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(form) % alignof(form1::Form1), 0u);
    EXPECT_EQ(project->form->referenceCount(), 1u);
    // The accessors serve Img3, Img2, Img1 in adjacent slots.
    const char* names[] = {"Img3", "Img2", "Img1"};
    for (int slot = 0; slot < 3; ++slot) {
        auto* control = static_cast<rt::ImageControl*>(form->interfaceTable->imageAccessors[slot](form));
        EXPECT_EQ(control->name(), names[slot]);
        control->Release();
    }
}

TEST(ProjectWalk, BrokenChainIsAnErrorNotAStrayRead) {
    std::vector<std::uint8_t> copy(image().begin(), image().end());
    const std::uint32_t link = symbol("project_info") + 0x04 - image_symbols::kImageBase;  // object table
    const std::uint8_t outside[] = {0xF0, 0xFF, 0xFF, 0x7F};
    std::copy(std::begin(outside), std::end(outside), copy.begin() + link);
    rt::LoadedModule module = executable::loadedModule();
    module.image = copy;
    rt::Process p(module);
    EXPECT_THROW(rt::walkProject(p.space(), image_symbols::kProjectHeader), rt::BadAddress);
}

}  // namespace
}  // namespace zelk::test
