// The records and entry points of the FC-HBA API, version 1, as every vendor
// library exchanges them. Layouts follow the published standard byte for
// byte; the static_asserts pin the sizes and the offsets this code relies on.
// Records that this system only passes through are left incomplete.
#pragma once

#include <cstddef>
#include <cstdint>

typedef uint8_t HBA_UINT8;
typedef uint32_t HBA_UINT32;
typedef uint64_t HBA_UINT64;
typedef int64_t HBA_INT64;

typedef HBA_UINT32 HBA_HANDLE;  // 0 = no handle
typedef HBA_UINT32 HBA_STATUS;

enum : HBA_STATUS {
    HBA_STATUS_OK = 0,
    HBA_STATUS_ERROR = 1,
    HBA_STATUS_ERROR_INVALID_HANDLE = 3,
    HBA_STATUS_ERROR_ILLEGAL_INDEX = 6,
};

typedef HBA_UINT32 HBA_PORTTYPE;
typedef HBA_UINT32 HBA_PORTSTATE;
typedef HBA_UINT32 HBA_PORTSPEED;
typedef HBA_UINT32 HBA_COS;
typedef HBA_UINT32 HBA_WWNTYPE;

struct HBA_WWN {
    HBA_UINT8 wwn[8];
};

struct HBA_FC4TYPES {
    HBA_UINT8 bits[32];
};

struct HBA_ADAPTERATTRIBUTES {
    char Manufacturer[64];
    char SerialNumber[64];
    char Model[256];
    char ModelDescription[256];
    HBA_WWN NodeWWN;
    char NodeSymbolicName[256];
    char HardwareVersion[256];
    char DriverVersion[256];
    char OptionROMVersion[256];
    char FirmwareVersion[256];
    HBA_UINT32 VendorSpecificID;
    HBA_UINT32 NumberOfPorts;
    char DriverName[256];
};
static_assert(sizeof(HBA_ADAPTERATTRIBUTES) == 2192, "HBA_ADAPTERATTRIBUTES layout");
static_assert(offsetof(HBA_ADAPTERATTRIBUTES, NodeWWN) == 640, "node WWN offset");
static_assert(offsetof(HBA_ADAPTERATTRIBUTES, VendorSpecificID) == 1928, "vendor id offset");
static_assert(offsetof(HBA_ADAPTERATTRIBUTES, DriverName) == 1936, "driver name offset");

struct HBA_PORTATTRIBUTES {
    HBA_WWN NodeWWN;
    HBA_WWN PortWWN;
    HBA_UINT32 PortFcId;
    HBA_PORTTYPE PortType;
    HBA_PORTSTATE PortState;
    HBA_COS PortSupportedClassofService;
    HBA_FC4TYPES PortSupportedFc4Types;
    HBA_FC4TYPES PortActiveFc4Types;
    char PortSymbolicName[256];
    char OSDeviceName[256];
    HBA_PORTSPEED PortSupportedSpeed;
    HBA_PORTSPEED PortSpeed;
    HBA_UINT32 PortMaxFrameSize;
    HBA_WWN FabricName;
    HBA_UINT32 NumberofDiscoveredPorts;
};
static_assert(sizeof(HBA_PORTATTRIBUTES) == 632, "HBA_PORTATTRIBUTES layout");
static_assert(offsetof(HBA_PORTATTRIBUTES, PortSymbolicName) == 96, "symbolic name offset");
static_assert(offsetof(HBA_PORTATTRIBUTES, FabricName) == 620, "fabric name offset");

struct HBA_PORTSTATISTICS {
    HBA_INT64 SecondsSinceLastReset;
    HBA_INT64 TxFrames;
    HBA_INT64 TxWords;
    HBA_INT64 RxFrames;
    HBA_INT64 RxWords;
    HBA_INT64 LIPCount;
    HBA_INT64 NOSCount;
    HBA_INT64 ErrorFrames;
    HBA_INT64 DumpedFrames;
    HBA_INT64 LinkFailureCount;
    HBA_INT64 LossOfSyncCount;
    HBA_INT64 LossOfSignalCount;
    HBA_INT64 PrimitiveSeqProtocolErrCount;
    HBA_INT64 InvalidTxWordCount;
    HBA_INT64 InvalidCRCCount;
};
static_assert(sizeof(HBA_PORTSTATISTICS) == 120, "HBA_PORTSTATISTICS layout");

// Passed through to the libraries unread.
struct HBA_FCPTARGETMAPPING;
struct HBA_FCPBINDING;
struct HBA_EVENTINFO;
struct HBA_MGMTINFO;

