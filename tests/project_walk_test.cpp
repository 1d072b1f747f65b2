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
#include "program/records/image_builder.h"

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
    } expected[] = {{"Img2", 4, program::kEntryImg2},
                    {"Img3", 3, program::kEntryImg3},
                    {"Form", -1, program::kEntryForm},
                    {"Command1", 2, program::kEntryCommand1},
                    {"Command2", 1, program::kEntryCommand2},
                    {"Img1", 5, program::kEntryImg1}};
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
    EXPECT_TRUE(std::all_of(
        std::begin(program::dataBlock), std::end(program::dataBlock), [](std::uint8_t b) { return b == 0; }));
    const auto stored = image();
    EXPECT_TRUE(program::dataBlock + sizeof program::dataBlock <= stored.data() ||
                program::dataBlock >= stored.data() + stored.size());
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
        // clang-format off
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
    // clang-format on
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
        EXPECT_NO_THROW(
            form = std::make_unique<runtime::FormInstance>(process(), binding, formats::walkFormDescription(bytes)));
        if (!form) continue;
        StartedForm want = stored;
        c.change(want);
        expectHolds(heldBy(*form), want);
    }
}

// The GUI table holds one entry per form, 80 bytes each, and the runtime runs
// one form: a count the table cannot hold, or more forms than that, stops the
// start instead of starting the first form.
TEST(ProjectWalk, FormCountBeyondTheGuiTableOrTheRuntimeIsRefused) {
    const struct {
        std::uint16_t forms;
        const char* refusal;  // null: it starts
    } cases[] = {
        {1, nullptr},
        {2, "form count 2: this runtime runs one form"},
        {0xFFFF, "form count 65535: the GUI table's entries run past the image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.forms);
        PatchedImage patched(std::vector<Write>{{image_symbols::kProjectHeader + 0x44, littleEndianBytes(c.forms, 2)}});
        if (!c.refusal) {
            EXPECT_NO_THROW(runtime::startProject(patched.process(), image_symbols::kProjectHeader));
            continue;
        }
        try {
            runtime::startProject(patched.process(), image_symbols::kProjectHeader);
            ADD_FAILURE() << "started";
        } catch (const runtime::BadDescriptor& e) {
            EXPECT_STREQ(e.what(), c.refusal);
        }
    }
}

// A control table of `count` well-formed records, each with its own sink
// table, laid over the form description's bytes at `at`.
std::vector<Write> wellFormedControlTable(std::uint32_t at, std::uint32_t count) {
    std::vector<std::uint8_t> bytes(count * (40 + 24));
    const auto put = [&bytes](std::size_t offset, std::uint32_t v) {
        const auto b = littleEndianBytes(v);
        std::copy(b.begin(), b.end(), bytes.begin() + std::ptrdiff_t(offset));
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t record = 40 * i, sinkTable = 40 * count + 24 * i;
        put(record + 4, 16 + 4 * i);       // sink position
        put(record + 12, i | 3u << 16);    // control index
        put(record + 24, at + sinkTable);  // event-sink table, no event slots
        put(record + 32, symbol("control_name.Form"));
        put(sinkTable + 4, at + record);  // back to its control
    }
    return {{at, bytes},
            {symbol("optional_object_info") + 0x20, littleEndianBytes(count)},
            {symbol("optional_object_info") + 0x24, littleEndianBytes(at)}};
}

// Each input here is refused by one check of the walk alone, so a check that
// goes missing lets its row through or makes another check speak.
TEST(ProjectWalk, EachCheckOfTheWalkRefusesWhatOnlyItCatches) {
    const std::uint32_t header = image_symbols::kProjectHeader;
    const std::uint32_t imageEnd = image_symbols::kImageBase + image_symbols::kImageSize;
    enum class Refused { Descriptor, Address };
    const struct {
        const char* what;
        std::vector<Write> writes;
        Refused refused;
        const char* says;
    } cases[] = {
        // clang-format off
        {"magic", {{header, {'V', 'B', '6', '!'}}}, Refused::Descriptor, "project header does not start with \"VB5!\""},
        {"no form", {{header + 0x44, littleEndianBytes(0, 2)}}, Refused::Descriptor, "project declares no form"},
        {"start-up procedure", {{header + 0x2C, littleEndianBytes(symbol("code_start"))}}, Refused::Descriptor,
         "start-up procedures are not supported"},
        {"no object", {{symbol("object_table") + 0x2A, littleEndianBytes(0, 2)}}, Refused::Descriptor, "object table holds no object"},
        {"object info leads elsewhere", {{symbol("object_info") + 0x18, littleEndianBytes(symbol("object_table"))}},
         Refused::Descriptor, "object info does not lead back to its object descriptor"},
        {"no control", {{symbol("optional_object_info") + 0x20, littleEndianBytes(0)}}, Refused::Descriptor,
         "control count out of range"},
        {"257 controls", wellFormedControlTable(symbol("form_description"), 257), Refused::Descriptor,
         "control count out of range"},
        {"sink off a 4-byte boundary", {{symbol("control.Img2") + 4, littleEndianBytes(50)}}, Refused::Descriptor,
         "sink position of Img2 is not a place in a form object"},
        {"sink in the object's head", {{symbol("control.Img2") + 4, littleEndianBytes(12)}}, Refused::Descriptor,
         "sink position of Img2 is not a place in a form object"},
        {"sink far out", {{symbol("control.Img2") + 4, littleEndianBytes(0x10000)}}, Refused::Descriptor,
         "sink position of Img2 is not a place in a form object"},
        {"sink table of another control", {{symbol("sink_table.Img3") + 4, littleEndianBytes(symbol("control.Img2"))}},
         Refused::Descriptor, "event-sink table of Img3 does not lead back to its control"},
        // A head that leads back, in the image's last 16 bytes: its 13 slots do not fit.
        {"sink table past the image",
         {{imageEnd - 12, littleEndianBytes(symbol("control.Img1"))}, {symbol("control.Img1") + 24, littleEndianBytes(imageEnd - 16)}},
         Refused::Address, "event-sink table: 76 bytes"},
        {"GUI table entry size", {{symbol("gui_table"), littleEndianBytes(84)}}, Refused::Descriptor,
         "GUI table entry is not 80 bytes"},
        {"form description past the image", {{symbol("gui_table") + 0x40, littleEndianBytes(0x00FFFFFF)}}, Refused::Address,
         "form description: 16777215 bytes"},
        {"object table's link outside", {{symbol("project_info") + 0x04, littleEndianBytes(0x7FFFFFF0)}}, Refused::Address,
         "object count: 2 bytes at 0x8000001A"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched(c.writes);
        try {
            runtime::walkProject(patched.process().space(), header);
            ADD_FAILURE() << "walked through";
        } catch (const runtime::BadDescriptor& e) {
            EXPECT_EQ(c.refused, Refused::Descriptor) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        } catch (const runtime::BadAddress& e) {
            EXPECT_EQ(c.refused, Refused::Address) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

// A slot outside the control's sink table is an unbound event, not a read of
// whatever follows the table; a table so high in the address space that the
// slot's address would wrap round is a broken link.
TEST(ProjectWalk, EventSlotOutsideItsSinkTableIsUnbound) {
    const runtime::FormBinding form = runtime::walkProject(process().space(), image_symbols::kProjectHeader);
    const struct {
        std::int32_t control;  // by index
        int slot;
        std::uint32_t entry;
    } cases[] = {
        {2, 0, u32At(symbol("sink_table.Command1") + 24)},  // Command1's Click
        {2, 1, 0},
        {5, 12, 0},  // Img1's last slot
        {5, 13, 0},  // past Img1's table, the last one: the method table follows
        {4, -1, 0},  // before Img2's slots: its head
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.control << " slot " << c.slot);
        EXPECT_EQ(runtime::eventEntry(process().space(), *form.control(c.control), c.slot), c.entry);
    }
    EXPECT_NE(u32At(symbol("sink_table.Command1") + 24), 0u);

    runtime::AddressSpace low;
    const std::vector<std::uint8_t> bytes(0x100, 0xAB);
    low.map(0, bytes, "low memory");
    const runtime::ControlBinding high{"High", 1, 13, 16, 0xFFFFFFF0};
    EXPECT_THROW(runtime::eventEntry(low, high, 5), runtime::BadAddress);
}

// The build-time record writer puts each value at its named field once, in
// the field's width and inside the record; a slip stops the build.
TEST(ProjectWalk, RecordWriterRefusesAFieldWrittenTwiceOutsideItsRecordOrInAnotherWidth) {
    using program::records::ImageBuilder;
    {
        ImageBuilder out(0x1000);
        out.zeros(2);
        ImageBuilder::Record record = out.record("record", 12);
        record.u16({0, 2, "first"}, 0x1234);
        record.link({4, 4, "link"}, "target", 2);
        record.text({8, 4, "text"}, "ab");
        out.bind("target");
        EXPECT_EQ(record.address(), 0x1002u);
        EXPECT_EQ(out.finish(), (std::vector<std::uint8_t>{0, 0, 0x34, 0x12, 0, 0, 0x10, 0x10, 0, 0, 'a', 'b', 0, 0}));
    }
    const struct {
        const char* what;
        void (*write)(ImageBuilder::Record&);
        const char* says;
    } cases[] = {
        // clang-format off
        {"same field twice", [](ImageBuilder::Record& r) { r.u32({0, 4, "word"}, 1), r.u32({0, 4, "word"}, 2); },
         "word is written over another field"},
        {"overlapping fields", [](ImageBuilder::Record& r) { r.u32({0, 4, "word"}, 1), r.u16({2, 2, "half"}, 2); },
         "half is written over another field"},
        {"past the record's end", [](ImageBuilder::Record& r) { r.u32({6, 4, "tail"}, 1); },
         "tail lies outside its record"},
        {"16 bits into a 32-bit field", [](ImageBuilder::Record& r) { r.u16({0, 4, "word"}, 1); },
         "word takes 4 bytes, not 2"},
        {"32 bits into a 16-bit field", [](ImageBuilder::Record& r) { r.u32({0, 2, "half"}, 1); },
         "half takes 2 bytes, not 4"},
        {"text without room for its NUL", [](ImageBuilder::Record& r) { r.text({0, 4, "name"}, "Form"); },
         "name does not fit its field"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImageBuilder out(0x1000);
        ImageBuilder::Record record = out.record(8);
        try {
            c.write(record);
            ADD_FAILURE() << "written";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), c.says);
        }
    }
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
        {"no server on the display",
         "xcb",
         ":987",
         "^zelk: [^\n]*display :987[^\n]*\"xcb\"[^\n]*\":987\"[^\n]*a display is needed\n$"},
        {"display unset", "xcb", nullptr, "^zelk: [^\n]*\"xcb\"[^\n]*DISPLAY not set[^\n]*a display is needed\n$"},
        {"unknown platform", "nonsense", ":987", "^zelk: [^\n]*\"nonsense\"[^\n]*a display is needed\n$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(
            {
                setenv("QT_QPA_PLATFORM", c.platform, 1);
                if (c.display)
                    setenv("DISPLAY", c.display, 1);
                else
                    unsetenv("DISPLAY");
                runtime::runProject(process(), image_symbols::kProjectHeader);
            },
            testing::ExitedWithCode(2),
            c.says);
    }
}

}  // namespace
}  // namespace zelk::tests
