// The PCI vendor and device identity of an adapter, found in sysfs from its
// PCI address and subsystem identity through shell pipelines of find, grep,
// cat and wc. The first candidate directory in find's order whose
// subsystem_vendor and subsystem_device files both name the subsystem
// identity wins. Nothing is printed or logged.
#pragma once

#include <cstdint>
#include <string>

// "%.4x%.4x" of vendor and device, or "N/A" when no directory matches or its
// identity cannot be read.
std::string FindPciIdInSysfs(uint8_t domain, uint8_t bus, uint8_t function, uint16_t subsystemVendor,
                             uint16_t subsystemDevice);
