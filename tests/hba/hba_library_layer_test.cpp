#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dynamic_library.h"
#include "fake_hba_world.h"
#include "hba_api.h"

namespace {

const std::string kLibA = "/usr/lib/fakehba/liba.so";
const std::string kLibB = "/usr/lib/fakehba/libb.so";

bool Loaded(int libraryIndex) {
    int index;
    HBA_HANDLE vendor;
    return HbaDecodeHandle(static_cast<HBA_HANDLE>(libraryIndex) << 16 | 1, &index, &vendor) == HBA_STATUS_OK;
}

std::string NameAt(HBA_UINT32 i) {
    char name[64] = {};
    return HBA_GetAdapterName(i, name) == HBA_STATUS_OK ? name : "<none>";
}

class HbaLibraryLayer : public ::testing::Test {
protected:
    void TearDown() override { HBA_FreeLibrary(); }

    // Two libraries: a0, a1 in the first, b0 in the second.
    void LoadTwoLibraries(const std::string& extraB = "") {
        world.InstallLibrary(kLibA, "adapter a0\nadapter a1\n");
        world.InstallLibrary(kLibB, "adapter b0\n" + extraB);
        world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibB + "\n");
        ASSERT_EQ(HBA_LoadLibrary(), HBA_STATUS_OK);
        ASSERT_EQ(HBA_GetNumberOfAdapters(), 3u);
    }

    FakeHbaWorld world;
};

TEST_F(HbaLibraryLayer, MissingConfReportsError) {
    std::remove("/etc/hba.conf");
    EXPECT_EQ(HBA_LoadLibrary(), HBA_STATUS_ERROR);
    EXPECT_EQ(HBA_GetNumberOfAdapters(), 0u);
}

// One hba.conf line per way a library can fare, each at its own path.
struct LibraryLine {
    const char* label;
    const char* description;  // none: no file at the path
    FakeLibrary build;
    bool loads;
};

const LibraryLine kLibraryLines[] = {
    {"Good", "adapter good0\n", FakeLibrary::Full, true},
    {"RegisterFails", "fail register\nadapter r\n", FakeLibrary::Full, false},
    {"VersionFails", "fail version\nadapter v\n", FakeLibrary::Full, false},
    {"LoadFails", "fail load\nadapter l\n", FakeLibrary::Full, false},
    {"NoGetVersion", "omit GetVersion\nadapter g\n", FakeLibrary::Full, false},
    {"NoLoadLibrary", "omit LoadLibrary\nadapter o\n", FakeLibrary::Full, false},
    {"NoRegistration", "adapter e\n", FakeLibrary::ExtensionOnly, false},
    {"NoFile", nullptr, FakeLibrary::Full, false},
    {"AlsoGood", "adapter good8\n", FakeLibrary::Full, true},
};

std::string LibraryLinePath(size_t i) { return "/usr/lib/fakehba/lib" + std::to_string(i) + ".so"; }

// How many references the process holds on the library at path. Each probe
// takes one and gives it back with a second one, so the count ends at 0:
// call it only where no table entry should still hold the library.
int ReleaseReferences(const std::string& path) {
    int references = 0;
    while (void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD)) {
        dlclose(library);
        dlclose(library);
        ++references;
    }
    return references;
}

TEST_F(HbaLibraryLayer, EachLineTakesAnIndexAndOnlyWorkingLibrariesLoad) {
    std::string conf = "# vendor libraries\n\n";
    for (size_t i = 0; i < std::size(kLibraryLines); ++i) {
        const LibraryLine& line = kLibraryLines[i];
        if (line.description) world.InstallLibrary(LibraryLinePath(i), line.description, line.build);
        conf += "lib" + std::to_string(i) + " " + LibraryLinePath(i) + "\n";
    }
    world.WriteHbaConf(conf);
    ASSERT_EQ(HBA_LoadLibrary(), HBA_STATUS_OK);
    for (size_t i = 0; i < std::size(kLibraryLines); ++i)
        EXPECT_EQ(Loaded(static_cast<int>(i)), kLibraryLines[i].loads) << kLibraryLines[i].label;
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 2u);
    EXPECT_EQ(NameAt(0), "good0");
    EXPECT_EQ(NameAt(1), "good8");
}

