// CBaseCmp: one run of the firmware-update component. It owns the run's whole
// state (log, option flags, HBA discovery, catalogue, discovery record, report
// path) and the fixed run sequence; a vendor variant overrides only the
// virtual steps that differ. Every virtual has a complete base body.
#pragma once

#include <string>

#include "cmp_log.h"
#include "fchba_discovery.h"
#include "records.h"

class CBaseCmp {
public:
    CBaseCmp();
    virtual ~CBaseCmp();
    CBaseCmp(const CBaseCmp&) = delete;
    CBaseCmp& operator=(const CBaseCmp&) = delete;

    // HBA discovery, then the device list; false when no adapter was found.
    virtual bool Discover();
    // Installed version text as the vendor writes it -> comparable text.
    virtual std::wstring NormalizeVersion(std::wstring version);
    // Fills discovery.devices from the discovered adapters.
    virtual void BuildDeviceList();
    // Readies a vendor kit; 0 = ready.
    virtual int PrepareKit();
    // Runs the flash engine once; returns the run's exit status.
    virtual int Flash();
    // Writes the self-discovery report to discoveryXmlPath; false on failure.
    virtual bool WriteDiscoveryXml();
    // Index in reference.devices of the adapter identity, or -1.
    virtual int FindReferenceDevice(std::wstring identity);

    // 0 = bad command line (usage shown), 1 = run, 2 = usage asked for.
    int ParseCommandLine(int argc, const char* const argv[]);
    static void PrintUsage();

    // The whole run; returns the process exit status.
    int Run();
    // 1 = some upgrade, 4 = else some downgrade, 2 = else some rewrite, 0 = none.
    int GetActionSummary();
    bool HasDevices();

    // Dotted identity of discovered adapter index: PCI, then subsystem groups.
    std::wstring GetAdapterId(int index);
    // Records the distribution in discovery.osName; always 0.
    int DetectOS();

    static std::wstring ToUpper(std::wstring text);
    // 1: packaged newer, -1: older, 0: equal.
    static int CompareVersions(std::wstring packaged, std::wstring installed);

protected:
    // The device of a matched adapter with its one boot BIOS item.
    CDevice BootBiosDevice(int adapter, const CRefDevice& entry, std::wstring deviceId);

    CCmpLog log;
    bool silent;
    bool discoverOnly;
    bool force;
    FcHbaDiscovery hbaDiscovery;
    CReference reference;
    CDiscovery discovery;
    std::string discoveryXmlPath;
};
