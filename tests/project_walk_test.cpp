// Start-up's road through the stored chain: imports, the project header down
// to the form's controls and sinks, and the form object the runtime makes.
#include "test_support.h"

#include "formats/form_description.h"
#include "program/data_block.h"
#include "program/records/form1_description.h"
#include "runtime/exports.h"
#include "runtime/form_instance.h"
#include "runtime/project_walk.h"
#include "runtime/start_up.h"
#include "program/form1.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace zelk::tests {
namespace {

// The stored names are the image records' business; here, what the process
// binds to them.
TEST(ProjectWalk, EveryImportSlotIsBoundToItsOwnRoutineAndTheStartUpEntryByOrdinal) {
    process();
    ASSERT_EQ(program::importAddressTable.size(), 38u);
    std::set<runtime_interface::AnyRoutine> routines;
    for (std::size_t i = 0; i < 38; ++i) {
        EXPECT_NE(program::importAddressTable[i], nullptr) << "import " << i;
        routines.insert(program::importAddressTable[i]);
    }
    EXPECT_EQ(routines.size(), 38u) << "no two imports share a routine";
    EXPECT_EQ(runtime::findExport("ThunRTMain"), nullptr) << "the start-up entry has no name";
    EXPECT_EQ(program::importAddressTable[0], reinterpret_cast<runtime_interface::AnyRoutine>(&runtime::ThunRTMain));
}

TEST(ProjectWalk, FollowsTheChainToOneFormWithSixControlsAndTwoMethods) {
    const runtime::FormBinding form = runtime::walkProject(process().space(), image_symbols::kProjectHeader);
    EXPECT_EQ(form.name, "Form1");
    ASSERT_EQ(form.controls.size(), 6u);
    const struct {
        const char* name;
        std::int32_t index;
        program::ControlEntry sink;
    } expected[] = {{"Img2", 4, program::kEntryImg2},         {"Img3", 3, program::kEntryImg3},
                    {"Form", -1, program::kEntryForm},        {"Command1", 2, program::kEntryCommand1},
                    {"Command2", 1, program::kEntryCommand2}, {"Img1", 5, program::kEntryImg1}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(form.controls[i].name, expected[i].name);
        EXPECT_EQ(form.controls[i].index, expected[i].index);
        EXPECT_EQ(form.controls[i].sinkOffset, program::sinkOffset(expected[i].sink)) << expected[i].name;
    }
    EXPECT_EQ(form.methods.size(), 2u);
    EXPECT_EQ(form.description.size(), 1198714u);
    EXPECT_EQ(form.descriptionAddress, symbol("form_description"));
    EXPECT_EQ(std::memcmp(&form.formGuid, form.description.data() + 5, 16), 0)
        << "GUI table entry and description name the same form";
    EXPECT_EQ(form.objectSize(), program::sinkOffset(program::kEntryImg1) + 4);
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
    auto project = runtime::startProject(process(), image_symbols::kProjectHeader);
    auto* form = static_cast<program::Form1*>(project->form->object());
    EXPECT_EQ(form->MovePos.type, runtime_interface::VariantType::Empty);
    EXPECT_EQ(form->PauseCount, 0);
    EXPECT_GE(project->form->objectSize(), sizeof(program::Form1)) << "room for the whole struct, tail padding too";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(form) % alignof(program::Form1), 0u);
    EXPECT_EQ(project->form->referenceCount(), 1u);
    // The accessors serve Img3, Img2, Img1 in adjacent slots.
    const char* names[] = {"Img3", "Img2", "Img1"};
    for (int slot = 0; slot < 3; ++slot) {
        auto* control = static_cast<runtime::ImageControl*>(form->interfaceTable->imageAccessors[slot](form));
        EXPECT_EQ(control->name(), names[slot]);
        control->Release();
    }
}

// What a started form holds, in pixels.
struct StartedButton {
    std::string caption;  // UTF-8
    runtime::PixelRect box;
    std::int32_t tabIndex;
};
struct StartedImage {
    runtime::PixelRect box;
    bool visible;
};
struct StartedForm {
    std::string caption;
    int width, height;
    StartedButton command1, command2;
    StartedImage img1, img2, img3;
};

StartedForm heldBy(const runtime::FormInstance& form) {
    StartedForm s{form.caption(), form.clientWidth(), form.clientHeight(), {}, {}, {}, {}, {}};
    for (const runtime::ButtonControl& b : form.buttons()) {
        StartedButton& held = b.name == "Command1" ? s.command1 : s.command2;
        held = StartedButton{b.caption, b.box, b.tabIndex};
    }
    for (const auto& i : form.images()) {
        StartedImage& held = i->name() == "Img1" ? s.img1 : i->name() == "Img2" ? s.img2 : s.img3;
        held = StartedImage{i->box(), i->visible()};
    }
    return s;
}

void expectHolds(const StartedForm& got, const StartedForm& want) {
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
    const std::pair<const StartedButton*, const StartedButton*> buttons[] = {{&got.command1, &want.command1},
                                                                             {&got.command2, &want.command2}};
    for (const auto& [g, w] : buttons) {
        SCOPED_TRACE(w->caption);
        EXPECT_EQ(g->caption, w->caption);
        EXPECT_EQ(g->box, w->box);
        EXPECT_EQ(g->tabIndex, w->tabIndex);
    }
    const std::pair<const StartedImage*, const StartedImage*> images[] = {
        {&got.img1, &want.img1}, {&got.img2, &want.img2}, {&got.img3, &want.img3}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("Img" + std::to_string(i + 1));
        EXPECT_EQ(images[i].first->box, images[i].second->box);
        EXPECT_EQ(images[i].first->visible, images[i].second->visible);
    }
}

