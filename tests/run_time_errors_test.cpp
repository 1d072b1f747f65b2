// The run-time errors as the user reads them: the number and the text that
// each raising operation gives, and those of errors that escape a handler.
#include "runtime/exports.h"
#include "runtime/process.h"
#include "runtime/run_time_errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace zelk::tests {
namespace {

using runtime_interface::RaisedError;
using runtime_interface::Variant;
using runtime_interface::VariantType;

Variant integer32(std::int32_t value) {
    Variant v{};
    v.type = VariantType::Integer32;
    v.integer32 = value;
    return v;
}

Variant text() {
    Variant v{};
    v.type = VariantType(8);  // a string: not a number here
    return v;
}

void failedPut(std::uint32_t status) { runtime::__vbaHresultCheckObj(std::int32_t(status), nullptr, nullptr, 100); }

TEST(RunTimeErrors, EachRaiseReachesTheUserWithItsNumberAndText) {
    const struct {
        const char* name;
        std::function<void()> raise;
        const char* message;
    } cases[] = {
        {"overflow", [] { runtime::__vbaErrorOverflow(); }, "Run-time error '6':\n\nOverflow"},
        {"floating-point fault", [] { runtime::__vbaFPException(); }, "Run-time error '6':\n\nOverflow"},
        {"sum past 32 bits",
         [] {
             Variant sum{}, big = integer32(std::numeric_limits<std::int32_t>::max()), one = integer32(1);
             runtime::__vbaVarAdd(&sum, &one, &big);
         },
         "Run-time error '6':\n\nOverflow"},
        {"sum of a string",
         [] {
             Variant sum{}, odd = text(), one = integer32(1);
             runtime::__vbaVarAdd(&sum, &odd, &one);
         },
         "Run-time error '13':\n\nType mismatch"},
        {"single of a string",
         [] {
             const Variant odd = text();
             runtime::__vbaR4Var(&odd);
         },
         "Run-time error '13':\n\nType mismatch"},
        {"loop over a string",
         [] {
             Variant counter{}, end{}, step{}, odd = text(), one = integer32(1);
             runtime::__vbaVarForInit(&counter, &end, &step, &odd, &one, &one);
         },
         "Run-time error '13':\n\nType mismatch"},
        {"put failed with 5",
         [] { failedPut(0x800A0005); },
         "Run-time error '5':\n\nInvalid procedure call or argument"},
        {"put failed with 6", [] { failedPut(0x800A0006); }, "Run-time error '6':\n\nOverflow"},
        {"put failed with 7", [] { failedPut(0x800A0007); }, "Run-time error '7':\n\nOut of memory"},
        {"put failed with 11", [] { failedPut(0x800A000B); }, "Run-time error '11':\n\nDivision by zero"},
        {"put failed with 13", [] { failedPut(0x800A000D); }, "Run-time error '13':\n\nType mismatch"},
        {"put failed with 91",
         [] { failedPut(0x800A005B); },
         "Run-time error '91':\n\nObject variable or With block variable not set"},
        {"put failed with 380", [] { failedPut(0x800A017C); }, "Run-time error '380':\n\nInvalid property value"},
        {"put failed with an unknown number",
         [] { failedPut(0x800A03E8); },
         "Run-time error '1000':\n\nApplication-defined or object-defined error"},
        {"put failed outside the control facility",
         [] { failedPut(0x8007000E); },
         "Run-time error '-2147024882':\n\nAutomation error (status 0x8007000E)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.raise();
            ADD_FAILURE() << "nothing raised";
        } catch (const RaisedError& e) {
            EXPECT_EQ(runtime::runTimeErrorMessage(e), c.message);
        }
    }
}

TEST(RunTimeErrors, AnErrorFromOutsideTheProgramReadsAsOutOfMemoryOrAnInternalError) {
    const struct {
        RaisedError error;
        const char* message;
    } cases[] = {
        {runtime::runTimeError(runtime::RunTimeError::OutOfMemory), "Run-time error '7':\n\nOut of memory"},
        {runtime::runTimeError(runtime::RunTimeError::InternalError, "the window system failed"),
         "Run-time error '51':\n\nInternal error: the window system failed"},
        {runtime::runTimeError(runtime::RunTimeError::InternalError), "Run-time error '51':\n\nInternal error"},
    };
    for (const auto& c : cases) EXPECT_EQ(runtime::runTimeErrorMessage(c.error), c.message);
}

}  // namespace
}  // namespace zelk::tests
