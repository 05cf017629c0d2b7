#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "fchba_port.h"

namespace {

TEST(FcHbaPortSpeed, FirstListedBitWins) {
    const struct {
        uint32_t mask;
        const char* text;
    } cases[] = {{0x8000 | 0x1, "Not Negotiated"}, {0x20 | 0x4, "16 GB"}, {0x4 | 0x10, "10 GB"},
                 {0x10 | 0x8, "8 GB"},             {0x8, "4 GB"},         {0x2 | 0x1, "2 GB"},
                 {0x1, "1 GB"},                    {0, "Unknown"},        {0x40 | 0x4000, "Unknown"}};
    for (const auto& c : cases) EXPECT_EQ(FcHbaPort::GetPortSpeedString(c.mask), c.text) << std::hex << c.mask;
}

TEST(FcHbaPortText, StateAndTypeNames) {
    const struct {
        uint32_t code;
        const char* state;
        const char* type;
    } cases[] = {{1, "Unknown", "Unknown"},           {2, "Online", "Other"},         {3, "Offline", "Not Present"},
                 {4, "Bypassed", "Unknown"},          {5, "Diagnostics Mode", "Fabric"},
                 {6, "Link Down", "Public Loop"},     {7, "Error", "FL Port"},        {8, "Loopback", "Fabric Port"},
                 {9, "Unknown", "Fabric expansion port"}, {10, "Unknown", "Generic Fabric Port"},
                 {20, "Unknown", "Private Loop"},     {21, "Unknown", "Point to Point"}};
    for (const auto& c : cases) {
        HBA_PORTATTRIBUTES attributes = {};
        attributes.PortState = c.code;
        attributes.PortType = c.code;
        FcHbaPort port;
        port.SetAttributes(attributes, 0);
        EXPECT_EQ(port.GetPortStateString(), c.state) << c.code;
        EXPECT_EQ(port.GetPortTypeString(), c.type) << c.code;
    }
}

TEST(FcHbaPort, FreshPort) {
    FcHbaPort port;
    EXPECT_EQ(port.GetPortStateString(), "Unknown");
    EXPECT_EQ(port.GetPortTypeString(), "Unknown");
    EXPECT_EQ(port.GetPortWWNString(), "00:00:00:00:00:00:00:00");
    EXPECT_EQ(port.GetPortSymbolicName(), "Undefined");
    EXPECT_EQ(port.GetOSDeviceName(), "Undefined");
}

TEST(FcHbaPort, SuppliedCountersReplaceAndMissingOnesStay) {
    FcHbaPort port;
    HBA_PORTSTATISTICS statistics;
    std::memset(&statistics, 0xFF, sizeof statistics);  // every counter -1
    statistics.RxFrames = 7;
    port.SetStatistics(statistics);
    EXPECT_EQ(port.GetStatistic(1), 0) << "TxFrames";
    EXPECT_EQ(port.GetStatistic(3), 7) << "RxFrames";

    port.SetSampleValues(0);
    statistics.InvalidCRCCount = 0;
    port.SetStatistics(statistics);
    EXPECT_EQ(port.GetStatistic(13), 14) << "InvalidTxWordCount kept";
    EXPECT_EQ(port.GetStatistic(14), 0) << "InvalidCRCCount replaced";
}

TEST(FcHbaPort, SampleValues) {
    FcHbaPort port;
    port.SetSampleValues(3);
    EXPECT_EQ(port.GetPortWWNString(), "FA:FA:FA:FA:FA:FA:FA:FA");
    EXPECT_EQ(port.GetFabricNameString(), "FB:FB:FB:FB:FB:FB:FB:FB");
    EXPECT_EQ(port.GetPortStateString(), "Online");
    EXPECT_EQ(port.GetPortTypeString(), "Fabric");
    EXPECT_EQ(FcHbaPort::GetPortSpeedString(port.GetPortSpeed()), "10 GB");
    EXPECT_EQ(port.GetPortIndex(), 3u);
    EXPECT_EQ(port.GetStatistic(0), 1);
    EXPECT_EQ(port.GetStatistic(14), 15);
}

TEST(FcHbaPort, AttributesCopiedWithTheirBounds) {
    HBA_PORTATTRIBUTES attributes = {};
    const uint8_t wwn[8] = {0x21, 0x00, 0x00, 0xE0, 0x8B, 0x1C, 0x2D, 0x3E};
    std::memcpy(attributes.PortWWN.wwn, wwn, 8);
    std::memset(attributes.PortSymbolicName, 's', sizeof attributes.PortSymbolicName);  // no NUL
    std::snprintf(attributes.OSDeviceName, sizeof attributes.OSDeviceName, "/dev/sg3");
    attributes.PortActiveFc4Types.bits[2] = 0x01;
    FcHbaPort port;
    port.SetAttributes(attributes, 1);
    EXPECT_EQ(port.GetPortWWNString(), "21:00:00:E0:8B:1C:2D:3E");
    EXPECT_EQ(port.GetPortSymbolicName(), std::string(256, 's'));
    EXPECT_EQ(port.GetOSDeviceName(), "/dev/sg3");
    EXPECT_EQ(port.GetPortActiveFc4Types()[2], 0x01);
    EXPECT_EQ(port.GetPortIndex(), 1u);
}

}  // namespace
