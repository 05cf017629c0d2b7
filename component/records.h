// The two records of a run. CReference is the reference catalogue as read
// from reference.xml; CDiscovery is what discovery matched and what an update
// would do, written field by field into the self-discovery report. Every
// value is a wide string; field order is the report's leaf order.
#pragma once

#include <string>
#include <vector>

struct CRefDevice {
    std::wstring type;
    std::wstring device_id;
    std::wstring model;
    std::wstring firmware;
    std::wstring bios;
    std::wstring boot;
    std::wstring duration;
};

struct CReference {
    // Reads reference.xml from the working directory; false when it is
    // missing, unreadable or not well-formed (the catalogue is then unchanged).
    bool Load();

    std::wstring discovery_app_path;
    std::wstring installer_app_path;
    // Filled once before discovery and never changed, so indexes stay valid.
    std::vector<CRefDevice> devices;
};

struct CFwItem {
    std::wstring type;
    std::wstring firmware_id;
    std::wstring version;         // packaged
    std::wstring active_version;  // installed, normalised
    std::wstring action;          // "upgrade", "downgrade", "rewrite" or "unknown"
    std::wstring duration;
    std::wstring message;
    std::wstring shared;
};

struct CDevice {
    std::wstring device_id;
    std::wstring product_id;
    std::wstring busnumber;
    std::wstring funcnumber;
    std::vector<CFwItem> fw_items;  // never empty once the device is listed
};

struct CDiscovery {
    std::wstring osName;  // not part of the report
    std::wstring type;
    std::wstring alt_name;
    std::wstring version;
    std::wstring takes_effect;
    std::vector<CDevice> devices;
};
