#include "fchba_port.h"

#include <cstdio>
#include <cstring>

#include "fixed_text.h"

FcHbaPort::FcHbaPort()
    : PortWWN{},
      PortFcId(0),
      PortType(1),
      PortState(1),
      PortSymbolicName("Undefined"),
      OSDeviceName("Undefined"),
      PortSupportedSpeed(0),
      PortSpeed(0),
      PortMaxFrameSize(0),
      FabricName{},
      portIndex(0),
      PortActiveFc4Types{},
      PortSupportedFc4Types{},
      statistics{} {}

FcHbaPort::~FcHbaPort() = default;

void FcHbaPort::SetAttributes(const HBA_PORTATTRIBUTES& attributes, uint32_t index) {
    std::memcpy(PortWWN, attributes.PortWWN.wwn, sizeof PortWWN);
    std::memcpy(FabricName, attributes.FabricName.wwn, sizeof FabricName);
    PortFcId = attributes.PortFcId;
    PortType = attributes.PortType;
    PortState = attributes.PortState;
    PortSymbolicName = TextOf(attributes.PortSymbolicName);
    OSDeviceName = TextOf(attributes.OSDeviceName);
    PortSupportedSpeed = attributes.PortSupportedSpeed;
    PortSpeed = attributes.PortSpeed;
    PortMaxFrameSize = attributes.PortMaxFrameSize;
    std::memcpy(PortActiveFc4Types, attributes.PortActiveFc4Types.bits, sizeof PortActiveFc4Types);
    std::memcpy(PortSupportedFc4Types, attributes.PortSupportedFc4Types.bits, sizeof PortSupportedFc4Types);
    portIndex = index;
}

void FcHbaPort::SetStatistics(const HBA_PORTSTATISTICS& s) {
    const int64_t given[kCounterCount] = {
        s.SecondsSinceLastReset, s.TxFrames,         s.TxWords,          s.RxFrames,
        s.RxWords,               s.LIPCount,         s.NOSCount,         s.ErrorFrames,
        s.DumpedFrames,          s.LinkFailureCount, s.LossOfSyncCount,  s.LossOfSignalCount,
        s.PrimitiveSeqProtocolErrCount, s.InvalidTxWordCount, s.InvalidCRCCount};
    for (int i = 0; i < kCounterCount; ++i)
        if (given[i] != -1) statistics[i] = given[i];
}

void FcHbaPort::SetSampleValues(uint32_t index) {
    std::memset(PortWWN, 0xFA, sizeof PortWWN);
    std::memset(FabricName, 0xFB, sizeof FabricName);
    PortFcId = 99;
    PortType = 5;
    PortState = 2;
    PortSymbolicName = "ACME FC Port";
    OSDeviceName = "ACME OS Device";
    PortSupportedSpeed = 4;
    PortSpeed = 4;
    PortMaxFrameSize = 1024;
    portIndex = index;
    for (int i = 0; i < kCounterCount; ++i) statistics[i] = i + 1;
}

std::string FormatWWN(const uint8_t (&wwn)[8]) {
    char text[24];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X:%02X:%02X", wwn[0], wwn[1], wwn[2], wwn[3],
                  wwn[4], wwn[5], wwn[6], wwn[7]);
    return text;
}

std::string FcHbaPort::GetPortWWNString() const { return FormatWWN(PortWWN); }

std::string FcHbaPort::GetFabricNameString() const { return FormatWWN(FabricName); }

std::string FcHbaPort::GetPortSpeedString(uint32_t speed) {
    static const struct {
        uint32_t bit;
        const char* text;
    } kSpeeds[] = {{0x8000, "Not Negotiated"}, {0x20, "16 GB"}, {0x4, "10 GB"}, {0x10, "8 GB"},
                   {0x8, "4 GB"},              {0x2, "2 GB"},   {0x1, "1 GB"}};
    for (const auto& s : kSpeeds)
        if (speed & s.bit) return s.text;
    return "Unknown";
}

std::string FcHbaPort::GetPortStateString() const {
    switch (PortState) {
    case 2: return "Online";
    case 3: return "Offline";
    case 4: return "Bypassed";
    case 5: return "Diagnostics Mode";
    case 6: return "Link Down";
    case 7: return "Error";
    case 8: return "Loopback";
    default: return "Unknown";
    }
}

std::string FcHbaPort::GetPortTypeString() const {
    switch (PortType) {
    case 2: return "Other";
    case 3: return "Not Present";
    case 5: return "Fabric";
    case 6: return "Public Loop";
    case 7: return "FL Port";
    case 8: return "Fabric Port";
    case 9: return "Fabric expansion port";
    case 10: return "Generic Fabric Port";
    case 20: return "Private Loop";
    case 21: return "Point to Point";
    default: return "Unknown";
    }
}
