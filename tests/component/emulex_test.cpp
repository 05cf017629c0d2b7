#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "engine_fixture.h"
#include "test_component.h"
#include "vendors/emulex_component.h"

namespace {

using Emulex = Exposed<EmulexComp::CComponent>;

// A kit archive in the working directory whose script answers "/q" with these lines.
void MakeKit(const std::string& queryOutput) {
    InstallEngine("kit/elxflashStandalone-1.2/lx/elxflash.sh");
    ASSERT_EQ(std::system("cd kit && zip -qr ../elxflashStandalone-1.2.zip . && cd .. && rm -rf kit"), 0);
    std::ofstream("engine-query") << queryOutput;
}

const char kLine[] =
    "HBA=LPe12002, Port Type=FC, PCI ID=fe00, VID=10df, SSID=fe12, SVID=10df, Firmware=US201A12, Boot Code=UU503A1, Model=x\n";

TEST(EmulexZeroPad4, PadsToFour) {
    EXPECT_EQ(EmulexComp::CComponent::ZeroPad4("10"), "0010");
    EXPECT_EQ(EmulexComp::CComponent::ZeroPad4(""), "0000");
    EXPECT_EQ(EmulexComp::CComponent::ZeroPad4("10df"), "10df");
    EXPECT_EQ(EmulexComp::CComponent::ZeroPad4("12345"), "12345");
}

TEST(EmulexNormalizeVersion, UpToFirstBlank) {
    EmulexComp::CComponent cmp;
    EXPECT_EQ(cmp.NormalizeVersion(L"2.01a12 (beta)"), L"2.01a12");
    EXPECT_EQ(cmp.NormalizeVersion(L"2.01"), L"2.01");
}

TEST(EmulexDiscover, UnpacksQueriesAndListsTwoItemsPerAdapter) {
    MakeKit(std::string(kLine) + "garbage line\n\n" +
            "HBA=OCe11102, PCI ID=10, VID=19A2, SSID=e60e, SVID=10df, Firmware=FW, Boot Code=BC4.0\n" +
            "HBA=LPe, PCI ID=f100, VID=10df, SSID=f100, SVID=10df, Firmware=XX10, Boot Code=XX10\n" +
            kLine);  // no line end after the last line
    Emulex cmp;
    cmp.AddCatalogueDevice(L"10DF.FE00.10DF.FE12", L"503a1", L"202a0", L"LPe12002-M8");
    cmp.AddCatalogueDevice(L"19a2.0010.10df.e60e", L"", L"1.0", L"OCe11102");
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(cmp.Discover());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Preparing the Emulex Kit...done\n");
    EXPECT_EQ(FileMode("elxflashStandalone-1.2/lx/elxflash.sh"), 0755);
    EXPECT_EQ(ReadFile("engine-calls"), "./elxflashStandalone-1.2/lx/elxflash.sh /q\n");

    ASSERT_EQ(cmp.discovery.devices.size(), 3u);
    const CDevice& lpe = cmp.discovery.devices[0];
    EXPECT_EQ(lpe.device_id, L"10df.fe00.10df.fe12");  // the tool's letter case kept
    EXPECT_EQ(lpe.product_id, L"LPe12002-M8");
    ASSERT_EQ(lpe.fw_items.size(), 2u);
    EXPECT_EQ(lpe.fw_items[0].type, L"Firmware");
    EXPECT_EQ(lpe.fw_items[0].version, L"202a0");
    EXPECT_EQ(lpe.fw_items[0].active_version, L"201A12");
    EXPECT_EQ(lpe.fw_items[0].shared, L"no");
    EXPECT_EQ(lpe.fw_items[1].type, L"Boot BIOS ROM");
    EXPECT_EQ(lpe.fw_items[1].version, L"503a1");
    EXPECT_EQ(lpe.fw_items[1].active_version, L"503A1");
    EXPECT_EQ(lpe.fw_items[1].shared, L"");
    EXPECT_EQ(lpe.fw_items[1].duration, L"90");

    const CDevice& oce = cmp.discovery.devices[1];
    EXPECT_EQ(oce.device_id, L"19A2.0010.10df.e60e");
    EXPECT_EQ(oce.fw_items[0].active_version, L"");     // a two-character firmware text
    EXPECT_EQ(oce.fw_items[0].action, L"upgrade");
    EXPECT_EQ(oce.fw_items[1].active_version, L"");     // OneConnect: no boot code version
    EXPECT_EQ(oce.fw_items[1].action, L"rewrite");      // against an empty packaged bios

    EXPECT_EQ(cmp.discovery.devices[2].device_id, lpe.device_id);  // the same adapter twice
    EXPECT_EQ(cmp.discovery.type, L"");
}

// PrepareKit in a child whose standard input is a terminal, as under an
// administrator's shell, where an answer already waits: unzip, were it to
// ask about the unpacked kit, would read it and replace every file. Its
// result, or -1 when it could not be run.
int PrepareKitWithReplaceAllWaitingOnTerminal() {
    int master, terminal;
    if (openpty(&master, &terminal, nullptr, nullptr, nullptr) != 0) return -1;
    const std::string answer = "A\n";
    pid_t child = -1;
    if (write(master, answer.data(), answer.size()) == static_cast<ssize_t>(answer.size())) child = fork();
    if (child == 0) {
        dup2(terminal, STDIN_FILENO);
        Emulex cmp;
        cmp.log.SetQuiet(true);
        _exit(cmp.PrepareKit());
    }
    close(terminal);
    int status = 0;
    const bool ended = child > 0 && waitpid(child, &status, 0) == child;
    close(master);
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(EmulexPrepareKit, LaterRunKeepsTheUnpackedKitWithoutAsking) {
    MakeKit("");
    {
        Emulex cmp;
        cmp.log.SetQuiet(true);
        EXPECT_EQ(cmp.PrepareKit(), 0);
    }
    const char kScript[] = "elxflashStandalone-1.2/lx/elxflash.sh";
    std::ofstream(kScript, std::ios::app) << "# changed after unpacking\n";
    EXPECT_EQ(PrepareKitWithReplaceAllWaitingOnTerminal(), 0);
    EXPECT_NE(ReadFile(kScript).find("# changed after unpacking\n"), std::string::npos) << "unzip asked";
    EXPECT_EQ(FileMode(kScript), 0755);
}

TEST(EmulexDiscover, NoKitListsNothingAndStillSucceeds) {
    Emulex cmp;
    cmp.log.SetQuiet(true);
    cmp.AddCatalogueDevice(L"10df.fe00.10df.fe12");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(cmp.Discover());
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(cmp.discovery.devices.empty());
}

class EmulexFlashTest : public ::testing::TestWithParam<EngineCase> {};

TEST_P(EmulexFlashTest, MapsTheScriptCode) {
    InstallEngine("elxflashStandalone-1.2/lx/elxflash.sh");
    ASSERT_EQ(std::system("chmod 755 elxflashStandalone-1.2/lx/elxflash.sh"), 0);  // discovery made it executable
    EngineEnds(GetParam().ends);
    Emulex cmp;
    cmp.log.SetQuiet(true);
    EXPECT_EQ(cmp.Flash(), GetParam().status);
    EXPECT_TRUE(LoggedEngineCode(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Codes, EmulexFlashTest,
                         ::testing::Values(EngineCase{"exit 0", 0, 1}, EngineCase{"exit 1", 1, 3},
                                           EngineCase{"exit 2", 2, 7}, EngineCase{"exit 6", 6, 7},
                                           EngineCase{"exit 7", 7, 7}, EngineCase{"exit 8", 8, 8},
                                           EngineCase{"exit 200", 200, 200}, EngineCase{"kill KILL", 137, 137},
                                           EngineCase{"kill-shell KILL", 137, 137}));

TEST(EmulexFlash, UpdateOrForceAndTheLoggedCommand) {
    InstallEngine("elxflashStandalone-1.2/lx/elxflash.sh");
    ASSERT_EQ(std::system("chmod 755 elxflashStandalone-1.2/lx/elxflash.sh"), 0);
    EngineEnds("exit 0");
    Emulex cmp;
    cmp.silent = true;  // never passed to the script
    ::testing::internal::CaptureStdout();
    cmp.Flash();
    cmp.force = true;
    cmp.Flash();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadFile("engine-calls"),
              "./elxflashStandalone-1.2/lx/elxflash.sh /update\n./elxflashStandalone-1.2/lx/elxflash.sh /f\n");
    EXPECT_EQ(out,
              "Executing flash engine: ./elxflashStandalone*/lx/elxflash.sh  /update 1>> /var/orbil/Component.log 2>&1 3>&1\n"
              "Flash Engine exit code: 0\n"
              "Executing flash engine: ./elxflashStandalone*/lx/elxflash.sh  /f 1>> /var/orbil/Component.log 2>&1 3>&1\n"
              "Flash Engine exit code: 0\n");
}

}  // namespace
