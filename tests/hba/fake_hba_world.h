// Lays out the machine that HBA discovery sees, under a root folder: the
// "/etc/hba.conf" list, copies of the fake vendor library at library paths
// (each with its description beside it), and PCI device folders of a fake
// "/sys". Root "" writes the real paths, which a test may only do inside
// tests/sandbox (a SANDBOXED test binary); a SandboxCase's setup tree takes the rest.
#pragma once

#include <string>

enum class FakeLibrary { Full, ApiOnly, ExtensionOnly };

class FakeHbaWorld {
public:
    explicit FakeHbaWorld(std::string root = "") : root_(std::move(root)) {}

    void WriteHbaConf(const std::string& lines) const;
    // Installs a fresh copy of the fake at path (a new file, so a copy still
    // loaded is left alone) and its description; clears its call trace.
    void InstallLibrary(const std::string& path, const std::string& description,
                        FakeLibrary build = FakeLibrary::Full) const;
    void Describe(const std::string& path, const std::string& description) const;
    // A PCI device folder such as "devices/pci0000:00/0000:0b:00.0" under
    // /sys, its four identity files written as sysfs writes them ("0x1077\n").
    void AddPciDevice(const std::string& folder, unsigned vendor, unsigned device, unsigned subsystemVendor,
                      unsigned subsystemDevice) const;
    // The calls the fake at path received, one a line.
    std::string Trace(const std::string& path) const;
    void WriteFile(const std::string& path, const std::string& content) const;

private:
    std::string root_;
};

class SandboxCase;
// Copies the demo machine (tests/fixtures/demo: two adapters behind two
// libraries, sysfs, catalogue) into a sandbox's setup tree, with the fake
// library wherever a ".fixture" description waits for it.
void LayDemoMachine(const SandboxCase& sandbox);

// Occurrences of needle in text.
int CountOf(const std::string& text, const std::string& needle);
