// The real executable in the sandbox, on simulated adapters: the demo's
// machine (two libraries, two adapters) with the fake vendor library copied
// to the paths its "/etc/hba.conf" and the vendor lookup name.
#include <gtest/gtest.h>

#include "fake_hba_world.h"
#include "sandbox_run.h"

namespace {

TEST(HbaEndToEnd, TwoAdaptersThroughTwoLibrariesReachTheReport) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    // The libraries' call traces stay in the sandbox, so they are shown after the run.
    const SandboxResult r = sandbox.RunShell(ShellQuote(FCHBA_COMPONENT_EXE) +
                                             " /d report.xml; status=$?; echo '--- traces';"
                                             " cat /usr/lib/libqlsdm.so.trace /usr/lib64/libemsdm.so.trace;"
                                             " exit $status");
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 3) << r.out << r.err;
    const std::string console = r.out.substr(0, r.out.find("--- traces"));
    const std::string traces = r.out.substr(console.size());
    EXPECT_NE(console.find("Generating self-discovery XML...done."), std::string::npos) << console;
    EXPECT_EQ(console.find("No supported adapters found"), std::string::npos) << console;
    EXPECT_EQ(console.find("MRA get returned failed status!"), std::string::npos) << console;
    EXPECT_NE(traces.find("ORBILFC_GetAdapterAttributes2 1"), std::string::npos)
        << "the QLogic adapter was completed through its own library\n" << traces;
    EXPECT_NE(traces.find("ORBILFC_OpenAdapter Emulex-LPe12002-0"), std::string::npos)
        << "the Emulex adapter was completed through its management library\n" << traces;

    const std::string report = r.WorkFile("report.xml");
    EXPECT_NE(report.find("zorv_rom_discovery"), std::string::npos);
    EXPECT_NE(report.find("Fibre Channel HBA"), std::string::npos)
        << "the header type comes from the catalogue once adapters were found";
}

TEST(HbaEndToEnd, NoLibraryListEndsWithSeven) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    sandbox.Write("etc/hba.conf", "# nothing installed\n");
    const SandboxResult r = sandbox.RunComponent({"/d", "report.xml"});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 7);
    EXPECT_NE(r.out.find("WARNING! : No supported adapters found."), std::string::npos) << r.out;
    EXPECT_FALSE(r.HasWorkFile("report.xml"));
}

TEST(HbaEndToEnd, PartlyReadAdapterIsReportedOnTheConsoleOnlyEvenWhenSilent) {
    SandboxCase sandbox;
    LayDemoMachine(sandbox);
    sandbox.Write("usr/lib/libqlsdm.so.fixture", "adapter qlogic-QLE2562-0\nfail attributes\n");
    const SandboxResult r = sandbox.RunComponent({"/s", "/d", "report.xml"});
    ASSERT_TRUE(r.ran) << r.err;
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "MRA get returned failed status!\n");
    EXPECT_EQ(r.log.find("MRA get"), std::string::npos);
}

}  // namespace
