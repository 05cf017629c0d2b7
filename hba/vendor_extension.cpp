#include "vendor_extension.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "dynamic_library.h"
#include "fixed_text.h"

namespace {

struct Vendor {
    const char* libraryWord;
    const char* paths[3];
    const char* loadFailure;
};

const Vendor kQLogic = {"libqlsdm",
                        {"/usr/lib/libqlsdm.so", "/usr/lib64/libqlsdm-x86_64.so", "/lib/cim/libqlsdm.so"},
                        "unable to load qlsdm"};
const Vendor kEmulex = {"libemsdm",
                        {"/usr/lib/libemsdm.so", "/usr/lib64/libemsdm.so", "/lib/cim/libemsdm.so"},
                        "unable to load emsdm"};
const Vendor kBrocade = {"bfahbaapi",
                         {"/usr/lib/bfahbaapi.so", "/usr/lib64/bfahbaapi.so", "/lib/cim/bfahbaapi.so"},
                         "unable to load bfahbaapi"};

const Vendor& VendorOf(const char* adapterName) {
    if (std::strstr(adapterName, "qlogic")) return kQLogic;
    if (std::strstr(adapterName, "Emulex")) return kEmulex;
    return kBrocade;
}

// The extension function of the adapter's own library, as last looked up.
ORBILFC_GetAdapterAttributes2Func ownLibraryAttributes2;

// Formats into message, cut at its end. Every format is a literal, checked
// against its arguments where it is written.
__attribute__((format(printf, 2, 3))) void SetMessage(char (&message)[kVendorMessageSize], const char* format,
                                                      ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
}

// Writes the record's PCI identity when it describes the adapter with nodeWWN.
bool TakeIdentityOnMatch(const AdapterAttributes2& record, const uint8_t (&nodeWWN)[8], uint32_t* idWord,
                         uint8_t* pciBus, uint8_t* pciFunction, uint8_t* pciDomain) {
    if (std::memcmp(record.attributes.NodeWWN.wwn, nodeWWN, sizeof nodeWWN) != 0) return false;
    *idWord = record.subsystemId;
    *pciBus = record.pciBus;
    *pciFunction = record.pciFunction;
    *pciDomain = record.pciDomain;
    return true;
}

struct VendorLibrary {
    ORBILFC_LoadLibraryFunc LoadLibrary;
    ORBILFC_GetNumberOfAdaptersFunc GetNumberOfAdapters;
    ORBILFC_GetAdapterNameFunc GetAdapterName;
    ORBILFC_OpenAdapterFunc OpenAdapter;
    ORBILFC_GetAdapterAttributes2Func GetAdapterAttributes2;
    ORBILFC_CloseAdapterFunc CloseAdapter;
    ORBILFC_FreeLibraryFunc FreeLibrary;
};

// Looks the seven functions up in order; the name of the first missing one, or null.
const char* BindVendorLibrary(void* library, VendorLibrary& v) {
#define FCHBA_BIND(field, symbol)                                                    \
    if (!(v.field = FindFunction<decltype(v.field)>(library, symbol))) return symbol
    FCHBA_BIND(LoadLibrary, "ORBILFC_LoadLibrary");
    FCHBA_BIND(GetNumberOfAdapters, "ORBILFC_GetNumberOfAdapters");
    FCHBA_BIND(GetAdapterName, "ORBILFC_GetAdapterName");
    FCHBA_BIND(OpenAdapter, "ORBILFC_OpenAdapter");
    FCHBA_BIND(GetAdapterAttributes2, "ORBILFC_GetAdapterAttributes2");
    FCHBA_BIND(CloseAdapter, "ORBILFC_CloseAdapter");
    FCHBA_BIND(FreeLibrary, "ORBILFC_FreeLibrary");
#undef FCHBA_BIND
    return nullptr;
}

void* OpenVendorLibrary(const Vendor& vendor) {
    for (const char* path : vendor.paths)
        if (void* library = OpenLibrary(path)) return library;
    return nullptr;
}

// Walks the initialised library's adapters; the scan's result code.
int SearchVendorAdapters(const VendorLibrary& v, const uint8_t (&nodeWWN)[8],
                         char (&adapterName)[kAdapterNameBufferSize], uint32_t* idWord, uint8_t* pciBus,
                         uint8_t* pciFunction, uint8_t* pciDomain, char (&message)[kVendorMessageSize]) {
    const int32_t count = v.GetNumberOfAdapters();
    for (int32_t i = 0; i < count; ++i) {
        if (v.GetAdapterName(static_cast<uint32_t>(i), adapterName) != 0) {
            SetMessage(message, "fail to get adapter number");
            return -5;
        }
        TerminateField(adapterName);
        const uint32_t handle = v.OpenAdapter(adapterName);
        if (handle == 0) {
            SetMessage(message, "fail to open adapter");
            return -4;
        }
        AdapterAttributes2 record = {};
        const int32_t result = v.GetAdapterAttributes2(handle, &record);
        if (result != 0) {
            v.CloseAdapter(handle);
            SetMessage(message, "fail to read adapter attribs, adapterHandle 0x%x, retStatus 0x%x", handle,
                       static_cast<unsigned>(result));
            return -3;
        }
        const bool match = TakeIdentityOnMatch(record, nodeWWN, idWord, pciBus, pciFunction, pciDomain);
        v.CloseAdapter(handle);
        if (match) return 0;
    }
    SetMessage(message, "could not find WWNN match");
    return -6;
}

}  // namespace