// As on the direct route, where every adapter reloads the table once.
TEST_F(HbaLibraryLayer, LoadFreeCyclesLeaveNoReferenceBehind) {
    std::string conf;
    for (size_t i = 0; i < std::size(kLibraryLines); ++i) {
        const LibraryLine& line = kLibraryLines[i];
        if (line.description) world.InstallLibrary(LibraryLinePath(i), line.description, line.build);
        conf += "lib" + std::to_string(i) + "\t" + LibraryLinePath(i) + "\n";
    }
    world.WriteHbaConf(conf);
    for (int cycle = 0; cycle < 5; ++cycle) {
        HBA_LoadLibrary();
        HBA_FreeLibrary();
    }
    for (size_t i = 0; i < std::size(kLibraryLines); ++i)
        EXPECT_EQ(ReleaseReferences(LibraryLinePath(i)), 0) << kLibraryLines[i].label;
}

TEST_F(HbaLibraryLayer, LibraryWithoutVersionEntryPointKeepsItsState) {
    world.InstallLibrary(kLibA, "adapter a0\n");
    world.WriteHbaConf("a\t" + kLibA + "\n");
    ASSERT_EQ(HBA_LoadLibrary(), HBA_STATUS_OK);
    ASSERT_TRUE(Loaded(0));

    world.Describe(kLibA, "omit GetVersion\nadapter a0\n");
    HBA_LoadLibrary();
    EXPECT_TRUE(Loaded(0)) << "still loaded: nothing changed its state";
    HBA_FreeLibrary();
    HBA_LoadLibrary();
    EXPECT_FALSE(Loaded(0)) << "still unloaded after the free";

    world.Describe(kLibA, "adapter a0\n");
    HBA_LoadLibrary();
    EXPECT_TRUE(Loaded(0));
}

TEST_F(HbaLibraryLayer, AdaptersListedLibraryByLibraryInTheirOwnOrder) {
    LoadTwoLibraries();
    EXPECT_EQ(NameAt(0), "a0");
    EXPECT_EQ(NameAt(1), "a1");
    EXPECT_EQ(NameAt(2), "b0");
    char name[64] = "untouched";
    EXPECT_EQ(HBA_GetAdapterName(3, name), HBA_STATUS_ERROR_ILLEGAL_INDEX);
    EXPECT_STREQ(name, "untouched");
}

TEST_F(HbaLibraryLayer, HandleCarriesLibraryIndexAndVendorHandle) {
    LoadTwoLibraries();
    // The fake hands out 0x5A0000 | (position + 1); only the low half is kept.
    EXPECT_EQ(HBA_OpenAdapter("a1"), 0x00000002u);
    EXPECT_EQ(HBA_OpenAdapter("b0"), 0x00010001u);
    EXPECT_EQ(HBA_OpenAdapter("nobody"), 0u);
}

TEST_F(HbaLibraryLayer, DecodesHandles) {
    world.InstallLibrary(kLibA, "adapter a0\n");
    world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibA + "\nc\t" + kLibA + "\n");
    ASSERT_EQ(HBA_LoadLibrary(), HBA_STATUS_OK);
    const struct {
        HBA_HANDLE handle;
        HBA_STATUS status;
        int library;
        HBA_HANDLE vendor;
    } cases[] = {
        {0x00020005, HBA_STATUS_OK, 2, 5},
        {0x0000FFFF, HBA_STATUS_OK, 0, 0xFFFF},
        {0x00030001, HBA_STATUS_ERROR, -1, 0},               // index in range, nothing loaded there
        {0x00200001, HBA_STATUS_ERROR_INVALID_HANDLE, -1, 0},  // index 32
        {0xFFFF0001, HBA_STATUS_ERROR_INVALID_HANDLE, -1, 0},
    };
    for (const auto& c : cases) {
        int library = -1;
        HBA_HANDLE vendor = 0;
        EXPECT_EQ(HbaDecodeHandle(c.handle, &library, &vendor), c.status) << std::hex << c.handle;
        EXPECT_EQ(library, c.library) << std::hex << c.handle;
        EXPECT_EQ(vendor, c.vendor) << std::hex << c.handle;
    }
}

TEST_F(HbaLibraryLayer, OpenTakesTheFirstAdapterOfThatName) {
    world.InstallLibrary(kLibA, "adapter x\nadapter dup\n");
    world.InstallLibrary(kLibB, "adapter dup\nadapter shut\nfail open\n");
    world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibB + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 4u);
    EXPECT_EQ(HBA_OpenAdapter("dup"), 0x00000002u);
    EXPECT_EQ(HBA_OpenAdapter("shut"), 0u) << "its library's OpenAdapter gave 0";
}

