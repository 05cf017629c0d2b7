// FcHbaPort: one port of an adapter as the HBA API reports it, a value that
// its adapter copies into its port list. Until attributes or statistics are
// set it holds fixed start values (zero WWNs, "Undefined" texts, zero
// counters); the text operations describe it for reading.
#pragma once

#include <cassert>
#include <cstdint>
#include <string>

#include "hba_api_types.h"

class FcHbaPort {
public:
    static constexpr int kCounterCount = 15;

    FcHbaPort();
    virtual ~FcHbaPort();
    FcHbaPort(const FcHbaPort&) = default;
    FcHbaPort& operator=(const FcHbaPort&) = default;

    // Takes over the record's fields and the port's index on its adapter.
    void SetAttributes(const HBA_PORTATTRIBUTES& attributes, uint32_t index);
    // Takes over every counter the library supplies (a counter of -1 it does not).
    void SetStatistics(const HBA_PORTSTATISTICS& statistics);
    // Fixed values for trying out the text operations.
    void SetSampleValues(uint32_t index);

    std::string GetPortWWNString() const;
    std::string GetFabricNameString() const;
    // The fastest speed in an HBA_PORTSPEED mask, as text.
    static std::string GetPortSpeedString(uint32_t speed);
    std::string GetPortStateString() const;
    std::string GetPortTypeString() const;

    const uint8_t* GetPortWWN() const { return PortWWN; }
    uint32_t GetPortFcId() const { return PortFcId; }
    uint32_t GetPortType() const { return PortType; }
    uint32_t GetPortState() const { return PortState; }
    std::string GetPortSymbolicName() const { return PortSymbolicName; }
    std::string GetOSDeviceName() const { return OSDeviceName; }
    uint32_t GetPortSupportedSpeed() const { return PortSupportedSpeed; }
    uint32_t GetPortSpeed() const { return PortSpeed; }
    uint32_t GetPortMaxFrameSize() const { return PortMaxFrameSize; }
    const uint8_t* GetFabricName() const { return FabricName; }
    uint32_t GetPortIndex() const { return portIndex; }
    const uint8_t* GetPortActiveFc4Types() const { return PortActiveFc4Types; }
    const uint8_t* GetPortSupportedFc4Types() const { return PortSupportedFc4Types; }
    // Counter i in the standard's order, SecondsSinceLastReset first.
    int64_t GetStatistic(int i) const {
        assert(i >= 0 && i < kCounterCount);
        return statistics[i];
    }

private:
    uint8_t PortWWN[8];
    uint32_t PortFcId;
    uint32_t PortType;
    uint32_t PortState;
    std::string PortSymbolicName;
    std::string OSDeviceName;
    uint32_t PortSupportedSpeed;
    uint32_t PortSpeed;
    uint32_t PortMaxFrameSize;
    uint8_t FabricName[8];
    uint32_t portIndex;
    uint8_t PortActiveFc4Types[32];
    uint8_t PortSupportedFc4Types[32];
    int64_t statistics[kCounterCount];
};

// Eight bytes as "%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X", byte 0 first.
std::string FormatWWN(const uint8_t (&wwn)[8]);