int FindVendorExtension(const char* adapterName, const char* libraryPath, void* libraryHandle,
                        char (&message)[kVendorMessageSize], int* status) {
    if (!std::strstr(libraryPath, VendorOf(adapterName).libraryWord)) return 0;
    if (!libraryHandle) {
        *status = 1;
        SetMessage(message, "libHandle is NULL; cannot dlsym");
        return 1;
    }
    ownLibraryAttributes2 =
        FindFunction<ORBILFC_GetAdapterAttributes2Func>(libraryHandle, "ORBILFC_GetAdapterAttributes2");
    *status = ownLibraryAttributes2 ? 0 : 1;
    SetMessage(message, ownLibraryAttributes2 ? "dlsym for ORBILFC_GetAdapterAttributes2 success!"
                                              : "unable to dlsym for ORBILFC_GetAdapterAttributes2");
    return 1;
}

int ReadVendorAttributes2(const uint8_t (&nodeWWN)[8], uint32_t* idWord, uint8_t* pciBus, uint8_t* pciFunction,
                          uint8_t* pciDomain, char (&message)[kVendorMessageSize], HBA_HANDLE handle) {
    const uint32_t vendorHandle = handle & 0xFFFF;
    AdapterAttributes2 record = {};
    const int32_t result = ownLibraryAttributes2(vendorHandle, &record);
    if (result != 0) {
        SetMessage(message, "fail to read adapter attribs: handle used is 0x%x: retStatus is 0x%x", vendorHandle,
                   static_cast<unsigned>(result));
        return -3;
    }
    if (TakeIdentityOnMatch(record, nodeWWN, idWord, pciBus, pciFunction, pciDomain))
        SetMessage(message, "read adapter attribs Success! handle used is 0x%x", vendorHandle);
    return 0;
}

int ScanVendorLibrary(const uint8_t (&nodeWWN)[8], char (&adapterName)[kAdapterNameBufferSize], uint32_t* idWord,
                      uint8_t* pciBus, uint8_t* pciFunction, uint8_t* pciDomain,
                      char (&message)[kVendorMessageSize]) {
    SetMessage(message, "pass");
    const Vendor& vendor = VendorOf(adapterName);
    void* library = OpenVendorLibrary(vendor);
    if (!library) {
        SetMessage(message, "%s", vendor.loadFailure);
        return -1;
    }
    VendorLibrary v;
    if (const char* missing = BindVendorLibrary(library, v)) {
        SetMessage(message, "unable to dlsym for %s", missing);
        CloseLibrary(library);
        return -2;
    }
    if (v.LoadLibrary() != 0) {
        CloseLibrary(library);
        SetMessage(message, "fail to load library");
        return -7;
    }
    const int result = SearchVendorAdapters(v, nodeWWN, adapterName, idWord, pciBus, pciFunction, pciDomain, message);
    v.FreeLibrary();
    CloseLibrary(library);
    return result;
}
