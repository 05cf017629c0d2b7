// A component whose discovery and flash are scripted by the test: records
// stand in for discovered adapters, a prepared device list for the vendor's
// matching, a chosen status for the engine.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "base_cmp.h"

class TestCmp : public CBaseCmp {
public:
    using CBaseCmp::discoverOnly;
    using CBaseCmp::discovery;
    using CBaseCmp::discoveryXmlPath;
    using CBaseCmp::force;
    using CBaseCmp::hbaDiscovery;
    using CBaseCmp::log;
    using CBaseCmp::reference;
    using CBaseCmp::silent;

    void AddAdapter(const char* pciId, const char* subsystemId) {
        auto record = std::make_unique<FcHbaDeviceRecord>();
        std::strncpy(record->PciId, pciId, sizeof record->PciId - 1);
        std::strncpy(record->SubsystemId, subsystemId, sizeof record->SubsystemId - 1);
        hbaDiscovery.records.push_back(std::move(record));
    }

    void BuildDeviceList() override {
        for (const CDevice& d : matched) discovery.devices.push_back(d);
    }
    int Flash() override {
        ++flashCalls;
        return flashStatus;
    }

    std::vector<CDevice> matched;
    int flashStatus = 0;
    int flashCalls = 0;
};

inline CDevice DeviceWithActions(const std::vector<std::wstring>& actions) {
    CDevice device;
    device.device_id = L"1077.2532.1077.015d";
    for (const auto& action : actions) {
        CFwItem item;
        item.type = L"Boot BIOS ROM";
        item.action = action;
        device.fw_items.push_back(item);
    }
    return device;
}
