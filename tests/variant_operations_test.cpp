// The counted loop over a variant, sums and conversions.
#include "runtime_interface/raised_error.h"
#include "runtime_interface/vb_operations.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelk::vb {
namespace {

std::vector<std::int64_t> runLoop(Variant start, Variant end, Variant step, Variant* counterOut = nullptr) {
    Variant counter{}, a{}, b{};
    std::vector<std::int64_t> seen;
    if (__vbaVarForInit(&counter, &a, &b, &start, &end, &step)) {
        do {
            seen.push_back(counter.vt == VT_I2 ? counter.iVal : counter.lVal);
            if (seen.size() > 100000) break;
        } while (__vbaVarForNext(&counter, &a, &b));
    }
    if (counterOut) *counterOut = counter;
    return seen;
}

TEST(CountedLoop, StepsFrom0To8000By400AndLeaves8400AsA16BitInteger) {
    Variant counter{};
    const auto seen = runLoop(makeI2(0), makeI2(8000), makeI2(400), &counter);
    ASSERT_EQ(seen.size(), 21u);
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 400 * std::int64_t(i));
    EXPECT_EQ(counter.vt, VT_I2);
    EXPECT_EQ(counter.iVal, 8400);
}

TEST(CountedLoop, KeepsEndAndStepInTheHiddenPairSoTheConstantsAreFree) {
    Variant counter{}, a{}, b{};
    Variant start = makeI2(0), end = makeI2(8000), step = makeI2(400);
    ASSERT_TRUE(__vbaVarForInit(&counter, &a, &b, &start, &end, &step));
    EXPECT_EQ(a.vt, VT_I2);
    EXPECT_EQ(a.iVal, 8000) << "the pair holds the end";
    EXPECT_EQ(b.vt, VT_I2);
    EXPECT_EQ(b.iVal, 400) << "and the step";
    step = makeI2(100);  // reused, as the gallop does for its sums
    end = makeI2(0);
    int passes = 1;
    while (__vbaVarForNext(&counter, &a, &b)) ++passes;
    EXPECT_EQ(passes, 21);
    __vbaFreeVarList(2, &a, &b);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(b.vt, VT_EMPTY);
}

TEST(CountedLoop, EdgeCases) {
    struct Case {
        const char* name;
        std::int16_t start, end, step;
        std::size_t passes;
    } cases[] = {
        {"start past the end: no pass", 10, 0, 1, 0},
        {"end itself runs", 0, 8, 4, 3},
        {"counting down", 5, 1, -2, 3},
        {"single pass", 7, 7, 400, 1},
        {"past the 16-bit range widens instead of wrapping", 32000, 32767, 400, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runLoop(makeI2(c.start), makeI2(c.end), makeI2(c.step)).size(), c.passes) << c.name;
}

TEST(VariantOperations, SumConversionAndFree) {
    Variant sum{}, addend = makeI2(200), value = makeI2(8000);
    Variant* result = __vbaVarAdd(&sum, &addend, &value);
    EXPECT_EQ(result, &sum);
    EXPECT_EQ(sum.vt, VT_I2);
    EXPECT_EQ(sum.iVal, 8200);
    EXPECT_EQ(__vbaR4Var(&sum), 8200.0f);
    Variant empty{};
    EXPECT_EQ(__vbaR4Var(&empty), 0.0f);
    __vbaFreeVar(&sum);
    EXPECT_EQ(sum.vt, VT_EMPTY);
    __vbaFreeVar(&sum);  // freeing an empty variant does nothing
    EXPECT_EQ(sum.vt, VT_EMPTY);

    Variant big = makeI2(32767), one = makeI2(1);
    __vbaVarAdd(&sum, &one, &big);
    EXPECT_EQ(sum.vt, VT_I4);
    EXPECT_EQ(sum.lVal, 32768);

    Variant odd{};
    odd.vt = 8;  // a string: not a number here
    EXPECT_THROW(__vbaVarAdd(&sum, &odd, &one), RaisedError);
    EXPECT_THROW(__vbaR4Var(&odd), RaisedError);
}

}  // namespace
}  // namespace zelk::vb
