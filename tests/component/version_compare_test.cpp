#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base_cmp.h"
#include "version_compare.h"

namespace {

struct CompareCase {
    const wchar_t* packaged;
    const wchar_t* installed;
    int result;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(std::wstring(c.packaged)) << " vs "
        << ::testing::PrintToString(std::wstring(c.installed));
}

const CompareCase kCompares[] = {
    {L"1.2.3", L"1.2.3", 0},  {L"", L"", 0},          {L"", L"1", -1},        {L"1", L"", 1},
    {L"1.2.", L"1.2", 0},     {L".", L"", 1},         {L"1..2", L"1.0.2", -1}, {L"5", L"05", 0},
    {L"10", L"9", 1},         {L"2.10", L"2.9", 1},   {L"2.10a", L"2.9a", -1}, {L"1.0", L"1.0.0", -1},
    {L"1.0.0", L"1.0", 1},    {L"007", L"7", 0},      {L"+1", L"1", -1},       {L" 1", L"1", -1},
    {L"3.00", L"2.10", 1},    {L"2.10", L"3.00", -1}, {L"v", L"Undefined", 1}, {L"99.2.1", L"'", 1},
    // Beyond any int: still by value.
    {L"99999999999999999999", L"99999999999999999998", 1},
    {L"4294967296", L"2147483648", 1},
    {L"00000000000000000000001", L"1", 0},
};

class CompareVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTest, ComparesPartByPart) {
    EXPECT_EQ(CBaseCmp::CompareVersions(GetParam().packaged, GetParam().installed), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Versions, CompareVersionsTest, ::testing::ValuesIn(kCompares));

// glibc's optimised wcscmp gives magnitudes other than 1 for texts near the
// end of a memory page, which would turn an action into "unknown" in one run
// and not in the next. Each round keeps blocks of the sizes a comparison
// allocates, so the next round's parts lie further on in the heap.
TEST(CompareVersions, TextPartsGiveOneResultWhereverTheyLie) {
    std::vector<std::unique_ptr<char[]>> kept;
    for (int round = 0; round < 4000; ++round) {
        for (const CompareCase& c : kCompares)
            ASSERT_EQ(CBaseCmp::CompareVersions(c.packaged, c.installed), c.result)
                << "'" << c.packaged << "' vs '" << c.installed << "', round " << round;
        for (size_t size = 8; size <= 64; size += 8) kept.push_back(std::make_unique<char[]>(size));
    }
}

TEST(SplitString, KeepsEmptyPartsButNotAnEmptyLastOne) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(SplitString(L"1..2", L'.'), (V{L"1", L"", L"2"}));
    EXPECT_EQ(SplitString(L"1.2.", L'.'), (V{L"1", L"2"}));
    EXPECT_EQ(SplitString(L".", L'.'), (V{L""}));
    EXPECT_EQ(SplitString(L".5", L'.'), (V{L"", L"5"}));
    EXPECT_EQ(SplitString(L"", L'.'), V{});
    EXPECT_EQ(SplitString(L"abc", L'.'), (V{L"abc"}));
}

TEST(ActionFor, MapsOnlyTheUnitResults) {
    EXPECT_EQ(ActionFor(1), L"upgrade");
    EXPECT_EQ(ActionFor(-1), L"downgrade");
    EXPECT_EQ(ActionFor(0), L"rewrite");
    EXPECT_EQ(ActionFor(2), L"unknown");
    EXPECT_EQ(ActionFor(-7), L"unknown");
}

}  // namespace
