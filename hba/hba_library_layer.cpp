#include <cstdio>
#include <cstring>

#include "dynamic_library.h"
#include "fixed_text.h"
#include "hba_api.h"
#include "hba_conf_line.h"

namespace {

enum LibraryState : int32_t { kNotSet = 0, kLoaded = 1, kNotLoaded = 2 };

struct HbaLibraryEntry {
    char name[kHbaLibraryNameSize];
    char path[kHbaConfPathSize];
    void* handle;  // none when loading failed or once the library is closed
    HBA_ENTRYPOINTS entryPoints;
    int32_t state;
};

struct HbaAdapterEntry {
    char name[64];
    int32_t libraryIndex;
};

static_assert(kHbaConfPathSize == kHbaLibraryPathSize, "one path width");

HbaLibraryEntry libraries[kHbaMaxLibraries];
HbaAdapterEntry adapters[kHbaMaxAdapters];
HBA_UINT32 adapterCount;

void CloseEntryLibrary(HbaLibraryEntry& entry) {
    CloseLibrary(entry.handle);
    entry.handle = nullptr;  // a closed handle must never be searched again
}

// Has the opened library register and answer its version and load calls;
// the state changes only when those calls are there to answer.
void RegisterLibraryEntry(HbaLibraryEntry& entry) {
    auto registerLibrary = FindFunction<HBA_RegisterLibraryFunc>(entry.handle, "HBA_RegisterLibrary");
    if (!registerLibrary) return;
    entry.entryPoints = HBA_ENTRYPOINTS{};  // a slot the library leaves empty stays empty
    if (registerLibrary(&entry.entryPoints) != HBA_STATUS_OK) {
        entry.state = kNotLoaded;
    } else if (entry.entryPoints.GetVersionHandler) {
        if (entry.entryPoints.GetVersionHandler() == 0) entry.state = kNotLoaded;
        else if (entry.entryPoints.LoadLibraryHandler)
            entry.state = entry.entryPoints.LoadLibraryHandler() == HBA_STATUS_OK ? kLoaded : kNotLoaded;
    }
}

// Fills the entry from one accepted line. A library that does not end up
// loaded is closed again: nothing would ever close it later, and every
// reload would hold one more reference.
void LoadLibraryEntry(HbaLibraryEntry& entry, const char (&name)[kHbaLibraryNameSize],
                      const char (&path)[kHbaConfPathSize]) {
    CopyText(entry.name, name, sizeof name);
    CopyText(entry.path, path, sizeof path);
    // An empty path would name the main program, not a library.
    entry.handle = entry.path[0] ? OpenLibrary(entry.path) : nullptr;
    if (!entry.handle) return;
    RegisterLibraryEntry(entry);
    if (entry.state != kLoaded) CloseEntryLibrary(entry);
}

const HBA_ENTRYPOINTS* EntryPointsOf(HBA_HANDLE handle, HBA_STATUS* status, HBA_HANDLE* vendorHandle) {
    int libraryIndex = 0;
    *status = HbaDecodeHandle(handle, &libraryIndex, vendorHandle);
    return *status == HBA_STATUS_OK ? &libraries[libraryIndex].entryPoints : nullptr;
}

// Forwards a call to the handle's library through the entry point in slot;
// a missing entry point gives 0 without a call.
template <class Slot, class... Args>
HBA_STATUS Dispatch(HBA_HANDLE handle, Slot HBA_ENTRYPOINTS::*slot, Args... args) {
    HBA_STATUS status;
    HBA_HANDLE vendorHandle;
    const HBA_ENTRYPOINTS* entryPoints = EntryPointsOf(handle, &status, &vendorHandle);
    if (!entryPoints) return status;
    if (!(entryPoints->*slot)) return HBA_STATUS_OK;
    return (entryPoints->*slot)(vendorHandle, args...);
}

template <class Slot, class... Args>
void DispatchWithoutResult(HBA_HANDLE handle, Slot HBA_ENTRYPOINTS::*slot, Args... args) {
    HBA_STATUS status;
    HBA_HANDLE vendorHandle;
    const HBA_ENTRYPOINTS* entryPoints = EntryPointsOf(handle, &status, &vendorHandle);
    if (entryPoints && entryPoints->*slot) (entryPoints->*slot)(vendorHandle, args...);
}

}  // namespace

