#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dynamic_library.h"
#include "fake_hba_world.h"
#include "vendor_extension.h"

namespace {

const uint8_t kWWN[8] = {0x20, 0x00, 0x00, 0xE0, 0x8B, 0x1C, 0x2D, 0x3E};
const std::string kQLogicLibrary = "/usr/lib/libqlsdm.so";

const char kTwoAdapters[] =
    "adapter qlogic-first\nnode 20:00:00:e0:8b:00:00:01\nsubsystem 11112222\npci 01 0 0\n"
    "adapter qlogic-second\nnode 20:00:00:e0:8b:1c:2d:3e\nsubsystem 015d1077\npci 0b 1 2\n";

// Outputs of one scan, preset so that an untouched value shows.
struct Scan {
    int result = 99;
    char name[kAdapterNameBufferSize] = {};
    char message[kVendorMessageSize] = {};
    uint32_t idWord = 0xAAAAAAAA;
    uint8_t bus = 0xAA, function = 0xAA, domain = 0xAA;

    explicit Scan(const std::string& adapterName) {
        snprintf(name, sizeof name, "%s", adapterName.c_str());
        result = ScanVendorLibrary(kWWN, name, &idWord, &bus, &function, &domain, message);
    }
    bool Untouched() const { return idWord == 0xAAAAAAAA && bus == 0xAA && function == 0xAA && domain == 0xAA; }
};

class VendorExtension : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* path : {"/usr/lib/libqlsdm.so", "/usr/lib64/libqlsdm-x86_64.so", "/lib/cim/libqlsdm.so",
                                 "/usr/lib/libemsdm.so", "/usr/lib64/libemsdm.so", "/lib/cim/libemsdm.so",
                                 "/usr/lib/bfahbaapi.so", "/usr/lib64/bfahbaapi.so", "/lib/cim/bfahbaapi.so"})
            std::remove(path);
    }
    FakeHbaWorld world;
};

TEST_F(VendorExtension, VendorChosenFromAdapterName) {
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"qlogic-and-Emulex", "unable to load qlsdm"},
                 {"Emulex-LPe12002", "unable to load emsdm"},
                 {"QLogic-QLE2562", "unable to load bfahbaapi"},
                 {"Brocade-825", "unable to load bfahbaapi"}};
    for (const auto& c : cases) {
        Scan scan(c.name);
        EXPECT_EQ(scan.result, -1) << c.name;
        EXPECT_STREQ(scan.message, c.message) << c.name;
        EXPECT_TRUE(scan.Untouched());
    }
}

TEST_F(VendorExtension, MatchOnTheSecondAdapter) {
    world.InstallLibrary(kQLogicLibrary, kTwoAdapters);
    Scan scan("qlogic-x");
    ASSERT_EQ(scan.result, 0);
    EXPECT_STREQ(scan.message, "pass");
    EXPECT_EQ(scan.idWord, 0x015d1077u);
    EXPECT_EQ(scan.bus, 0x0b);
    EXPECT_EQ(scan.function, 1);
    EXPECT_EQ(scan.domain, 2);
    EXPECT_STREQ(scan.name, "qlogic-second") << "the name buffer holds the library's names";
    EXPECT_EQ(world.Trace(kQLogicLibrary),
              "ORBILFC_LoadLibrary\n"
              "ORBILFC_OpenAdapter qlogic-first\nORBILFC_GetAdapterAttributes2 1\nORBILFC_CloseAdapter 1\n"
              "ORBILFC_OpenAdapter qlogic-second\nORBILFC_GetAdapterAttributes2 2\nORBILFC_CloseAdapter 2\n"
              "ORBILFC_FreeLibrary\n");
}

TEST_F(VendorExtension, LaterPathsAreTriedInOrder) {
    world.InstallLibrary("/lib/cim/libqlsdm.so", kTwoAdapters);
    EXPECT_EQ(Scan("qlogic-x").result, 0) << "third path";
    world.InstallLibrary("/usr/lib64/libqlsdm-x86_64.so", "adapter none\n");
    EXPECT_EQ(Scan("qlogic-x").result, -6) << "second path wins over the third";
}

