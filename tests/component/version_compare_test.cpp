#include <gtest/gtest.h>

#include "base_cmp.h"
#include "version_compare.h"

namespace {

struct CompareCase {
    const wchar_t* packaged;
    const wchar_t* installed;
    int sign;  // of the result
    bool unit; // the result is exactly -1, 0 or 1
};

void PrintTo(const CompareCase& c, std::ostream* os) { *os << "'" << c.packaged << "' vs '" << c.installed << "'"; }

const CompareCase kCompares[] = {
    {L"1.2.3", L"1.2.3", 0, true},   {L"", L"", 0, true},           {L"", L"1", -1, true},
    {L"1", L"", 1, true},            {L"1.2.", L"1.2", 0, true},    {L".", L"", 1, true},
    {L"1..2", L"1.0.2", -1, false},  {L"5", L"05", 0, true},        {L"10", L"9", 1, true},
    {L"2.10", L"2.9", 1, true},      {L"2.10a", L"2.9a", -1, false}, {L"1.0", L"1.0.0", -1, true},
    {L"1.0.0", L"1.0", 1, true},     {L"007", L"7", 0, true},       {L"+1", L"1", -1, false},
    {L" 1", L"1", -1, false},        {L"3.00", L"2.10", 1, true},   {L"2.10", L"3.00", -1, true},
    // Beyond any int: still by value.
    {L"99999999999999999999", L"99999999999999999998", 1, true},
    {L"4294967296", L"2147483648", 1, true},
    {L"00000000000000000000001", L"1", 0, true},
};

class CompareVersionsTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareVersionsTest, ComparesPartByPart) {
    const CompareCase& c = GetParam();
    const int r = CBaseCmp::CompareVersions(c.packaged, c.installed);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << r;
    if (c.unit) {
        EXPECT_EQ(r, c.sign);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, CompareVersionsTest, ::testing::ValuesIn(kCompares));

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
