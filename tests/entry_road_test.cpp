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
    const auto displacement = littleEndianBytes(to - (from + 5));
    code.insert(code.end(), displacement.begin(), displacement.end());
    return code;
}

// An event entry at `at` that subtracts with a 32-bit immediate, then jumps.
std::vector<std::uint8_t> wideEntry(std::uint32_t at, std::uint32_t subtrahend, std::uint32_t to) {
    std::vector<std::uint8_t> code{0x81, 0x6C, 0x24, 0x04};
    for (const auto& part : {littleEndianBytes(subtrahend), jumpTo(at + 8, to)})
        code.insert(code.end(), part.begin(), part.end());
    return code;
}

std::string hex(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", address);
    return text;
}

// One pass of each loop tells the sequences apart: the slide's first step
// leaves Img1 shown at 0, the gallop's leaves Img3 shown at 200.
const PictureState kSlideFromStart[] = {{true, 0}, {false, 3360}, {false, 6840}};
const PictureState kGallop[] = {{false, 0}, {false, 100}, {true, 200}};
const PictureState kSlideAfterGallop[] = {{true, 0}, {false, 100}, {false, 200}};

TEST(EntryRoad, AClickRunsTheHandlerItsStoredEntryJumpsTo) {
    const std::uint32_t event1 = eventEntry("Command1"), event2 = eventEntry("Command2");
    // Each event entry is sub dword [esp+4], imm8 followed by its jump.
    for (const std::uint32_t e : {event1, event2}) {
        const auto code = at(e, 6);
        ASSERT_EQ(std::vector<std::uint8_t>(code.begin(), code.end()),
                  (std::vector<std::uint8_t>{0x83, 0x6C, 0x24, 0x04, code[4], 0xE9}));
    }
    const std::uint32_t subtrahend1 = std::uint32_t(std::int8_t(at(event1, 5)[4]));
    const struct {
        const char* what;
        std::vector<Write> writes;
        const PictureState (&afterCommand1)[3];
        std::int32_t pausesAfterCommand1;
        const PictureState (&afterCommand2)[3];
        std::int32_t pausesAfterCommand2;
    } cases[] = {
        // clang-format off
        {"as stored", {}, kSlideFromStart, 20000001, kGallop, 50000001},
        {"event entries' jumps swapped",
         {{event1 + 5, jumpTo(event1 + 5, methodEntry(1))}, {event2 + 5, jumpTo(event2 + 5, methodEntry(0))}},
         kGallop, 50000001, kSlideAfterGallop, 20000001},
        {"Command1's entry subtracting a 32-bit value",
         {{event1, wideEntry(event1, subtrahend1, methodEntry(0))}}, kSlideFromStart, 20000001, kGallop, 50000001},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched(c.writes);
        const auto project = runtime::startProject(patched.process(), image_symbols::kProjectHeader);
        const auto* form = static_cast<const program::Form1*>(project->form->object());
        // After the patched process has bound the imports.
        const ImportSpy<formats::Import::__vbaVarForNext> onePass(
            [](runtime_interface::Variant*, runtime_interface::Variant*, runtime_interface::Variant*) { return 0; });
        EXPECT_EQ(project->form->fireEvent(2, 0), 0);  // Command1's Click
        expectPictures(*project->form, c.afterCommand1, "after Command1's click");
        EXPECT_EQ(form->PauseCount, c.pausesAfterCommand1);
        EXPECT_EQ(project->form->fireEvent(1, 0), 0);  // Command2's Click
        expectPictures(*project->form, c.afterCommand2, "after Command2's click");
        EXPECT_EQ(form->PauseCount, c.pausesAfterCommand2);
        EXPECT_EQ(project->form->referenceCount(), 1u);
    }
}

