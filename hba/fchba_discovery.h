// FcHbaDiscovery: the one view the component has of HBA discovery. Discover()
// enumerates the installed adapters and appends one FcHbaDeviceRecord per
// adapter, in enumeration order; the object owns the records until it dies.
// The adapter objects behind the records, and so the HBA API libraries, live
// on until the process ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

// One discovered adapter as NUL-terminated, zero-filled text fields.
struct FcHbaDeviceRecord {
    char NodeWWN[256] = {};
    char PortWWN[256] = {};      // empty when no port was read
    char PciId[256] = {};        // "%.4x%.4x" vendor, device; or "N/A"
    char SubsystemId[256] = {};  // "%.4x%.4x" subsystem vendor, device
    char DriverVersion[512] = {};
    char FirmwareVersion[256] = {};
    char OptionROMVersion[256] = {};
    char Model[256] = {};
};

class FcHbaDiscovery {
public:
    FcHbaDiscovery() = default;
    FcHbaDiscovery(const FcHbaDiscovery&) = delete;
    FcHbaDiscovery& operator=(const FcHbaDiscovery&) = delete;

    // Appends one record per adapter found; does not empty the list first.
    // "MRA get returned failed status!" on standard output for each adapter
    // that was not read whole; a line in notices for each adapter whose
    // attributes were not believed.
    void Discover();

    std::vector<std::unique_ptr<FcHbaDeviceRecord>> records;
    std::vector<std::string> notices;  // for the component's log
};
