#include "fchba_discovery.h"

#include <cstdio>

#include "fchba_mra.h"
#include "fixed_text.h"
#include "sysfs_pci_identity.h"

namespace {

std::unique_ptr<FcHbaDeviceRecord> RecordOf(const FcHbaAdapter& adapter) {
    auto record = std::make_unique<FcHbaDeviceRecord>();
    CopyText(record->NodeWWN, adapter.GetNodeWWNString());
    if (!adapter.GetPorts().empty()) CopyText(record->PortWWN, adapter.GetPorts().front().GetPortWWNString());
    CopyText(record->DriverVersion, adapter.GetDriverVersion());
    CopyText(record->OptionROMVersion, adapter.GetOptionROMVersion());
    CopyText(record->FirmwareVersion, adapter.GetFirmwareVersion());
    CopyText(record->Model, adapter.GetModel());

    const auto subsystemVendor = static_cast<uint16_t>(adapter.GetIdWord() & 0xFFFF);
    const auto subsystemDevice = static_cast<uint16_t>(adapter.GetIdWord() >> 16);
    const std::string pciId = FindPciIdInSysfs(adapter.GetPciDomain(), adapter.GetPciBus(),
                                               adapter.GetPciFunction(), subsystemVendor, subsystemDevice);
    char subsystemId[16];
    std::snprintf(subsystemId, sizeof subsystemId, "%.4x%.4x", subsystemVendor, subsystemDevice);
    CopyText(record->PciId, pciId);
    CopyText(record->SubsystemId, subsystemId, sizeof subsystemId);
    return record;
}

}  // namespace

void FcHbaDiscovery::Discover() {
    FcHbaMRA enumerator;
    std::vector<const FcHbaAdapter*> adapters;
    uint32_t status;
    for (FcHbaAdapter* a = enumerator.GetFirstAdapter(&status); a; a = enumerator.GetNextAdapter(a, &status)) {
        if (status != 0) std::puts("MRA get returned failed status!");
        if (!a->GetRefusal().empty()) notices.push_back(a->GetRefusal());
        adapters.push_back(a);
    }
    // The adapters are not destroyed: that would unload every HBA API library.
    for (const FcHbaAdapter* adapter : adapters) records.push_back(RecordOf(*adapter));
}