// The real pictures, taken from the stored description.
program::records::PictureRecords storedPictures() {
    const auto view = formats::walkFormDescription(at(symbol("form_description"), 1198714));
    program::records::PictureRecords pictures;
    auto copy = [](const formats::ObjectView& o, std::uint8_t code) {
        const auto value = o.find(code)->value;
        return std::vector<std::uint8_t>(value.begin(), value.end());
    };
    pictures.scene = copy(view.form, 0x21);
    for (const formats::ObjectView& child : view.children)
        if (child.name.starts_with("Img")) pictures.poses.at(child.name.back() - '1') = copy(child, 0x02);
    return pictures;
}

TEST(ProjectWalk, PropertyARecordDoesNotStoreTakesItsDefault) {
    const StartedForm stored{"Form1",
                             740,
                             419,
                             {"Движение", {8, 16, 81, 33}, 0},
                             {"Движение2", {8, 80, 81, 33}, 1},
                             {{32, 168, 153, 153}, true},
                             {{224, 173, 153, 153}, false},
                             {{456, 173, 153, 153}, false}};
    const struct {
        const char* what;
        std::vector<std::pair<const char*, std::uint8_t>> removed;  // object, property code
        void (*change)(StartedForm&);
    } cases[] = {
        {"form without Caption", {{"Form1", 0x01}}, [](StartedForm& s) { s.caption = ""; }},
        // The whole scene shows: two columns and five rows more than stored.
        {"form without client size", {{"Form1", 0x35}}, [](StartedForm& s) { s.width = 742, s.height = 424; }},
        // Img3 reaches furthest right and down.
        {"form without client size or scene",
         {{"Form1", 0x35}, {"Form1", 0x21}},
         [](StartedForm& s) { s.width = 609, s.height = 326; }},
        {"button without Caption", {{"Command1", 0x01}}, [](StartedForm& s) { s.command1.caption = ""; }},
        {"button without position", {{"Command2", 0x04}}, [](StartedForm& s) { s.command2.box = {0, 0, 0, 0}; }},
        {"button without TabIndex", {{"Command2", 0x11}}, [](StartedForm& s) { s.command2.tabIndex = 0; }},
        {"shown image without position", {{"Img1", 0x03}}, [](StartedForm& s) { s.img1.box = {0, 0, 0, 0}; }},
        {"hidden image without position", {{"Img3", 0x03}}, [](StartedForm& s) { s.img3.box = {0, 0, 0, 0}; }},
    };
    const program::records::PictureRecords pictures = storedPictures();
    const runtime::FormBinding binding = runtime::walkProject(process().space(), image_symbols::kProjectHeader);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        formats::DescriptionData data = program::records::describeForm1(pictures);
        for (const auto& [object, code] : c.removed) {
            formats::ObjectData& o = object == std::string_view("Form1")
                                      ? data.form
                                      : *std::ranges::find(data.children, object, &formats::ObjectData::name);
            const auto before = o.properties.size();
            std::erase_if(o.properties, [code = code](const formats::PropertyData& p) { return p.code == code; });
            ASSERT_EQ(o.properties.size(), before - 1);
        }
        const std::vector<std::uint8_t> bytes = formats::writeFormDescription(data);
        std::unique_ptr<runtime::FormInstance> form;
        EXPECT_NO_THROW(form = std::make_unique<runtime::FormInstance>(process(), binding, formats::walkFormDescription(bytes)));
        if (!form) continue;
        StartedForm want = stored;
        c.change(want);
        expectHolds(heldBy(*form), want);
    }
}

TEST(ProjectWalk, BrokenChainIsAnErrorNotAStrayRead) {
    PatchedImage patched(std::vector<Write>{{symbol("project_info") + 0x04, le(0x7FFFFFF0)}});  // the object table's link
    EXPECT_THROW(runtime::walkProject(patched.process().space(), image_symbols::kProjectHeader), runtime::BadAddress);
}

// Where no window system can be reached the user reads why in one line, and
// the process ends with exit code 2 instead of aborting.
TEST(ProjectWalkDeathTest, NoDisplayIsOneLineAndExitCode2) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* what;
        const char* platform;
        const char* display;  // null: unset
        const char* says;
    } cases[] = {
        {"no server on the display", "xcb", ":987",
         "^zelk: [^\n]*display :987[^\n]*\"xcb\"[^\n]*\":987\"[^\n]*a display is needed\n$"},
        {"display unset", "xcb", nullptr, "^zelk: [^\n]*\"xcb\"[^\n]*DISPLAY not set[^\n]*a display is needed\n$"},
        {"unknown platform", "nonsense", ":987", "^zelk: [^\n]*\"nonsense\"[^\n]*a display is needed\n$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(
            {
                setenv("QT_QPA_PLATFORM", c.platform, 1);
                if (c.display) setenv("DISPLAY", c.display, 1);
                else unsetenv("DISPLAY");
                runtime::runProject(process(), image_symbols::kProjectHeader);
            },
            testing::ExitedWithCode(2), c.says);
    }
}

}  // namespace
}  // namespace zelk::tests
