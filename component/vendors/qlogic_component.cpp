#include "qlogic_component.h"

#include "flash_engine.h"

namespace QLogicComp {

CComponent::CComponent() = default;
CComponent::~CComponent() = default;

std::wstring CComponent::NormalizeVersion(std::wstring version) {
    const size_t blank = version.find(L' ');
    if (blank != std::wstring::npos) version.erase(blank);
    const size_t prefix = version.find(L"v.");
    if (prefix != std::wstring::npos) version.erase(prefix, 2);
    return version;
}

void CComponent::BuildDeviceList() {
    for (size_t i = 0; i < hbaDiscovery.records.size(); ++i) {
        const int k = FindReferenceDevice(GetAdapterId(static_cast<int>(i)));
        if (k < 0) continue;
        const CRefDevice& entry = reference.devices[static_cast<size_t>(k)];
        discovery.devices.push_back(BootBiosDevice(static_cast<int>(i), entry, entry.device_id));
    }
}

int CComponent::FindReferenceDevice(std::wstring identity) {
    const int exact = CBaseCmp::FindReferenceDevice(identity);
    if (exact != -1) return exact;
    const std::wstring wanted = ToUpper(identity);
    for (size_t k = 0; k < reference.devices.size(); ++k)
        if (ToUpper(reference.devices[k].device_id).find(wanted) != std::wstring::npos) return static_cast<int>(k);
    return -1;
}

static int MapEngineCode(int code) {
    switch (code) {
    case 0: return 1;
    case 1: return 3;
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 14: case 16: case 17: return 7;
    default: return code;
    }
}

int CComponent::Flash() {
    std::string command = "./zorvqlafwupdate";
    if (silent) command += " /s";
    if (force) command += " /f";
    log << "Executing flash engine: " << command << "\n";
    MakeEngineExecutable("./zorvqlafwupdate");
    const int code = RunFlashEngine(command + kEngineOutputToLog);
    log << "Flash Engine exit code: " << code << "\n";
    return MapEngineCode(code);
}

}  // namespace QLogicComp