HBA_STATUS HBA_LoadLibrary() {
    FILE* conf = std::fopen("/etc/hba.conf", "r");
    if (!conf) return HBA_STATUS_ERROR;
    int next = 0;
    char line[kHbaConfLineSize];
    char name[kHbaLibraryNameSize];
    char path[kHbaConfPathSize];
    while (ReadHbaConfLine(conf, line)) {
        if (next == kHbaMaxLibraries) break;  // the table is full; later lines are ignored
        if (!ParseHbaConfLine(line, name, path)) continue;
        LoadLibraryEntry(libraries[next++], name, path);
    }
    std::fclose(conf);
    return HBA_STATUS_OK;
}

HBA_STATUS HBA_FreeLibrary() {
    for (HbaLibraryEntry& entry : libraries) {
        if (entry.state != kLoaded) continue;
        if (entry.entryPoints.FreeLibraryHandler) entry.entryPoints.FreeLibraryHandler();
        CloseEntryLibrary(entry);
        entry.state = kNotLoaded;
    }
    return HBA_STATUS_OK;
}

HBA_UINT32 HBA_GetNumberOfAdapters() {
    adapterCount = 0;
    for (int i = 0; i < kHbaMaxLibraries; ++i) {
        const HBA_ENTRYPOINTS& entryPoints = libraries[i].entryPoints;
        if (libraries[i].state != kLoaded || !entryPoints.GetNumberOfAdaptersHandler) continue;
        const auto n = static_cast<int32_t>(entryPoints.GetNumberOfAdaptersHandler());
        if (!entryPoints.GetAdapterNameHandler) continue;
        for (int32_t j = 0; j < n && adapterCount < kHbaMaxAdapters; ++j) {
            char name[256] = {};  // a failed call leaves an empty name, not stale bytes
            entryPoints.GetAdapterNameHandler(static_cast<HBA_UINT32>(j), name);
            CopyText(adapters[adapterCount].name, name, sizeof name);
            adapters[adapterCount].libraryIndex = i;
            ++adapterCount;
        }
    }
    return adapterCount;
}

HBA_STATUS HBA_GetAdapterName(HBA_UINT32 adapterIndex, char* adapterName) {
    if (adapterIndex >= adapterCount) return HBA_STATUS_ERROR_ILLEGAL_INDEX;
    CopyText(adapterName, sizeof adapters[adapterIndex].name, adapters[adapterIndex].name,
             sizeof adapters[adapterIndex].name);
    return HBA_STATUS_OK;
}

HBA_UINT32 HBA_GetVersion() { return 1; }

HBA_HANDLE HBA_OpenAdapter(const char* adapterName) {
    for (HBA_UINT32 i = 0; i < adapterCount; ++i) {
        if (std::strcmp(adapters[i].name, adapterName) != 0) continue;
        const int libraryIndex = adapters[i].libraryIndex;
        const HbaLibraryEntry& library = libraries[libraryIndex];
        // Entry points of a library that did not load again belong to no library.
        if (library.state != kLoaded || !library.entryPoints.OpenAdapterHandler) return 0;
        char name[sizeof adapters[i].name];
        CopyText(name, adapters[i].name, sizeof adapters[i].name);
        const HBA_HANDLE vendorHandle = library.entryPoints.OpenAdapterHandler(name);
        if (vendorHandle == 0) return 0;
        // Only the low 16 bits travel in the handle, and 0 there names no
        // adapter: such an adapter cannot be reached, so it is not left open.
        if ((vendorHandle & 0xFFFF) == 0) {
            if (library.entryPoints.CloseAdapterHandler) library.entryPoints.CloseAdapterHandler(vendorHandle);
            return 0;
        }
        return (static_cast<HBA_HANDLE>(libraryIndex) << 16) | (vendorHandle & 0xFFFF);
    }
    return 0;
}

HBA_STATUS HbaDecodeHandle(HBA_HANDLE handle, int* libraryIndex, HBA_HANDLE* vendorHandle) {
    const HBA_UINT32 index = handle >> 16;
    if (index >= static_cast<HBA_UINT32>(kHbaMaxLibraries)) return HBA_STATUS_ERROR_INVALID_HANDLE;
    if (libraries[index].state != kLoaded) return HBA_STATUS_ERROR;
    *libraryIndex = static_cast<int>(index);
    *vendorHandle = handle & 0xFFFF;
    return HBA_STATUS_OK;
}

