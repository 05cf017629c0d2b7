#include "brocade_component.h"

#include <memory>

#include "flash_engine.h"
#include "matcher.h"
#include "pattern.h"

namespace BrocadeComp {

CComponent::CComponent() = default;
CComponent::~CComponent() = default;

std::wstring CComponent::NormalizeVersion(std::wstring version) {
    // The greedy lead leaves only the last digit of a longer first number.
    const std::unique_ptr<UPattern> quad(UPattern::compile(L".*(\\d+\\.\\d+\\.\\d+\\.\\d+).*", UPattern::DOT_ALL));
    if (!quad) return version;
    const std::unique_ptr<UMatcher> matcher(quad->createMatcher(version));
    return matcher->matches() ? matcher->getGroup(1) : version;
}

void CComponent::BuildDeviceList() {
    for (size_t i = 0; i < hbaDiscovery.records.size(); ++i) {
        const std::wstring identity = GetAdapterId(static_cast<int>(i));
        const int k = FindReferenceDevice(identity);
        if (k < 0) continue;
        discovery.devices.push_back(BootBiosDevice(static_cast<int>(i), reference.devices[static_cast<size_t>(k)], identity));
    }
}

int CComponent::Flash() {
    std::string command = "./bcu boot --update bfa_boot_fw -a";
    if (force) command += " force";
    log << "Executing flash engine: " << command << "\n";
    MakeEngineExecutable("./bcu");
    const int code = RunFlashEngine(command + kEngineOutputToLog);
    log << "Flash Engine exit code: " << code << "\n";
    return code == 0 ? 1 : 7;
}

}  // namespace BrocadeComp
