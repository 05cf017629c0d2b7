// FcHbaAdapter: one installed adapter as the HBA API and its vendor's
// management library describe it. Refresh reads the attributes and ports of
// adapter table entry `index` under the adapter's mutex; LocatePciDevice then
// completes the subsystem identity word and the PCI address. Whatever was not
// read keeps its start value ("Undefined", a zero WWN, an id word of 0).
// Destroying an adapter unloads every HBA API library, so discovery keeps its
// adapters until the process ends.
#pragma once

#include <pthread.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fchba_port.h"
#include "hba_api_types.h"

// The most ports one adapter is read with. Real Fibre Channel adapters have
// one to four; a library reporting more than this is not believed, since
// every port is asked for in turn and kept in memory.
constexpr uint32_t kMaxAdapterPorts = 256;

class FcHbaAdapter {
public:
    FcHbaAdapter();
    virtual ~FcHbaAdapter();
    FcHbaAdapter(const FcHbaAdapter&) = delete;
    FcHbaAdapter& operator=(const FcHbaAdapter&) = delete;

    // 0 when the name, the attributes and every port were read, else 1.
    // Attributes that give more than kMaxAdapterPorts ports are not taken,
    // as though they could not be read, and GetRefusal says so.
    uint32_t Refresh();
    // Asks the vendor's management library for the id word and PCI bytes.
    void LocatePciDevice();
    // Tidies the attribute texts that are shown as versions and names.
    static void TidyAttributes(HBA_ADAPTERATTRIBUTES& attributes);
    std::string GetNodeWWNString() const;

    uint32_t index;

    const std::vector<FcHbaPort>& GetPorts() const { return ports; }
    std::string GetName() const { return name; }
    std::string GetManufacturer() const { return Manufacturer; }
    std::string GetSerialNumber() const { return SerialNumber; }
    std::string GetModel() const { return Model; }
    std::string GetModelDescription() const { return ModelDescription; }
    const uint8_t* GetNodeWWN() const { return NodeWWN; }
    std::string GetNodeSymbolicName() const { return NodeSymbolicName; }
    std::string GetHardwareVersion() const { return HardwareVersion; }
    std::string GetDriverVersion() const { return DriverVersion; }
    std::string GetOptionROMVersion() const { return OptionROMVersion; }
    std::string GetFirmwareVersion() const { return FirmwareVersion; }
    uint32_t GetNumberOfPorts() const { return NumberOfPorts; }
    std::string GetDriverName() const { return DriverName; }
    uint32_t GetIdWord() const { return idWord; }
    uint8_t GetPciBus() const { return pciBus; }
    uint8_t GetPciFunction() const { return pciFunction; }
    uint8_t GetPciDomain() const { return pciDomain; }
    // A log line on attributes a refresh did not believe; "" when none.
    const std::string& GetRefusal() const { return refusal; }

private:
    uint32_t ReadAttributesAndPorts(HBA_HANDLE handle);
    void TakeAttributes(const HBA_ADAPTERATTRIBUTES& attributes);
    bool ReadPort(HBA_HANDLE handle, uint32_t portIndex);

    std::vector<FcHbaPort> ports;
    std::string name;
    std::string Manufacturer;
    std::string SerialNumber;
    std::string Model;
    std::string ModelDescription;
    uint8_t NodeWWN[8];
    std::string NodeSymbolicName;
    std::string HardwareVersion;
    std::string DriverVersion;
    std::string OptionROMVersion;
    std::string FirmwareVersion;
    uint32_t NumberOfPorts;
    std::string DriverName;
    uint32_t idWord;
    uint8_t pciBus;
    uint8_t pciFunction;
    uint8_t pciDomain;
    pthread_mutex_t mutex;
    std::string refusal;
};

// Cuts trailing bytes outside "!".."}" (never the first byte) and folds
// every run of spaces into one, in place.
void TidyString(char* text);
