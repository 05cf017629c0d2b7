#include <strings.h>

#include <cwchar>

#include "base_cmp.h"
#include "text_conversion.h"

std::wstring CBaseCmp::GetAdapterId(int index) {
    const FcHbaDeviceRecord& record = *hbaDiscovery.records[static_cast<size_t>(index)];
    std::string id;
    if (strcasecmp(record.PciId, "N/A") != 0) id = record.PciId;
    if (strcasecmp(record.SubsystemId, "N/A") != 0) id += record.SubsystemId;
    for (size_t dot = 4; dot < id.size(); dot += 5) id.insert(dot, ".");
    return WidenBytes(id.c_str());
}

int CBaseCmp::FindReferenceDevice(std::wstring identity) {
    for (size_t k = 0; k < reference.devices.size(); ++k)
        if (wcscasecmp(identity.c_str(), reference.devices[k].device_id.c_str()) == 0) return static_cast<int>(k);
    return -1;
}

bool CBaseCmp::Discover() {
    hbaDiscovery.Discover();
    for (const std::string& notice : hbaDiscovery.notices) log << notice;
    if (hbaDiscovery.records.empty()) {
        log << "WARNING! : No supported adapters found.\n";
        return false;
    }
    discovery.type = reference.devices.empty() ? std::wstring() : reference.devices.front().type;
    discovery.alt_name.clear();
    discovery.version.clear();
    discovery.takes_effect.clear();
    BuildDeviceList();
    return true;  // whether or not any adapter matched the catalogue
}
