#include "sysfs_pci_identity.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell_pipeline.h"

namespace {

template <class... Args>
std::string Format(const char* format, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Directories holding a subsystem_vendor file whose path names the PCI
// address, in find's order; a bridge at that address brings its children too.
std::vector<std::string> CandidateDirectories(uint8_t domain, uint8_t bus, uint8_t function) {
    std::vector<std::string> directories;
    const std::string command = Format("find /sys -name subsystem_vendor | grep -i -e '%.4x:%.2x:\\(\\w\\)*\\.%x'",
                                       domain, bus, function);
    for (const std::string& line : RunPipeline(command)) {
        const size_t slash = line.rfind('/');
        if (slash != std::string::npos) directories.push_back(line.substr(0, slash));
    }
    return directories;
}

bool HoldsIdentityFiles(const std::string& directory) {
    return PathExists(directory + "/subsystem_device") && PathExists(directory + "/vendor") &&
           PathExists(directory + "/device");
}

// Both subsystem files name one of the two identities.
bool MatchesSubsystem(const std::string& directory, uint16_t subsystemVendor, uint16_t subsystemDevice) {
    const std::string command = "cat " + QuoteShellWord(directory + "/subsystem_vendor") + " " +
                                QuoteShellWord(directory + "/subsystem_device") +
                                Format(" | grep -i -E '%.4x|%.4x' | wc -l", subsystemVendor, subsystemDevice);
    const std::vector<std::string> lines = RunPipeline(command);
    return !lines.empty() && std::atoi(lines[0].c_str()) == 2;
}

std::string ReadPciId(const std::string& directory) {
    const std::vector<std::string> lines = RunPipeline("cat " + QuoteShellWord(directory + "/vendor") + " " +
                                                       QuoteShellWord(directory + "/device"));
    if (lines.size() < 2) return "N/A";
    const long vendor = std::strtol(lines[0].c_str(), nullptr, 16);
    const long device = std::strtol(lines[1].c_str(), nullptr, 16);
    return Format("%.4lx%.4lx", static_cast<unsigned long>(vendor), static_cast<unsigned long>(device));
}

}  // namespace

std::string FindPciIdInSysfs(uint8_t domain, uint8_t bus, uint8_t function, uint16_t subsystemVendor,
                             uint16_t subsystemDevice) {
    for (const std::string& directory : CandidateDirectories(domain, bus, function))
        if (HoldsIdentityFiles(directory) && MatchesSubsystem(directory, subsystemVendor, subsystemDevice))
            return ReadPciId(directory);
    return "N/A";
}
