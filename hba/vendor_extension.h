// The vendors' management library extension: the ORBILFC_ functions that add
// an adapter's PCI subsystem identity and PCI address to the standard
// attributes. An adapter is recognised by its node WWN, and the id word and
// PCI bytes are written only when a vendor adapter with that WWN is found;
// every failure leaves them untouched. Messages stay in the caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hba_api_types.h"

constexpr size_t kVendorMessageSize = 256;
constexpr size_t kAdapterNameBufferSize = 1024;

// What ORBILFC_GetAdapterAttributes2 fills.
struct AdapterAttributes2 {
    HBA_ADAPTERATTRIBUTES attributes;
    uint32_t subsystemId;  // bits 0..15 subsystem vendor, 16..31 subsystem device
    uint8_t pciBus;
    uint8_t pciFunction;
    uint8_t pciDomain;
    uint8_t reserved;
};
static_assert(sizeof(AdapterAttributes2) == 2200, "AdapterAttributes2 layout");
static_assert(offsetof(AdapterAttributes2, subsystemId) == 2192, "subsystem id offset");
static_assert(offsetof(AdapterAttributes2, pciBus) == 2196, "PCI bus offset");
static_assert(offsetof(AdapterAttributes2, pciDomain) == 2198, "PCI domain offset");

typedef int32_t (*ORBILFC_LoadLibraryFunc)();
typedef int32_t (*ORBILFC_GetNumberOfAdaptersFunc)();
typedef int32_t (*ORBILFC_GetAdapterNameFunc)(uint32_t adapterIndex, char* adapterName);
typedef uint32_t (*ORBILFC_OpenAdapterFunc)(char* adapterName);
typedef int32_t (*ORBILFC_GetAdapterAttributes2Func)(uint32_t handle, AdapterAttributes2* attributes);
typedef int32_t (*ORBILFC_CloseAdapterFunc)(uint32_t handle);
typedef int32_t (*ORBILFC_FreeLibraryFunc)();

// 1 when libraryPath is the adapter's vendor management library; then status
// is 0 when its ORBILFC_GetAdapterAttributes2 was found (and kept for
// ReadVendorAttributes2), 1 when not. 0 leaves status and message untouched.
int FindVendorExtension(const char* adapterName, const char* libraryPath, void* libraryHandle,
                        char (&message)[kVendorMessageSize], int* status);

// Reads the vendor attributes through the extension FindVendorExtension
// found, with the low 16 bits of handle; -3 when that call fails, else 0.
int ReadVendorAttributes2(const uint8_t (&nodeWWN)[8], uint32_t* idWord, uint8_t* pciBus, uint8_t* pciFunction,
                          uint8_t* pciDomain, char (&message)[kVendorMessageSize], HBA_HANDLE handle);

// Loads the vendor's management library from its fixed paths and searches
// its adapters for nodeWWN; 0 on a match, -1 to -7 otherwise. adapterName
// chooses the vendor and is overwritten with the names the library reports.
int ScanVendorLibrary(const uint8_t (&nodeWWN)[8], char (&adapterName)[kAdapterNameBufferSize], uint32_t* idWord,
                      uint8_t* pciBus, uint8_t* pciFunction, uint8_t* pciDomain,
                      char (&message)[kVendorMessageSize]);
