#include "device_list.h"

#include "base_cmp.h"
#include "text_conversion.h"
#include "version_compare.h"

CFwItem MakeFwItem(const wchar_t* type, const std::wstring& packaged, const std::wstring& installed,
                   const std::wstring& duration, const wchar_t* shared) {
    CFwItem item;
    item.type = type;
    item.version = packaged;
    item.active_version = installed;
    item.action = ActionFor(CBaseCmp::CompareVersions(packaged, installed));
    item.duration = duration;
    item.shared = shared;
    return item;
}

CDevice CBaseCmp::BootBiosDevice(int adapter, const CRefDevice& entry, std::wstring deviceId) {
    const FcHbaDeviceRecord& record = *hbaDiscovery.records[static_cast<size_t>(adapter)];
    CDevice device;
    device.device_id = std::move(deviceId);
    device.product_id = ToWide(record.Model);
    const std::wstring installed = NormalizeVersion(ToWide(record.OptionROMVersion));
    device.fw_items.push_back(MakeFwItem(L"Boot BIOS ROM", entry.bios, installed, entry.duration, L"no"));
    return device;
}