// Start-up follows every entry once and keeps where it leads: a click or a
// method call goes along that road, whatever becomes of the stored bytes.
TEST(EntryRoad, ClicksAndMethodCallsGoWhereStartUpFoundTheEntriesLead) {
    const std::uint32_t event1 = eventEntry("Command1"), event2 = eventEntry("Command2");
    const std::uint32_t method0 = methodEntry(0), method1 = methodEntry(1);
    const std::uint32_t slideBody = program::codeAddress(program::Code::Command1ClickBody);
    const std::uint32_t gallopBody = program::codeAddress(program::Code::Command2ClickBody);
    const struct {
        const char* what;
        std::vector<Write> writesAfterStartUp;
    } cases[] = {
        {"as stored", {}},
        {"event entries' jumps swapped",
         {{event1 + 5, jumpTo(event1 + 5, method1)}, {event2 + 5, jumpTo(event2 + 5, method0)}}},
        {"event entries overwritten with code the runtime cannot follow", {{event1, {0xC3}}, {event2, {0xC3}}}},
        {"sink table slots cleared",
         {{symbol("sink_table.Command1") + 24, littleEndianBytes(0)},
          {symbol("sink_table.Command2") + 24, littleEndianBytes(0)}}},
        {"method entries' jumps swapped",
         {{method0, jumpTo(method0, gallopBody)}, {method1, jumpTo(method1, slideBody)}}},
    };
    const struct {
        const char* what;
        bool click;
        int number;  // control index of a click, or method
        const PictureState (&after)[3];
        std::int32_t pauses;
    } steps[] = {
        {"Command1's click", true, 2, kSlideFromStart, 20000001},
        {"Command2's click", true, 1, kGallop, 50000001},
        {"method 0", false, 0, kSlideAfterGallop, 20000001},
        {"method 1", false, 1, kGallop, 50000001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched({});
        const auto project = runtime::startProject(patched.process(), image_symbols::kProjectHeader);
        patched.write(c.writesAfterStartUp);
        std::vector<std::string> errors;
        patched.process().setErrorSink([&](const runtime_interface::RaisedError& e) { errors.push_back(e.what()); });
        runtime::FormInstance& form = *project->form;
        const auto* object = static_cast<const program::Form1*>(form.object());
        const ImportSpy<formats::Import::__vbaVarForNext> onePass(
            [](runtime_interface::Variant*, runtime_interface::Variant*, runtime_interface::Variant*) { return 0; });
        for (const auto& step : steps) {
            const std::int32_t status =
                step.click ? form.fireEvent(step.number, 0)
                           : form.callMethod(std::size_t(step.number), reinterpret_cast<std::uintptr_t>(object));
            EXPECT_EQ(status, 0) << step.what;
            expectPictures(form, step.after, step.what);
            EXPECT_EQ(object->PauseCount, step.pauses) << step.what;
        }
        EXPECT_EQ(errors, std::vector<std::string>{});
        EXPECT_EQ(form.referenceCount(), 1u);
    }
}

// Each row breaks one check of the road; the message names the slot or method
// and the entry, and says which check refused it.
TEST(EntryRoad, AnEntryTheRuntimeCannotFollowStopsStartUpNamingIt) {
    const std::uint32_t event1 = eventEntry("Command1"), event2 = eventEntry("Command2");
    const std::uint32_t cleanup = program::codeAddress(program::Code::SlideUnwindCleanup);
    const std::uint32_t padding = symbol("code_start") + 4;  // the code range's 0xCC bytes
    const struct {
        const char* what;
        std::vector<Write> writes;
        bool outsideImage;  // BadAddress rather than BadDescriptor
        std::string message;
    } cases[] = {
        // clang-format off
        {"unknown opcode", {{event1, {0xC3}}}, false,
         "Command1 event slot 0: entry at " + hex(event1) + " holds code the runtime cannot follow (0xC3 at " +
             hex(event1) + ")"},
        {"method on the code range's padding", {{symbol("method_table") + 4, littleEndianBytes(padding)}}, false,
         "method 1: entry at " + hex(padding) + " holds code the runtime cannot follow (0xCC at " + hex(padding) + ")"},
        {"8-bit subtraction from another operand", {{event1, {0x83, 0x6D}}}, false,
         "Command1 event slot 0: entry at " + hex(event1) + " holds code the runtime cannot follow (0x83 at " +
             hex(event1) + ")"},
        {"32-bit subtraction from another operand", {{event2, wideEntry(event2, 4, methodEntry(1))}, {event2 + 3, {0x08}}},
         false,
         "Command2 event slot 0: entry at " + hex(event2) + " holds code the runtime cannot follow (0x81 at " +
             hex(event2) + ")"},
        {"jump to a clean-up", {{event2 + 5, jumpTo(event2 + 5, cleanup)}}, false,
         "Command2 event slot 0: entry at " + hex(event2) + " leads to a handler's clean-up or exit point at " +
             hex(cleanup)},
        {"loop of jumps", {{methodEntry(0), jumpTo(methodEntry(0), event1)}}, false,
         "Command1 event slot 0: entry at " + hex(event1) + " reaches no handler"},
        {"jump out of the image", {{event1 + 5, jumpTo(event1 + 5, 0x7FFF0000)}}, true,
         "Command1 event slot 0: entry at " + hex(event1) +
             " leads outside the image: entry code: 1 bytes at 0x7FFF0000 lie outside the image"},
        {"event slot outside the image", {{symbol("sink_table.Command2") + 24, littleEndianBytes(0xFFFFFF00)}}, true,
         "Command2 event slot 0: entry at 0xFFFFFF00 leads outside the image: entry code: 1 bytes at 0xFFFFFF00 lie "
         "outside the image"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PatchedImage patched(c.writes);
        try {
            runtime::startProject(patched.process(), image_symbols::kProjectHeader);
            ADD_FAILURE() << "started";
        } catch (const std::runtime_error& e) {
            if (c.outsideImage)
                EXPECT_NE(dynamic_cast<const runtime::BadAddress*>(&e), nullptr) << e.what();
            else
                EXPECT_NE(dynamic_cast<const runtime::BadDescriptor*>(&e), nullptr) << e.what();
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace zelk::tests
