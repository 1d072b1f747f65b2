// The counted loop over a variant, sums and conversions.
#include "runtime_interface/raised_error.h"
#include "runtime/exports.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelk::tests {
namespace {

using namespace runtime;
using runtime_interface::Variant;
using runtime_interface::VariantType;

std::vector<std::int64_t> runLoop(Variant start, Variant end, Variant step, Variant* counterOut = nullptr) {
    Variant counter{}, a{}, b{};
    std::vector<std::int64_t> seen;
    if (__vbaVarForInit(&counter, &a, &b, &start, &end, &step)) {
        do {
            seen.push_back(counter.type == VariantType::Integer16 ? counter.integer16 : counter.integer32);
            if (seen.size() > 100000) break;
        } while (__vbaVarForNext(&counter, &a, &b));
    }
    if (counterOut) *counterOut = counter;
    return seen;
}

TEST(CountedLoop, StepsFrom0To8000By400AndLeaves8400AsA16BitInteger) {
    Variant counter{};
    const auto seen = runLoop(runtime_interface::integer16Variant(0),
                              runtime_interface::integer16Variant(8000),
                              runtime_interface::integer16Variant(400),
                              &counter);
    ASSERT_EQ(seen.size(), 21u);
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 400 * std::int64_t(i));
    EXPECT_EQ(counter.type, VariantType::Integer16);
    EXPECT_EQ(counter.integer16, 8400);
}

TEST(CountedLoop, KeepsEndAndStepInTheHiddenPairSoTheConstantsAreFree) {
    Variant counter{}, a{}, b{};
    Variant start = runtime_interface::integer16Variant(0), end = runtime_interface::integer16Variant(8000),
            step = runtime_interface::integer16Variant(400);
    ASSERT_TRUE(__vbaVarForInit(&counter, &a, &b, &start, &end, &step));
    EXPECT_EQ(a.type, VariantType::Integer16);
    EXPECT_EQ(a.integer16, 8000) << "the pair holds the end";
    EXPECT_EQ(b.type, VariantType::Integer16);
    EXPECT_EQ(b.integer16, 400) << "and the step";
    step = runtime_interface::integer16Variant(100);  // reused, as the gallop does for its sums
    end = runtime_interface::integer16Variant(0);
    int passes = 1;
    while (__vbaVarForNext(&counter, &a, &b)) ++passes;
    EXPECT_EQ(passes, 21);
    __vbaFreeVarList(2, &a, &b);
    EXPECT_EQ(a.type, VariantType::Empty);
    EXPECT_EQ(b.type, VariantType::Empty);
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
        EXPECT_EQ(runLoop(runtime_interface::integer16Variant(c.start),
                          runtime_interface::integer16Variant(c.end),
                          runtime_interface::integer16Variant(c.step))
                      .size(),
                  c.passes)
            << c.name;
}

TEST(VariantOperations, SumConversionAndFree) {
    Variant sum{}, addend = runtime_interface::integer16Variant(200), value = runtime_interface::integer16Variant(8000);
    Variant* result = __vbaVarAdd(&sum, &addend, &value);
    EXPECT_EQ(result, &sum);
    EXPECT_EQ(sum.type, VariantType::Integer16);
    EXPECT_EQ(sum.integer16, 8200);
    EXPECT_EQ(__vbaR4Var(&sum), 8200.0f);
    Variant empty{};
    EXPECT_EQ(__vbaR4Var(&empty), 0.0f);
    __vbaFreeVar(&sum);
    EXPECT_EQ(sum.type, VariantType::Empty);
    __vbaFreeVar(&sum);  // freeing an empty variant does nothing
    EXPECT_EQ(sum.type, VariantType::Empty);

    Variant big = runtime_interface::integer16Variant(32767), one = runtime_interface::integer16Variant(1);
    __vbaVarAdd(&sum, &one, &big);
    EXPECT_EQ(sum.type, VariantType::Integer32);
    EXPECT_EQ(sum.integer32, 32768);

    Variant odd{};
    odd.type = VariantType(8);  // a string: not a number here
    EXPECT_THROW(__vbaVarAdd(&sum, &odd, &one), runtime_interface::RaisedError);
    EXPECT_THROW(__vbaR4Var(&odd), runtime_interface::RaisedError);
}

}  // namespace
}  // namespace zelk::tests
