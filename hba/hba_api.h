// The common layer over the HBA API libraries listed in "/etc/hba.conf". It
// loads each listed library, keeps one table of up to 32 libraries and one of
// up to 64 adapters, and forwards each per-adapter call to the library that
// reported the adapter. Handles it gives out carry the library's table index
// in bits 31..16 and the library's own handle in bits 15..0. Neither table is
// ever overrun, no call goes to a library that is not loaded, and the state is
// process-wide and unlocked: one thread only.
#pragma once

#include "hba_api_types.h"

constexpr int kHbaMaxLibraries = 32;
constexpr HBA_UINT32 kHbaMaxAdapters = 64;
constexpr size_t kHbaLibraryPathSize = 256;

// Loads every library of "/etc/hba.conf" into the table from index 0 (a
// library that does not load is not kept open); 1 when the file cannot be
// read, else 0.
HBA_STATUS HBA_LoadLibrary();
// Frees and closes every loaded library; always 0.
HBA_STATUS HBA_FreeLibrary();
// Rebuilds the adapter table from the loaded libraries; the new count.
HBA_UINT32 HBA_GetNumberOfAdapters();
// Copies adapter adapterIndex's name (buffer of 64 bytes or more); 6 past the count.
HBA_STATUS HBA_GetAdapterName(HBA_UINT32 adapterIndex, char* adapterName);
// Always 1.
HBA_UINT32 HBA_GetVersion();
// Opens the first adapter of that name through its library; 0 on failure,
// also for a library handle whose low 16 bits are 0, which is closed again.
HBA_HANDLE HBA_OpenAdapter(const char* adapterName);

// Splits a handle; 3 for a library index past the table, 1 for a library not loaded.
HBA_STATUS HbaDecodeHandle(HBA_HANDLE handle, int* libraryIndex, HBA_HANDLE* vendorHandle);

// The dlopen handle of the library that reported adapter adapterIndex (none
// past the adapter count or once that library was closed); its path goes to path.
void* HbaGetAdapterLibrary(HBA_UINT32 adapterIndex, char (&path)[kHbaLibraryPathSize]);

// Forwarded to the adapter's library. A bad handle gives its decode status; a
// library without the entry point gives 0 and leaves the records untouched.
void HBA_CloseAdapter(HBA_HANDLE handle);
HBA_STATUS HBA_GetAdapterAttributes(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes);
HBA_STATUS HBA_GetAdapterPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTATTRIBUTES* attributes);
HBA_STATUS HBA_GetPortStatistics(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_PORTSTATISTICS* statistics);
HBA_STATUS HBA_GetDiscoveredPortAttributes(HBA_HANDLE handle, HBA_UINT32 portIndex, HBA_UINT32 discoveredPortIndex,
                                           HBA_PORTATTRIBUTES* attributes);
HBA_STATUS HBA_GetPortAttributesByWWN(HBA_HANDLE handle, HBA_WWN portWWN, HBA_PORTATTRIBUTES* attributes);
HBA_STATUS HBA_SendCTPassThru(HBA_HANDLE handle, void* request, HBA_UINT32 requestSize, void* response,
                              HBA_UINT32 responseSize);
void HBA_RefreshInformation(HBA_HANDLE handle);
void HBA_ResetStatistics(HBA_HANDLE handle, HBA_UINT32 portIndex);
HBA_STATUS HBA_GetFcpTargetMapping(HBA_HANDLE handle, HBA_FCPTARGETMAPPING* mapping);
HBA_STATUS HBA_GetFcpPersistentBinding(HBA_HANDLE handle, HBA_FCPBINDING* binding);
HBA_STATUS HBA_GetEventBuffer(HBA_HANDLE handle, HBA_EVENTINFO* events, HBA_UINT32* eventCount);
HBA_STATUS HBA_SetRNIDMgmtInfo(HBA_HANDLE handle, HBA_MGMTINFO* info);
HBA_STATUS HBA_GetRNIDMgmtInfo(HBA_HANDLE handle, HBA_MGMTINFO* info);
HBA_STATUS HBA_SendRNID(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE wwnType, void* response,
                        HBA_UINT32* responseSize);
HBA_STATUS HBA_SendScsiInquiry(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, HBA_UINT8 evpd,
                               HBA_UINT32 pageCode, void* response, HBA_UINT32 responseSize, void* sense,
                               HBA_UINT32 senseSize);
HBA_STATUS HBA_SendReportLUNs(HBA_HANDLE handle, HBA_WWN portWWN, void* response, HBA_UINT32 responseSize,
                              void* sense, HBA_UINT32 senseSize);
HBA_STATUS HBA_SendReadCapacity(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, void* response,
                                HBA_UINT32 responseSize, void* sense, HBA_UINT32 senseSize);
