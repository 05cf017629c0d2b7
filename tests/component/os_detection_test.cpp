#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "test_component.h"

namespace {

struct ReleaseCase {
    const char* name;
    const char* redhat;  // contents of /etc/redhat-release, or null for none
    const char* suse;
    const wchar_t* os;
};

void PrintTo(const ReleaseCase& c, std::ostream* os) { *os << c.name; }

const ReleaseCase kReleases[] = {
    {"rhel5", "Red Hat Enterprise Linux Server release 5.4 (Tikanga)\n", nullptr, L"rhel5"},
    {"rhel4", "Red Hat Enterprise Linux AS release 4 (Nahant Update 8)\n", nullptr, L"rhel4"},
    {"rhel6_two_lines", "Red Hat Enterprise Linux Server release 6.2 (Santiago)\nKernel \\r\n", nullptr, L"rhel6"},
    {"rhel7", "Red Hat Enterprise Linux Server release 7.9 (Maipo)\n", nullptr, L""},
    {"leading_blank", " Red Hat Enterprise Linux Server release 5.4\n", nullptr, L""},
    {"other_vendor", "CentOS release 5.4 (Final)\n", nullptr, L""},
    {"lower_case", "red hat enterprise linux server release 5.4\n", nullptr, L""},
    {"sles11", nullptr, "SUSE Linux Enterprise Server 11 (x86_64)\nVERSION = 11\nPATCHLEVEL = 1\n", L"sles11"},
    {"sles10", nullptr, "SUSE Linux Enterprise Server 10 (x86_64)\nVERSION = 10\n", L"sles10"},
    {"sles12", nullptr, "SUSE Linux Enterprise Server 12\n", L""},
    {"opensuse", nullptr, "openSUSE 11.4 (x86_64)\n", L""},
    {"redhat_file_decides", "Fedora release 14\n", "SUSE Linux Enterprise Server 11\n", L""},
    {"both_files_redhat_wins", "Red Hat Enterprise Linux Server release 6.0\n", "SUSE Linux Enterprise Server 11\n", L"rhel6"},
    {"no_file", nullptr, nullptr, L""},
};

class DetectOSTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(DetectOSTest, NamesTheDistribution) {
    const ReleaseCase& c = GetParam();
    std::remove("/etc/redhat-release");
    std::remove("/etc/SuSE-release");
    if (c.redhat) std::ofstream("/etc/redhat-release") << c.redhat;
    if (c.suse) std::ofstream("/etc/SuSE-release") << c.suse;
    TestCmp cmp;
    EXPECT_EQ(cmp.DetectOS(), 0);
    EXPECT_EQ(cmp.discovery.osName, c.os);
}

INSTANTIATE_TEST_SUITE_P(Releases, DetectOSTest, ::testing::ValuesIn(kReleases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
