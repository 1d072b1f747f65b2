// The road of a click is stored code: the runtime goes where the stored event
// and method entries jump, and refuses at start-up an entry it cannot follow.
#include "test_support.h"

#include "program/form1.h"
#include "program/image_layout.h"
#include "runtime/start_up.h"

#include <cstdio>
#include <vector>

namespace zelk::tests {
namespace {

std::uint32_t eventEntry(const char* control) { return u32At(symbol(std::string("sink_table.") + control) + 24); }
std::uint32_t methodEntry(int method) { return u32At(symbol("method_table") + 4 * method); }

// jmp rel32 standing at `from`.
std::vector<std::uint8_t> jumpTo(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint8_t> code{0xE9};
    const auto rel = le(to - (from + 5));
    code.insert(code.end(), rel.begin(), rel.end());
    return code;
}

TEST(EntryRoad, AClickRunsTheHandlerItsStoredEntryJumpsTo) {
    const std::uint32_t event1 = eventEntry("Command1"), event2 = eventEntry("Command2");
    // Each event entry is sub dword [esp+4], imm8 followed by its jump.
    for (const std::uint32_t e : {event1, event2}) {
        const auto code = at(e, 6);
        ASSERT_EQ(std::vector<std::uint8_t>(code.begin(), code.end()),
                  (std::vector<std::uint8_t>{0x83, 0x6C, 0x24, 0x04, code[4], 0xE9}));
    }
    // One pass of each loop tells the sequences apart: the slide's first step
    // leaves Img1 shown at 0, the gallop's leaves Img3 shown at 200.
    const PictureState slideFromStart[] = {{true, 0}, {false, 3360}, {false, 6840}};
    const PictureState gallop[] = {{false, 0}, {false, 100}, {true, 200}};
    const PictureState slideAfterGallop[] = {{true, 0}, {false, 100}, {false, 200}};
    const struct {
        const char* what;
        std::vector<Write> writes;
        const PictureState (&afterCommand1)[3];
        std::int32_t pausesAfterCommand1;
        const PictureState (&afterCommand2)[3];
        std::int32_t pausesAfterCommand2;
    } cases[] = {
        {"as stored", {}, slideFromStart, 20000001, gallop, 50000001},
        {"event entries' jumps swapped",
         {{event1 + 5, jumpTo(event1 + 5, methodEntry(1))}, {event2 + 5, jumpTo(event2 + 5, methodEntry(0))}},
         gallop, 50000001, slideAfterGallop, 20000001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched(c.writes);
        const auto project = runtime::startProject(patched.process(), image_symbols::kProjectHeader);
        const auto* form = static_cast<const program::Form1*>(project->form->object());
        // After the patched process has bound the imports.
        const ImportSpy<formats::Import::__vbaVarForNext> onePass([](runtime_interface::Variant*, runtime_interface::Variant*, runtime_interface::Variant*) { return 0; });
        EXPECT_EQ(project->form->fireEvent(2, 0), 0);  // Command1's Click
        expectPictures(*project->form, c.afterCommand1, "after Command1's click");
        EXPECT_EQ(form->PauseCount, c.pausesAfterCommand1);
        EXPECT_EQ(project->form->fireEvent(1, 0), 0);  // Command2's Click
        expectPictures(*project->form, c.afterCommand2, "after Command2's click");
        EXPECT_EQ(form->PauseCount, c.pausesAfterCommand2);
        EXPECT_EQ(project->form->referenceCount(), 1u);
    }
}

TEST(EntryRoad, AnEntryTheRuntimeCannotFollowStopsStartUpNamingIt) {
    const std::uint32_t event1 = eventEntry("Command1"), event2 = eventEntry("Command2");
    const std::uint32_t cleanup = program::codeAddress(program::Code::SlideUnwindCleanup);
    const std::uint32_t padding = symbol("code_start") + 4;  // the code range's 0xCC bytes
    const struct {
        const char* what;
        std::vector<Write> writes;
        bool outsideImage;  // BadAddress rather than BadDescriptor
        const char* whose;
        std::uint32_t entry;  // named in the message
    } cases[] = {
        {"unknown opcode", {{event1, {0xC3}}}, false, "Command1 event slot 0", event1},
        {"jump out of the image", {{event1 + 5, jumpTo(event1 + 5, 0x7FFF0000)}}, true, "Command1 event slot 0", event1},
        {"jump to a clean-up", {{event2 + 5, jumpTo(event2 + 5, cleanup)}}, false, "Command2 event slot 0", event2},
        {"loop of jumps", {{methodEntry(0), jumpTo(methodEntry(0), event1)}}, false, "Command1 event slot 0", event1},
        {"method on the code range's padding", {{symbol("method_table") + 4, le(padding)}}, false, "method 1", padding},
        {"event slot outside the image",
         {{symbol("sink_table.Command2") + 24, le(0xFFFFFF00)}}, true, "Command2 event slot 0", 0xFFFFFF00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched(c.writes);
        char entry[32];
        std::snprintf(entry, sizeof entry, "entry at 0x%08X", c.entry);
        try {
            runtime::startProject(patched.process(), image_symbols::kProjectHeader);
            ADD_FAILURE() << "started";
        } catch (const std::runtime_error& e) {
            const std::string message = e.what();
            if (c.outsideImage) EXPECT_NE(dynamic_cast<const runtime::BadAddress*>(&e), nullptr) << message;
            else EXPECT_NE(dynamic_cast<const runtime::BadDescriptor*>(&e), nullptr) << message;
            EXPECT_NE(message.find(c.whose), std::string::npos) << message;
            EXPECT_NE(message.find(entry), std::string::npos) << message;
        }
    }
}

}  // namespace
}  // namespace zelk::tests
