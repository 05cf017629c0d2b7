#include "fchba_adapter.h"

#include <cstring>

#include "fixed_text.h"
#include "hba_api.h"
#include "vendor_extension.h"

FcHbaAdapter::FcHbaAdapter()
    : index(0),
      name("Undefined"),
      Manufacturer("Undefined"),
      SerialNumber("Undefined"),
      Model("Undefined"),
      ModelDescription("Undefined"),
      NodeWWN{},
      NodeSymbolicName("Undefined"),
      HardwareVersion("Undefined"),
      DriverVersion("Undefined"),
      OptionROMVersion("Undefined"),
      FirmwareVersion("Undefined"),
      NumberOfPorts(0),
      DriverName("Undefined"),
      idWord(0),
      pciBus(0),
      pciFunction(0),
      pciDomain(0) {
    pthread_mutex_init(&mutex, nullptr);
}

FcHbaAdapter::~FcHbaAdapter() {
    HBA_FreeLibrary();
    pthread_mutex_destroy(&mutex);
}

uint32_t FcHbaAdapter::Refresh() {
    pthread_mutex_lock(&mutex);
    refusal.clear();
    uint32_t status = 1;
    char adapterName[1024];
    if (HBA_GetAdapterName(index, adapterName) == HBA_STATUS_OK) {
        name = adapterName;
        const HBA_HANDLE handle = HBA_OpenAdapter(adapterName);
        if (handle != 0) {
            status = ReadAttributesAndPorts(handle);
            HBA_CloseAdapter(handle);
        }
    }
    pthread_mutex_unlock(&mutex);
    return status;
}

uint32_t FcHbaAdapter::ReadAttributesAndPorts(HBA_HANDLE handle) {
    // Zero-filled, so a library without the entry point yields empty values.
    HBA_ADAPTERATTRIBUTES attributes = {};
    if (HBA_GetAdapterAttributes(handle, &attributes) != HBA_STATUS_OK) return 1;
    if (attributes.NumberOfPorts > kMaxAdapterPorts) {
        refusal = "WARNING! : Adapter " + name + " reports " + std::to_string(attributes.NumberOfPorts) +
                  " ports, more than " + std::to_string(kMaxAdapterPorts) + ": its attributes are not used.\n";
        return 1;
    }
    ports.clear();
    TidyAttributes(attributes);
    TakeAttributes(attributes);
    uint32_t status = 0;
    for (uint32_t p = 0; p < NumberOfPorts; ++p)
        if (!ReadPort(handle, p)) status = 1;
    return status;
}

// Each field is sealed first: a library may fill one to its very end.
void FcHbaAdapter::TidyAttributes(HBA_ADAPTERATTRIBUTES& a) {
    TerminateField(a.SerialNumber);
    TidyString(a.SerialNumber);
    TerminateField(a.ModelDescription);
    TidyString(a.ModelDescription);
    TerminateField(a.Manufacturer);
    TidyString(a.Manufacturer);
    TerminateField(a.HardwareVersion);
    TidyString(a.HardwareVersion);
    TerminateField(a.OptionROMVersion);
    TidyString(a.OptionROMVersion);
    TerminateField(a.FirmwareVersion);
    TidyString(a.FirmwareVersion);
}

void FcHbaAdapter::TakeAttributes(const HBA_ADAPTERATTRIBUTES& a) {
    Manufacturer = TextOf(a.Manufacturer);
    SerialNumber = TextOf(a.SerialNumber);
    Model = TextOf(a.Model);
    ModelDescription = TextOf(a.ModelDescription);
    std::memcpy(NodeWWN, a.NodeWWN.wwn, sizeof NodeWWN);
    NodeSymbolicName = TextOf(a.NodeSymbolicName);
    HardwareVersion = TextOf(a.HardwareVersion);
    DriverVersion = TextOf(a.DriverVersion);
    OptionROMVersion = TextOf(a.OptionROMVersion);
    FirmwareVersion = TextOf(a.FirmwareVersion);
    NumberOfPorts = a.NumberOfPorts;
    DriverName = TextOf(a.DriverName);
    idWord = a.VendorSpecificID;
}

// A port whose attributes cannot be read is left out; one whose statistics
// cannot be read is kept with zero counters. False on either failure.
bool FcHbaAdapter::ReadPort(HBA_HANDLE handle, uint32_t portIndex) {
    HBA_PORTATTRIBUTES attributes = {};
    if (HBA_GetAdapterPortAttributes(handle, portIndex, &attributes) != HBA_STATUS_OK) return false;
    FcHbaPort port;
    port.SetAttributes(attributes, portIndex);
    HBA_PORTSTATISTICS statistics = {};
    const bool statisticsRead = HBA_GetPortStatistics(handle, portIndex, &statistics) == HBA_STATUS_OK;
    if (statisticsRead) port.SetStatistics(statistics);
    ports.push_back(port);
    return statisticsRead;
}

void TidyString(char* text) {
    const size_t n = std::strlen(text);
    size_t end = n;
    while (end > 0 && !(text[end] >= '!' && text[end] <= '}')) --end;
    if (end + 1 < n) text[end + 1] = '\0';

    char* out = text;
    for (const char* in = text; *in; ++in)
        if (!(*in == ' ' && in > text && in[-1] == ' ')) *out++ = *in;
    *out = '\0';
}

std::string FcHbaAdapter::GetNodeWWNString() const { return FormatWWN(NodeWWN); }

void FcHbaAdapter::LocatePciDevice() {
    char adapterName[kAdapterNameBufferSize];
    CopyText(adapterName, name);
    char libraryPath[kHbaLibraryPathSize];
    void* library = HbaGetAdapterLibrary(index, libraryPath);
    char message[kVendorMessageSize] = {};  // the extension's status text; never shown
    int status = 0;
    if (FindVendorExtension(adapterName, libraryPath, library, message, &status) == 1) {
        if (status != 0) return;
        const HBA_HANDLE handle = HBA_OpenAdapter(adapterName);
        if (handle == 0) return;
        ReadVendorAttributes2(NodeWWN, &idWord, &pciBus, &pciFunction, &pciDomain, message, handle);
        HBA_CloseAdapter(handle);
    } else {
        // The vendor library is loaded on its own, so every HBA API library
        // makes way for it and is loaded again afterwards.
        HBA_FreeLibrary();
        ScanVendorLibrary(NodeWWN, adapterName, &idWord, &pciBus, &pciFunction, &pciDomain, message);
        HBA_LoadLibrary();
    }
}
