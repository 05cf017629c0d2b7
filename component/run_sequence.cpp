#include "base_cmp.h"

int CBaseCmp::Run() {
    log << "---------------------------------------------------\n";
    log << "Loading references...";
    if (!reference.Load()) {
        log << "FAILED!\n";
        return 7;
    }
    log << "done.\n" << "Performing discovery...\n";
    DetectOS();
    if (!Discover()) return 7;

    if (discoverOnly) {
        log << "Generating self-discovery XML...";
        const bool written = WriteDiscoveryXml();
        if (!written) log << "FAILED!\n";
        log << "done.\n";
        // A report that was not saved must not read as a fresh one.
        return written ? 3 : 7;
    }
    if (GetActionSummary() != 1 && !force) {
        log << "NOTICE : No operation was done.\n";
        return 3;
    }
    if (!HasDevices()) {
        log << "ERROR! : No supported hardware was found.\n";
        return 3;
    }
    log << "Performing flash -- DO NOT INTERRUPT!\n";
    const int status = Flash();  // once for all adapters
    log << "Flash complete [" << status << "]\n";
    return status;
}

int CBaseCmp::GetActionSummary() {
    enum { Upgrade = 1, Rewrite = 2, Downgrade = 4 };
    int seen = 0;
    for (const CDevice& device : discovery.devices)
        for (const CFwItem& item : device.fw_items) {
            if (item.action == L"downgrade") seen |= Downgrade;
            else if (item.action == L"rewrite") seen |= Rewrite;
            else if (item.action == L"upgrade") seen |= Upgrade;
        }
    if (seen & Upgrade) return 1;
    if (seen & Downgrade) return 4;
    if (seen & Rewrite) return 2;
    return 0;
}

bool CBaseCmp::HasDevices() { return !discovery.devices.empty(); }