// The layer keeps a library's handle in 16 bits, where 0 would read as no
// handle at all: such an adapter is closed again and does not open.
TEST_F(HbaLibraryLayer, VendorHandleWithoutLowBitsIsClosedAgain) {
    world.InstallLibrary(kLibA, "adapter a0\nhandle 10000\nadapter a1\n");
    world.InstallLibrary(kLibB, "adapter b0\nhandle 7f0000\n");
    world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibB + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 3u);
    EXPECT_EQ(HBA_OpenAdapter("a0"), 0u) << "library 0";
    EXPECT_EQ(HBA_OpenAdapter("b0"), 0u) << "library 1";
    EXPECT_EQ(HBA_OpenAdapter("a1"), 0x00000002u);
    const std::string traceA = world.Trace(kLibA);
    EXPECT_NE(traceA.find("OpenAdapter a0\nCloseAdapter 65536\n"), std::string::npos) << traceA;
    EXPECT_EQ(CountOf(traceA, "CloseAdapter"), 1) << "an ordinary handle stays open";
    EXPECT_NE(world.Trace(kLibB).find("OpenAdapter b0\nCloseAdapter 8323072\n"), std::string::npos);
}

// Only a handle whose whole low 16 bits are 0 names no adapter: one whose
// low byte is 0 but not the byte above it is kept and handed back intact.
TEST_F(HbaLibraryLayer, VendorHandleWithZeroLowByteIsKept) {
    LoadTwoLibraries("handle 10100\n");
    const HBA_HANDLE handle = HBA_OpenAdapter("b0");
    EXPECT_EQ(handle, 0x00010100u) << "library 1, vendor handle 0x100";
    HBA_CloseAdapter(handle);
    const std::string trace = world.Trace(kLibB);
    EXPECT_NE(trace.find("OpenAdapter b0\nCloseAdapter 256\n"), std::string::npos) << trace;
    EXPECT_EQ(CountOf(trace, "CloseAdapter"), 1) << trace;
}

// A library without CloseAdapter whose handle cannot be carried: the adapter
// does not open, and no close is attempted through the empty slot.
TEST_F(HbaLibraryLayer, UnrepresentableHandleOfALibraryWithoutCloseIsLeft) {
    world.InstallLibrary(kLibA, "omit CloseAdapter\nadapter a0\nhandle 20000\n");
    world.WriteHbaConf("a\t" + kLibA + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 1u);
    EXPECT_EQ(HBA_OpenAdapter("a0"), 0u);
    const std::string trace = world.Trace(kLibA);
    EXPECT_EQ(CountOf(trace, "OpenAdapter a0\n"), 1) << trace;
    EXPECT_EQ(CountOf(trace, "CloseAdapter"), 0) << trace;
}

TEST_F(HbaLibraryLayer, DispatchGoesToTheAdaptersLibrary) {
    LoadTwoLibraries("node 20:00:00:e0:8b:1c:2d:3e\nport 21:00:00:e0:8b:1c:2d:3e\n");
    const HBA_HANDLE handle = HBA_OpenAdapter("b0");
    HBA_ADAPTERATTRIBUTES attributes = {};
    ASSERT_EQ(HBA_GetAdapterAttributes(handle, &attributes), HBA_STATUS_OK);
    EXPECT_STREQ(attributes.Model, "FAKE-b0");
    EXPECT_EQ(attributes.NodeWWN.wwn[7], 0x3e);
    HBA_PORTATTRIBUTES port = {};
    ASSERT_EQ(HBA_GetAdapterPortAttributes(handle, 0, &port), HBA_STATUS_OK);
    EXPECT_EQ(port.PortWWN.wwn[0], 0x21);
    EXPECT_EQ(HBA_GetAdapterPortAttributes(handle, 1, &port), HBA_STATUS_ERROR) << "the library's own status";
    HBA_PORTSTATISTICS statistics = {};
    ASSERT_EQ(HBA_GetPortStatistics(handle, 0, &statistics), HBA_STATUS_OK);
    EXPECT_EQ(statistics.RxFrames, 7);
    HBA_CloseAdapter(handle);
    EXPECT_NE(world.Trace(kLibB).find("CloseAdapter 1\n"), std::string::npos);
    EXPECT_EQ(world.Trace(kLibA).find("CloseAdapter"), std::string::npos);
}