// The version 1 entry point table a library fills in HBA_RegisterLibrary.
struct HBA_ENTRYPOINTS {
    HBA_UINT32 (*GetVersionHandler)();
    HBA_STATUS (*LoadLibraryHandler)();
    HBA_STATUS (*FreeLibraryHandler)();
    HBA_UINT32 (*GetNumberOfAdaptersHandler)();
    HBA_STATUS (*GetAdapterNameHandler)(HBA_UINT32 adapterIndex, char* adapterName);
    HBA_HANDLE (*OpenAdapterHandler)(char* adapterName);
    void (*CloseAdapterHandler)(HBA_HANDLE handle);
    HBA_STATUS (*GetAdapterAttributesHandler)(HBA_HANDLE handle, HBA_ADAPTERATTRIBUTES* attributes);
    HBA_STATUS (*GetAdapterPortAttributesHandler)(HBA_HANDLE handle, HBA_UINT32 portIndex,
                                                  HBA_PORTATTRIBUTES* attributes);
    HBA_STATUS (*GetPortStatisticsHandler)(HBA_HANDLE handle, HBA_UINT32 portIndex,
                                           HBA_PORTSTATISTICS* statistics);
    HBA_STATUS (*GetDiscoveredPortAttributesHandler)(HBA_HANDLE handle, HBA_UINT32 portIndex,
                                                     HBA_UINT32 discoveredPortIndex,
                                                     HBA_PORTATTRIBUTES* attributes);
    HBA_STATUS (*GetPortAttributesByWWNHandler)(HBA_HANDLE handle, HBA_WWN portWWN,
                                                HBA_PORTATTRIBUTES* attributes);
    HBA_STATUS (*SendCTPassThruHandler)(HBA_HANDLE handle, void* request, HBA_UINT32 requestSize,
                                        void* response, HBA_UINT32 responseSize);
    void (*RefreshInformationHandler)(HBA_HANDLE handle);
    void (*ResetStatisticsHandler)(HBA_HANDLE handle, HBA_UINT32 portIndex);
    HBA_STATUS (*GetFcpTargetMappingHandler)(HBA_HANDLE handle, HBA_FCPTARGETMAPPING* mapping);
    HBA_STATUS (*GetFcpPersistentBindingHandler)(HBA_HANDLE handle, HBA_FCPBINDING* binding);
    HBA_STATUS (*GetEventBufferHandler)(HBA_HANDLE handle, HBA_EVENTINFO* events, HBA_UINT32* eventCount);
    HBA_STATUS (*SetRNIDMgmtInfoHandler)(HBA_HANDLE handle, HBA_MGMTINFO* info);
    HBA_STATUS (*GetRNIDMgmtInfoHandler)(HBA_HANDLE handle, HBA_MGMTINFO* info);
    HBA_STATUS (*SendRNIDHandler)(HBA_HANDLE handle, HBA_WWN wwn, HBA_WWNTYPE wwnType, void* response,
                                  HBA_UINT32* responseSize);
    HBA_STATUS (*ScsiInquiryHandler)(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, HBA_UINT8 evpd,
                                     HBA_UINT32 pageCode, void* response, HBA_UINT32 responseSize,
                                     void* sense, HBA_UINT32 senseSize);
    HBA_STATUS (*ReportLUNsHandler)(HBA_HANDLE handle, HBA_WWN portWWN, void* response,
                                    HBA_UINT32 responseSize, void* sense, HBA_UINT32 senseSize);
    HBA_STATUS (*ReadCapacityHandler)(HBA_HANDLE handle, HBA_WWN portWWN, HBA_UINT64 fcpLun, void* response,
                                      HBA_UINT32 responseSize, void* sense, HBA_UINT32 senseSize);
};
static_assert(sizeof(HBA_ENTRYPOINTS) == 24 * sizeof(void (*)()), "version 1 has 24 slots");
static_assert(offsetof(HBA_ENTRYPOINTS, CloseAdapterHandler) == 6 * sizeof(void (*)()), "slot 6");
static_assert(offsetof(HBA_ENTRYPOINTS, GetPortStatisticsHandler) == 9 * sizeof(void (*)()), "slot 9");
static_assert(offsetof(HBA_ENTRYPOINTS, ReadCapacityHandler) == 23 * sizeof(void (*)()), "slot 23");

// What a library exports under "HBA_RegisterLibrary".
typedef HBA_STATUS (*HBA_RegisterLibraryFunc)(HBA_ENTRYPOINTS* entryPoints);
