#include "fake_hba_world.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "sandbox_run.h"

static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

static const char* BuildOf(FakeLibrary build) {
    switch (build) {
    case FakeLibrary::ApiOnly: return FCHBA_FAKE_HBA_API_ONLY;
    case FakeLibrary::ExtensionOnly: return FCHBA_FAKE_ORBILFC_ONLY;
    default: return FCHBA_FAKE_HBA;
    }
}

void FakeHbaWorld::WriteFile(const std::string& path, const std::string& content) const {
    const std::string full = root_ + path;
    Run("mkdir -p \"$(dirname " + ShellQuote(full) + ")\"");
    std::ofstream(full, std::ios::binary) << content;
}

void FakeHbaWorld::WriteHbaConf(const std::string& lines) const { WriteFile("/etc/hba.conf", lines); }

void FakeHbaWorld::Describe(const std::string& path, const std::string& description) const {
    WriteFile(path + ".fixture", description);
}

void FakeHbaWorld::InstallLibrary(const std::string& path, const std::string& description, FakeLibrary build) const {
    const std::string full = root_ + path;
    Run("mkdir -p \"$(dirname " + ShellQuote(full) + ")\" && cp " + ShellQuote(BuildOf(build)) + " " +
        ShellQuote(full + ".new") + " && mv -f " + ShellQuote(full + ".new") + " " + ShellQuote(full) +
        " && rm -f " + ShellQuote(full + ".trace"));
    Describe(path, description);
}

void FakeHbaWorld::AddPciDevice(const std::string& folder, unsigned vendor, unsigned device, unsigned subsystemVendor,
                                unsigned subsystemDevice) const {
    const struct {
        const char* file;
        unsigned value;
    } files[] = {{"vendor", vendor}, {"device", device}, {"subsystem_vendor", subsystemVendor},
                 {"subsystem_device", subsystemDevice}};
    for (const auto& f : files) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04x\n", f.value);
        WriteFile("/sys/" + folder + "/" + f.file, text);
    }
}

std::string FakeHbaWorld::Trace(const std::string& path) const { return ReadFile(root_ + path + ".trace"); }

int CountOf(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++n;
    return n;
}

void LayDemoMachine(const SandboxCase& sandbox) {
    const std::string setup = sandbox.SetupPath("");
    Run("cp -a " + ShellQuote(std::string(FCHBA_FIXTURES) + "/demo/.") + " " + ShellQuote(setup));
    Run("bash " + ShellQuote(std::string(FCHBA_FIXTURES) + "/hba/place-fake-libraries") + " " + ShellQuote(setup) +
        " " + ShellQuote(FCHBA_FAKE_HBA));
}