void* HbaGetAdapterLibrary(HBA_UINT32 adapterIndex, char (&path)[kHbaLibraryPathSize]) {
    path[0] = '\0';
    if (adapterIndex >= adapterCount) return nullptr;
    const HbaLibraryEntry& library = libraries[adapters[adapterIndex].libraryIndex];
    CopyText(path, library.path, sizeof library.path);
    return library.handle;
}

void HBA_CloseAdapter(HBA_HANDLE handle) { DispatchWithoutResult(handle, &HBA_ENTRYPOINTS::CloseAdapterHandler); }

HBA_STATUS HBA_GetAdapterAttributes(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetAdapterAttributesHandler, attributes);
}

HBA_STATUS HBA_GetAdapterPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTATTRIBUTES* attributes) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetAdapterPortAttributesHandler, portIndex, attributes);
}

HBA_STATUS HBA_GetPortStatistics(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTSTATISTICS* statistics) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetPortStatisticsHandler, portIndex, statistics);
}

HBA_STATUS HBA_GetDiscoveredPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_UINT32 discoveredPortIndex,
                                           HBA_PORTATTRIBUTES* attributes) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetDiscoveredPortAttributesHandler, portIndex, discoveredPortIndex,
                    attributes);
}

HBA_STATUS HBA_GetPortAttributesByWWN(HBA_HANDLE handle, HBA_WWN portWWN, HBA_PORTATTRIBUTES* attributes) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetPortAttributesByWWNHandler, portWWN, attributes);
}

HBA_STATUS HBA_SendCTPassThru(HBA_HANDLE handle, void* request, HBA_UINT32 requestSize, void* response,
                              HBA_UINT32 responseSize) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::SendCTPassThruHandler, request, requestSize, response, responseSize);
}

void HBA_RefreshInformation(HBA_HANDLE handle) {
    DispatchWithoutResult(handle, &HBA_ENTRYPOINTS::RefreshInformationHandler);
}

void HBA_ResetStatistics(HBA_HANDLE handle, HBA_UINT32 portIndex) {
    DispatchWithoutResult(handle, &HBA_ENTRYPOINTS::ResetStatisticsHandler, portIndex);
}

HBA_STATUS HBA_GetFcpTargetMapping(HBA_HANDLE handle, HBA_FCPTARGETMAPPING* mapping) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetFcpTargetMappingHandler, mapping);
}

HBA_STATUS HBA_GetFcpPersistentBinding(HBA_HANDLE handle, HBA_FCPBINDING* binding) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetFcpPersistentBindingHandler, binding);
}

HBA_STATUS HBA_GetEventBuffer(HBA_HANDLE handle, HBA_EVENTINFO* events, HBA_UINT32* eventCount) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetEventBufferHandler, events, eventCount);
}

HBA_STATUS HBA_SetRNIDMgmtInfo(HBA_HANDLE handle, HBA_MGMTINFO* info) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::SetRNIDMgmtInfoHandler, info);
}

HBA_STATUS HBA_GetRNIDMgmtInfo(HBA_HANDLE handle, HBA_MGMTINFO* info) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::GetRNIDMgmtInfoHandler, info);
}

HBA_STATUS HBA_SendRNID(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE wwnType, void* response,
                        HBA_UINT32* responseSize) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::SendRNIDHandler, wwn, wwnType, response, responseSize);
}

HBA_STATUS HBA_SendScsiInquiry(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, HBA_UINT8 evpd,
                               HBA_UINT32 pageCode, void* response, HBA_UINT32 responseSize, void* sense,
                               HBA_UINT32 senseSize) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::ScsiInquiryHandler, portWWN, fcpLun, evpd, pageCode, response,
                    responseSize, sense, senseSize);
}

HBA_STATUS HBA_SendReportLUNs(HBA_HANDLE handle, HBA_WWN portWWN, void* response, HBA_UINT32 responseSize,
                              void* sense, HBA_UINT32 senseSize) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::ReportLUNsHandler, portWWN, response, responseSize, sense, senseSize);
}

HBA_STATUS HBA_SendReadCapacity(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, void* response,
                                HBA_UINT32 responseSize, void* sense, HBA_UINT32 senseSize) {
    return Dispatch(handle, &HBA_ENTRYPOINTS::ReadCapacityHandler, portWWN, fcpLun, response, responseSize, sense,
                    senseSize);
}
