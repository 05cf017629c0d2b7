#include <gtest/gtest.h>

#include <string>

#include "hba_conf_line.h"

namespace {

struct LineCase {
    const char* label;
    std::string line;
    bool accepted;
    const char* name;
    const char* path;
};

const LineCase kLines[] = {
    {"TabSeparates", "qla\t/usr/lib/libqlsdm.so\n", true, "qla", "/usr/lib/libqlsdm.so"},
    {"BlanksAfterSeparatorSkipped", "qla\t  \t /usr/lib/libqlsdm.so\n", true, "qla", "/usr/lib/libqlsdm.so"},
    {"SpaceSeparatesWithoutTab", "qla /usr/lib/libqlsdm.so\n", true, "qla", "/usr/lib/libqlsdm.so"},
    {"TabWinsOverEarlierSpace", "qla more\t/lib/x.so\n", true, "qla more", "/lib/x.so"},
    {"CarriageReturnCuts", "qla\t/lib/x.so\r\n", true, "qla", "/lib/x.so"},
    {"TrailingBlanksCut", "qla\t/lib/x.so  \t\n", true, "qla", "/lib/x.so"},
    {"DashCuts", "qla\t/usr/lib64/libqlsdm-x86_64.so\n", true, "qla", "/usr/lib64/libqlsdm"},
    {"HighByteCuts", "qla\t/lib/\xC3\xA9x.so\n", true, "qla", "/lib/"},
    {"UnderscoreDigitsKept", "em\t/opt/E_m/lib9.so.1\n", true, "em", "/opt/E_m/lib9.so.1"},
    {"NoNewlineAtEnd", "qla\t/lib/x.so", true, "qla", "/lib/x.so"},
    {"LaterHashIsOrdinary", "q#la\t/lib/x.so\n", true, "q#la", "/lib/x.so"},
    {"FilteredToNothingStillTaken", "qla\t-x.so\n", true, "qla", ""},
    {"CommentSkipped", "#qla\t/lib/x.so\n", false, "", ""},
    {"EmptyLineSkipped", "\n", false, "", ""},
    {"NoSeparatorSkipped", "qla/lib/x.so\n", false, "", ""},
    {"EmptyNameSkipped", "\t/lib/x.so\n", false, "", ""},
    {"EmptyPathSkipped", "qla \t \n", false, "", ""},
    {"LongNameCutToField", std::string(80, 'n') + "\t/lib/x.so\n", true, "", "/lib/x.so"},
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.label; }

class HbaConfLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(HbaConfLine, ParsesAsListed) {
    const LineCase& c = GetParam();
    char name[kHbaLibraryNameSize] = "untouched";
    char path[kHbaConfPathSize] = "untouched";
    ASSERT_EQ(ParseHbaConfLine(c.line.c_str(), name, path), c.accepted);
    if (!c.accepted) return;
    EXPECT_STREQ(path, c.path);
    if (c.name[0]) EXPECT_STREQ(name, c.name);
    else EXPECT_EQ(std::string(name), std::string(kHbaLibraryNameSize - 1, 'n'));
}

INSTANTIATE_TEST_SUITE_P(Forms, HbaConfLine, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(HbaConfLineBounds, LongPathCutToField) {
    const std::string line = "qla\t/" + std::string(400, 'p') + "\n";
    char name[kHbaLibraryNameSize];
    char path[kHbaConfPathSize];
    ASSERT_TRUE(ParseHbaConfLine(line.c_str(), name, path));
    EXPECT_EQ(std::string(path), "/" + std::string(kHbaConfPathSize - 2, 'p'));
}

}  // namespace