TEST_F(HbaLibraryLayer, MissingEntryPointGivesZeroWithoutCall) {
    LoadTwoLibraries("omit GetAdapterAttributes\nomit CloseAdapter\n");
    const HBA_HANDLE handle = HBA_OpenAdapter("b0");
    HBA_ADAPTERATTRIBUTES attributes;
    std::memset(&attributes, 0x55, sizeof attributes);
    EXPECT_EQ(HBA_GetAdapterAttributes(handle, &attributes), HBA_STATUS_OK);
    EXPECT_EQ(attributes.Model[0], 0x55) << "the record is not filled";
    HBA_CloseAdapter(handle);
    EXPECT_EQ(HBA_SendCTPassThru(handle, nullptr, 0, nullptr, 0), HBA_STATUS_OK);
    EXPECT_EQ(HBA_GetRNIDMgmtInfo(0x00070001, nullptr), HBA_STATUS_ERROR) << "library 7 is not loaded";
    EXPECT_EQ(HBA_GetEventBuffer(0x01000001, nullptr, nullptr), HBA_STATUS_ERROR_INVALID_HANDLE);
}

TEST_F(HbaLibraryLayer, LibraryWithoutAdapterNamesListsNoAdapter) {
    world.InstallLibrary(kLibA, "omit GetAdapterName\nadapter a0\nadapter a1\n");
    world.InstallLibrary(kLibB, "adapter b0\n");
    world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibB + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 1u);
    EXPECT_EQ(NameAt(0), "b0");
}

// A name the library did not write is empty, never what the buffer held before.
TEST_F(HbaLibraryLayer, FailedAdapterNameGivesAnEmptyName) {
    world.InstallLibrary(kLibA, "adapter first-adapter\nadapter nameless\nfail name\nadapter third\n");
    world.WriteHbaConf("a\t" + kLibA + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 3u);
    EXPECT_EQ(NameAt(0), "first-adapter");
    EXPECT_EQ(NameAt(1), "");
    EXPECT_EQ(NameAt(2), "third");
}

TEST_F(HbaLibraryLayer, FreeCallsOnlyLibrariesStillLoaded) {
    world.InstallLibrary(kLibA, "adapter a0\n");
    world.InstallLibrary(kLibB, "fail load\nadapter b0\n");
    world.WriteHbaConf("a\t" + kLibA + "\nb\t" + kLibB + "\nnone\t/usr/lib/fakehba/none.so\n");
    HBA_LoadLibrary();
    HBA_FreeLibrary();
    HBA_FreeLibrary();
    EXPECT_EQ(CountOf(world.Trace(kLibA), "FreeLibrary"), 1) << "freed once, not again";
    EXPECT_EQ(CountOf(world.Trace(kLibB), "FreeLibrary"), 0) << "it never loaded";
}

// Registration starts from an empty table each time, so a slot the library
// now leaves unwritten holds nothing of the library closed before.
TEST_F(HbaLibraryLayer, ReloadedLibraryLeavingASlotEmptyTakesNoCallThere) {
    LoadTwoLibraries();
    HBA_FreeLibrary();
    world.Describe(kLibB, "omit GetAdapterAttributes\nadapter b0\n");
    HBA_LoadLibrary();
    const HBA_HANDLE handle = HBA_OpenAdapter("b0");
    ASSERT_NE(handle, 0u);
    HBA_ADAPTERATTRIBUTES attributes;
    std::memset(&attributes, 0x55, sizeof attributes);
    EXPECT_EQ(HBA_GetAdapterAttributes(handle, &attributes), HBA_STATUS_OK);
    EXPECT_EQ(attributes.Model[0], 0x55) << "the record is not filled";
}

TEST_F(HbaLibraryLayer, LibraryFailingOnReloadKeepsItsAdaptersButTakesNoCalls) {
    LoadTwoLibraries();
    const HBA_HANDLE b0 = HBA_OpenAdapter("b0");
    ASSERT_NE(b0, 0u);
    HBA_FreeLibrary();
    world.Describe(kLibB, "fail load\nadapter b0\n");
    HBA_LoadLibrary();

    EXPECT_EQ(NameAt(2), "b0") << "the adapter table is not rebuilt";
    EXPECT_EQ(HBA_OpenAdapter("b0"), 0u);
    HBA_ADAPTERATTRIBUTES attributes = {};
    EXPECT_EQ(HBA_GetAdapterAttributes(b0, &attributes), HBA_STATUS_ERROR);
    EXPECT_EQ(HBA_OpenAdapter("a1"), 0x00000002u) << "the other library loaded again";
}