TEST_F(VendorExtension, ScanFailuresLeaveTheIdentityUntouched) {
    const struct {
        const char* label;
        std::string description;
        FakeLibrary build;
        int result;
        const char* message;
    } cases[] = {
        {"NoMatch", "adapter qlogic-a\nnode 20:00:00:00:00:00:00:09\n", FakeLibrary::Full, -6,
         "could not find WWNN match"},
        {"NoAdapters", "", FakeLibrary::Full, -6, "could not find WWNN match"},
        {"MissingExtension", kTwoAdapters, FakeLibrary::ApiOnly, -2, "unable to dlsym for ORBILFC_LoadLibrary"},
        {"LoadFails", std::string("fail ext-load\n") + kTwoAdapters, FakeLibrary::Full, -7, "fail to load library"},
        {"NameFails", std::string(kTwoAdapters) + "fail ext-name\n", FakeLibrary::Full, -5,
         "fail to get adapter number"},
        {"OpenFails", std::string(kTwoAdapters) + "fail ext-open\n", FakeLibrary::Full, -4, "fail to open adapter"},
        {"AttributesFail", "adapter qlogic-a\nfail ext-attributes\n" + std::string(kTwoAdapters), FakeLibrary::Full,
         -3, "fail to read adapter attribs, adapterHandle 0x1, retStatus 0x21"},
    };
    for (const auto& c : cases) {
        world.InstallLibrary(kQLogicLibrary, c.description, c.build);
        Scan scan("qlogic-x");
        EXPECT_EQ(scan.result, c.result) << c.label;
        EXPECT_STREQ(scan.message, c.message) << c.label;
        EXPECT_TRUE(scan.Untouched()) << c.label;
        const std::string trace = world.Trace(kQLogicLibrary);
        EXPECT_EQ(CountOf(trace, "ORBILFC_OpenAdapter"), CountOf(trace, "ORBILFC_CloseAdapter")) << c.label;
        EXPECT_EQ(CountOf(trace, "ORBILFC_FreeLibrary"), c.result == -7 || c.result == -2 ? 0 : 1) << c.label;
    }
}

TEST_F(VendorExtension, ExtensionLookedUpOnlyInTheVendorsOwnLibrary) {
    world.InstallLibrary(kQLogicLibrary, kTwoAdapters);
    world.InstallLibrary("/usr/lib64/libemsdm.so", kTwoAdapters, FakeLibrary::ApiOnly);
    void* full = OpenLibrary(kQLogicLibrary.c_str());
    void* apiOnly = OpenLibrary("/usr/lib64/libemsdm.so");
    const struct {
        const char* name;
        const char* path;
        void* library;
        int found;
        int status;
        const char* message;
    } cases[] = {
        {"qlogic-a", "/usr/lib/libqlsdm.so", full, 1, 0, "dlsym for ORBILFC_GetAdapterAttributes2 success!"},
        {"Emulex-a", "/usr/lib64/libemsdm.so", apiOnly, 1, 1, "unable to dlsym for ORBILFC_GetAdapterAttributes2"},
        {"Emulex-a", "/usr/lib64/libemsdm.so", nullptr, 1, 1, "libHandle is NULL; cannot dlsym"},
        {"Brocade-a", "/usr/lib64/libemsdm.so", apiOnly, 0, -5, "untouched"},
        {"qlogic-a", "/usr/lib/libemhbaapi.so", full, 0, -5, "untouched"},
    };
    for (const auto& c : cases) {
        char message[kVendorMessageSize] = "untouched";
        int status = -5;
        EXPECT_EQ(FindVendorExtension(c.name, c.path, c.library, message, &status), c.found) << c.name << c.path;
        EXPECT_EQ(status, c.status) << c.name << c.path;
        EXPECT_STREQ(message, c.message);
    }
    CloseLibrary(apiOnly);
    CloseLibrary(full);
}

TEST_F(VendorExtension, ReadThroughTheOwnLibraryWritesOnlyOnAMatch) {
    world.InstallLibrary(kQLogicLibrary, std::string(kTwoAdapters) + "adapter qlogic-broken\nfail ext-attributes\n");
    void* library = OpenLibrary(kQLogicLibrary.c_str());
    char message[kVendorMessageSize];
    int status = -1;
    ASSERT_EQ(FindVendorExtension("qlogic-a", kQLogicLibrary.c_str(), library, message, &status), 1);
    ASSERT_EQ(status, 0);

    uint32_t idWord = 7;
    uint8_t bus = 7, function = 7, domain = 7;
    EXPECT_EQ(ReadVendorAttributes2(kWWN, &idWord, &bus, &function, &domain, message, 0x00010001), 0);
    EXPECT_EQ(idWord, 7u) << "adapter 1 has another WWN";
    EXPECT_EQ(ReadVendorAttributes2(kWWN, &idWord, &bus, &function, &domain, message, 0x00030003), -3);
    EXPECT_STREQ(message, "fail to read adapter attribs: handle used is 0x3: retStatus is 0x21");
    EXPECT_EQ(ReadVendorAttributes2(kWWN, &idWord, &bus, &function, &domain, message, 0x00010100), -3);
    EXPECT_STREQ(message, "fail to read adapter attribs: handle used is 0x100: retStatus is 0x21") << "16 bits kept";
    EXPECT_EQ(ReadVendorAttributes2(kWWN, &idWord, &bus, &function, &domain, message, 0x00050002), 0);
    EXPECT_STREQ(message, "read adapter attribs Success! handle used is 0x2");
    EXPECT_EQ(idWord, 0x015d1077u);
    EXPECT_EQ(bus, 0x0b);
    EXPECT_EQ(domain, 2);
    CloseLibrary(library);
}

}  // namespace
