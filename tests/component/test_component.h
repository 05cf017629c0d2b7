// Test access to a component: its protected state, and discovered adapters
// put in by hand. TestCmp also scripts the vendor steps: a prepared device
// list for the matching and a chosen status for the engine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base_cmp.h"
#include "fixed_text.h"

template <class Component>
class Exposed : public Component {
public:
    using Component::discoverOnly;
    using Component::discovery;
    using Component::discoveryXmlPath;
    using Component::force;
    using Component::hbaDiscovery;
    using Component::log;
    using Component::reference;
    using Component::silent;

    void AddAdapter(const char* pciId, const char* subsystemId, const char* model = "",
                    const char* optionRom = "") {
        auto record = std::make_unique<FcHbaDeviceRecord>();
        CopyText(record->PciId, pciId);
        CopyText(record->SubsystemId, subsystemId);
        CopyText(record->Model, model);
        CopyText(record->OptionROMVersion, optionRom);
        hbaDiscovery.records.push_back(std::move(record));
    }

    void AddCatalogueDevice(const wchar_t* deviceId, const wchar_t* bios = L"", const wchar_t* firmware = L"",
                            const wchar_t* model = L"") {
        CRefDevice entry;
        entry.device_id = deviceId;
        entry.bios = bios;
        entry.firmware = firmware;
        entry.model = model;
        entry.duration = L"90";
        reference.devices.push_back(entry);
    }
};

class TestCmp : public Exposed<CBaseCmp> {
public:
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