// Lines are read 511 bytes at a time; what a longer line holds past its
// first 511 bytes is never read as a line of its own.
TEST_F(HbaLibraryLayer, OverLongLineIsReadUpToItsFirst511Bytes) {
    world.InstallLibrary(kLibA, "adapter a0\n");
    world.InstallLibrary(kLibB, "adapter b0\n");
    const std::string a = "a\t" + kLibA, b = "b\t" + kLibB;
    const struct {
        const char* label;
        std::string conf;
        std::vector<std::string> adapters;
    } cases[] = {
        {"CommentTailAtByte512", "#" + std::string(510, 'c') + a + "\n", {}},
        {"CommentTailWithTab", "#" + std::string(520, 'c') + "\t" + kLibA + "\n", {}},
        {"CommentOverThreePieces", "#" + std::string(1100, 'c') + "\t" + kLibA + "\n" + b + "\n", {"b0"}},
        {"LineTailIsNoLine", a + std::string(600, ' ') + b + "\n", {"a0"}},
        {"TailAfterPieceWithoutSeparator", a + "\n" + std::string(512, 'n') + "\t" + kLibB + "\n", {"a0"}},
        {"NewlineAlone512thByte", "#" + std::string(510, 'c') + "\n" + b + "\n", {"b0"}},
        {"LongestWholeLine", a + std::string(510 - a.size(), ' ') + "\n" + b + "\n", {"a0", "b0"}},
        {"LongLastLineWithoutNewline", b + "\n#" + std::string(600, 'c') + a, {"b0"}},
        {"NulInsideALongComment", std::string("#\0", 2) + std::string(600, 'c') + "\t" + kLibA + "\n" + b + "\n",
         {"b0"}},
        {"NulInsideAShortLine", std::string("x\0\n", 3) + b + "\n", {"b0"}},
    };
    for (const auto& c : cases) {
        world.WriteHbaConf(c.conf);
        HBA_FreeLibrary();
        ASSERT_EQ(HBA_LoadLibrary(), HBA_STATUS_OK) << c.label;
        std::vector<std::string> adapters;
        for (HBA_UINT32 i = 0; i < HBA_GetNumberOfAdapters(); ++i) adapters.push_back(NameAt(i));
        EXPECT_EQ(adapters, c.adapters) << c.label;
    }
}

TEST_F(HbaLibraryLayer, LinesPastTheThirtySecondAreIgnored) {
    world.InstallLibrary(kLibA, "adapter a0\n");
    world.InstallLibrary(kLibB, "adapter b0\n");
    std::string conf;
    for (int i = 0; i < 31; ++i) conf += "missing\t/usr/lib/fakehba/none.so\n";
    world.WriteHbaConf(conf + "a\t" + kLibA + "\nb\t" + kLibB + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 1u);
    EXPECT_EQ(NameAt(0), "a0");
}

TEST_F(HbaLibraryLayer, AdaptersPastTheSixtyFourthAreDropped) {
    world.InstallLibrary(kLibA, "generate 70\n");
    world.WriteHbaConf("a\t" + kLibA + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), kHbaMaxAdapters);
    EXPECT_EQ(NameAt(63), "fake-adapter-63");
    EXPECT_EQ(NameAt(64), "<none>");
}

TEST_F(HbaLibraryLayer, LongAdapterNameIsCutToItsField) {
    const std::string longName(100, 'q');
    world.InstallLibrary(kLibA, "adapter " + longName + "\n");
    world.WriteHbaConf("a\t" + kLibA + "\n");
    HBA_LoadLibrary();
    ASSERT_EQ(HBA_GetNumberOfAdapters(), 1u);
    EXPECT_EQ(NameAt(0), std::string(63, 'q'));
}

TEST_F(HbaLibraryLayer, AdapterLibraryGivesPathAndHandleWhileLoaded) {
    LoadTwoLibraries();
    char path[kHbaLibraryPathSize];
    void* library = HbaGetAdapterLibrary(2, path);
    EXPECT_STREQ(path, kLibB.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_NE(FindSymbol(library, "HBA_RegisterLibrary"), nullptr);
    EXPECT_EQ(HbaGetAdapterLibrary(3, path), nullptr);
    EXPECT_STREQ(path, "");

    HBA_FreeLibrary();
    EXPECT_EQ(HbaGetAdapterLibrary(2, path), nullptr) << "a closed handle is not handed out";
    EXPECT_STREQ(path, kLibB.c_str());
}

}  // namespace
