#include "emulex_component.h"

#include <memory>
#include <sstream>
#include <vector>

#include "device_list.h"
#include "flash_engine.h"
#include "matcher.h"
#include "pattern.h"
#include "shell_command.h"
#include "text_conversion.h"

namespace EmulexComp {

namespace {

const char kScript[] = "./elxflashStandalone*/lx/elxflash.sh";

// One adapter per line: groups HBA, PCI ID, VID, SSID, SVID, Firmware, Boot Code.
const char kAdapterLine[] =
    "HBA=(.+),.*PCI ID=(\\w{1,4}),.*VID=(\\w{1,4}),.*SSID=(\\w{1,4}),.*SVID=(\\w{1,4}),"
    ".*Firmware=(\\w+),.*Boot Code=(\\w+).*";
enum Group { Hba, PciId, Vid, Ssid, Svid, Firmware, BootCode, GroupCount };

// The version behind the tool's two-character prefix.
std::string AfterPrefix(const std::string& text) { return text.size() > 2 ? text.substr(2) : std::string(); }

int MapEngineCode(int code) {
    if (code == 0) return 1;
    if (code == 1) return 3;
    if (code >= 2 && code <= 6) return 7;
    return code;
}

}  // namespace

CComponent::CComponent() = default;
CComponent::~CComponent() = default;

std::wstring CComponent::NormalizeVersion(std::wstring version) { return version.substr(0, version.find(L' ')); }

std::string CComponent::ZeroPad4(std::string text) {
    if (text.size() < 4) text.insert(0, 4 - text.size(), '0');
    return text;
}

int CComponent::PrepareKit() {
    log << "Preparing the Emulex Kit...";
    // -n: a kit unpacked by an earlier run is kept, and unzip never stops to
    // ask about it on a terminal.
    ExecuteCommand("unzip -n elxflashStandalone*.zip");
    log << "done\n";
    MakeEngineExecutable(kScript);
    return 0;
}

bool CComponent::Discover() {
    if (PrepareKit() != 0) return false;
    std::istringstream output(ExecuteCommand(std::string(kScript) + " /q"));
    const std::unique_ptr<Pattern> pattern(Pattern::compile(kAdapterLine, Pattern::DOT_ALL));
    for (std::string line; pattern && std::getline(output, line);) {
        const std::unique_ptr<Matcher> matcher(pattern->createMatcher(line));
        if (!matcher->matches()) continue;
        const std::vector<std::string> g = matcher->getGroups(false);
        if (g.size() < GroupCount) continue;
        const std::wstring identity =
            ToWide((ZeroPad4(g[Vid]) + "." + ZeroPad4(g[PciId]) + "." + ZeroPad4(g[Svid]) + "." + ZeroPad4(g[Ssid])).c_str());
        const int k = FindReferenceDevice(identity);
        if (k == -1) continue;
        const CRefDevice& entry = reference.devices[static_cast<size_t>(k)];
        const bool oneConnect = g[Hba].find("OCe") != std::string::npos;  // no boot code version of its own
        CDevice device;
        device.device_id = identity;
        device.product_id = entry.model;
        device.fw_items.push_back(
            MakeFwItem(L"Firmware", entry.firmware, ToWide(AfterPrefix(g[Firmware]).c_str()), entry.duration, L"no"));
        device.fw_items.push_back(MakeFwItem(L"Boot BIOS ROM", entry.bios,
                                             oneConnect ? std::wstring() : ToWide(AfterPrefix(g[BootCode]).c_str()),
                                             entry.duration, L""));
        discovery.devices.push_back(device);
    }
    return true;
}

int CComponent::Flash() {
    const std::string command = std::string(kScript) + " " + (force ? " /f" : " /update") + kEngineOutputToLog;
    log << "Executing flash engine: " << command << "\n";
    const int code = RunFlashEngine(command);
    log << "Flash Engine exit code: " << code << "\n";
    return MapEngineCode(code);
}

}  // namespace EmulexComp
